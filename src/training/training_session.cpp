#include "training_session.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

#include "dictionary/whole_file.h"
#include "text/program_name.h"
#include "trained_words.h"
#include "vocabulary/file_replacement.h"
#include "vocabulary/vocabulary_file.h"

TrainingSession::TrainingSession() {
    if (dictionary.Load("english.idx", "english.key", "english.dct") == 0) {
        PrintMessage(
            "the pronunciation dictionary (english.idx, english.key, english.dct) "
            "could not be loaded; every word will be spelled out");
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

    RunTrainingChain();
    return result;
}

int TrainingSession::ForgetWord(const std::wstring& word) {
    const auto found = vocabulary.find(word);
    if (found == vocabulary.end() || found->second->isBuiltIn) {
        return 1;
    }
    vocabulary.erase(found);
    const bool wordsRemain = std::any_of(vocabulary.begin(), vocabulary.end(), [](const auto& word) {
        return TakesPartInTraining(word.first, *word.second);
    });
    if (wordsRemain) {
        RunTrainingChain();
    } else {
        // Nothing is left to train on: the models of the forgotten words
        // go, so that nothing is recognised as one of them.
        for (const char* file :
             {fileNames.latticeFile, fileNames.trainedStatesFile, fileNames.trainedTransitionsFile}) {
            std::remove(file);
        }
    }
    return 0;
}

void TrainingSession::RunTrainingChain() {
    ::unlink(fileNames.trainedVocabularyFile);
    // The chain's own failures decide the mark; they still reach the caller.
    std::vector<std::string> chainFailures;
    std::vector<std::string>* const callerFailures = failures;
    failures = &chainFailures;
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
    failures = callerFailures;
    if (failures != nullptr) {
        failures->insert(failures->end(), chainFailures.begin(), chainFailures.end());
    }
    if (chainFailures.empty() &&
        ReplaceFileContents(fileNames.trainedVocabularyFile, VocabularyLines(vocabulary)) != 0) {
        PrintMessage(std::string("cannot write ") + fileNames.trainedVocabularyFile +
                     "; the words will be trained again at the next start");
    }
}

bool TrainingSession::TrainingCompleted() const {
    const bool anyTrainedWord = std::any_of(vocabulary.begin(), vocabulary.end(), [](const auto& word) {
        return TakesPartInTraining(word.first, *word.second);
    });
    if (!anyTrainedWord) {
        return true;
    }
    std::vector<char> mark;
    return ReadWholeFile(fileNames.trainedVocabularyFile, mark) &&
           std::string_view(mark.data(), mark.size()) == VocabularyLines(vocabulary);
}
