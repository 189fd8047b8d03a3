#include "training_session.h"

#include <cstdio>
#include <memory>

#include "trained_words.h"

TrainingSession::TrainingSession() {
    if (dictionary.Load("english.idx", "english.key", "english.dct") == 0) {
        std::fprintf(stderr,
                     "parrot: the pronunciation dictionary (english.idx, english.key, english.dct) "
                     "could not be loaded; every word will be spelled out\n");
    }
}

int TrainingSession::TrainWord(const std::wstring& word, std::int32_t utteranceNumber) {
    int result = 1;
    auto found = vocabulary.find(word);
    if (found != vocabulary.end()) {
        found->second->utterances.push_back(utteranceNumber);
    } else {
        auto entry = std::make_unique<WordEntry>();
        entry->name = word;
        entry->utterances.push_back(utteranceNumber);
        entry->dictionary = &dictionary;
        vocabulary.emplace(word, std::move(entry));
        result = 0;
    }

    ReportUntrainableWords(vocabulary);
    WriteModelLengths();
    WriteModels();
    WriteMonophones();
    WritePhones();
    WriteLoopGrammar();
    WriteLexicon();
    WriteLabelList();
    WriteRawList();
    WriteMfcList();
    WriteTrainParams();
    RunGrammarCompiler();
    RunExtractFeatures();
    RunInitHmm();
    RunConvertMmf();
    RunBwTrain();
    return result;
}
