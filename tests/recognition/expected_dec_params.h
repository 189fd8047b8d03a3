#pragma once
// "params_dec.txt" as the decoder expects it, with the program's file names.

inline constexpr const char* kExpectedDecParams =
    "function = lattice_rescoring\n"
    "monophones_file = monophones.txt\n"
    "models_file = models.txt\n"
    "phones_file = phones.txt\n"
    "lexicon_file = lexicon.txt\n"
    "states_file = train_states.bin\n"
    "transitions_file = train_trans.txt\n"
    "input_format = binary\n"
    "align_mode = word\n"
    "context_mode = monophone\n"
    "history_paths = 1\n"
    "nbest_paths = 1\n"
    "beam_pruning = 300 150 150\n"
    "mapmi_limit = 10000\n"
    "num_allowed_words = 50\n"
    "mfcc_list = mfc_dec.txt\n"
    "output_list = out_dec.txt\n"
    "input_lattice_list = lat_dec.txt\n";
