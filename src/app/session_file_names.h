#pragma once
// The bare names of every file a training or decoding run writes or reads.
// The sessions keep pointers to these constants.

#include "recognition/recognition_session.h"
#include "training/training_session.h"

inline constexpr TrainingFileNames kTrainingFileNames = {
    "model_lengths.txt", "models.txt",       "monophones.txt",         "phones.txt",        "loop_grammar.txt",
    "loop_grammar.lat",  "lexicon.txt",      "model_transitions.txt",  "raw.txt",           "mfc.txt",
    "init_states.txt",   "init_states.bin",  "init_transitions.txt",   "init_varfloor.txt", "train_states.bin",
    "train_trans.txt",   "params_train.txt", "trained_vocabulary.txt",
};

inline constexpr RecognitionSession::FileNames kDecodingFileNames = {
    "raw_dec.txt",    "mfc_dec.txt", "out_dec.txt", "lat_dec.txt",      "params_dec.txt",   "models.txt",
    "monophones.txt", "phones.txt",  "lexicon.txt", "loop_grammar.lat", "train_states.bin", "train_trans.txt",
};
