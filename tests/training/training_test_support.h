#pragma once
// Helpers for training tests: the file names the dialog gives the training
// session, and a small pronunciation dictionary written into the current
// folder before a session is constructed.

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "training/training_session.h"

inline TrainingFileNames StandardTrainingFileNames()
{
    TrainingFileNames names;
    names.modelLengthsFile = "model_lengths.txt";
    names.modelsFile = "models.txt";
    names.monophonesFile = "monophones.txt";
    names.phonesFile = "phones.txt";
    names.grammarFile = "loop_grammar.txt";
    names.latticeFile = "loop_grammar.lat";
    names.lexiconFile = "lexicon.txt";
    names.labelListFile = "model_transitions.txt";
    names.rawListFile = "raw.txt";
    names.mfcListFile = "mfc.txt";
    names.initStatesTextFile = "init_states.txt";
    names.initStatesFile = "init_states.bin";
    names.initTransitionsFile = "init_transitions.txt";
    names.varianceFloorFile = "init_varfloor.txt";
    names.trainedStatesFile = "train_states.bin";
    names.trainedTransitionsFile = "train_trans.txt";
    names.paramsFile = "params_train.txt";
    return names;
}

// Writes "english.idx", "english.key" and "english.dct" holding `entries`
// (word, pronunciation) in the given order.
inline void WriteDictionaryFiles(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::ofstream index("english.idx", std::ios::binary);
    std::ofstream keys("english.key", std::ios::binary);
    std::ofstream pronunciations("english.dct", std::ios::binary);
    std::uint32_t keyOffset = 0;
    std::uint32_t entryOffset = 0;
    for (const auto& [word, pronunciation] : entries) {
        for (std::uint32_t offset : {keyOffset, entryOffset}) {
            for (int shift = 0; shift < 32; shift += 8) {
                index.put(static_cast<char>((offset >> shift) & 0xff));
            }
        }
        keys.write(word.c_str(), static_cast<std::streamsize>(word.size() + 1));
        pronunciations.write(pronunciation.c_str(), static_cast<std::streamsize>(pronunciation.size() + 1));
        keyOffset += static_cast<std::uint32_t>(word.size() + 1);
        entryOffset += static_cast<std::uint32_t>(pronunciation.size() + 1);
    }
}
