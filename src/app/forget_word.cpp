// Forgetting a word, and what the word list's context menu shows of a word:
// its takes, each of which can be played back.

#include "app/list_order.h"
#include "app/recognizer_dialog.h"
#include "audio/playback.h"
#include "text/text.h"

void RecognizerDialog::OnForgetWord(const std::wstring& word) {
    outcome_ = {};
    if (recording_ != Recording::None) {
        outcome_.failures.push_back("stop the recording before forgetting a word");
        return;
    }
    if (!window_->Confirm(L"Forget \"" + word +
                          L"\"? The models are trained again without it; its recordings stay on disk.")) {
        return;
    }
    if (!ForgetWord(word)) {
        outcome_.failures.push_back("there is no word \"" + ToNarrowText(word) + "\" to forget");
        return;
    }
    outcome_.done = "\"" + ToNarrowText(word) + "\" was forgotten";
}

bool RecognizerDialog::ForgetWord(const std::wstring& word) {
    const auto found = trainingSession.vocabulary.find(word);
    if (found == trainingSession.vocabulary.end() || found->second->isBuiltIn) {
        return false;
    }
    // The word list holds every word that is not built in, in list order.
    int line = 0;
    for (const auto& [name, entry] : trainingSession.vocabulary) {
        if (!entry->isBuiltIn && CompareListLines(name, word) < 0) {
            ++line;
        }
    }
    window_->DeleteListLine(IdWordList, line);
    trainingSession.ForgetWord(word);
    unsavedChanges_ = true;
    return true;
}

std::vector<std::int32_t> RecognizerDialog::TakesOf(const std::wstring& word) const {
    const auto found = trainingSession.vocabulary.find(word);
    return found != trainingSession.vocabulary.end() ? found->second->utterances : std::vector<std::int32_t>();
}

void RecognizerDialog::OnPlayTake(std::int32_t take) {
    outcome_ = {};
    if (const std::string problem = PlayRecordingFile(IntToText(take) + ".raw"); !problem.empty()) {
        outcome_.failures.push_back("the take could not be played: " + problem);
        return;
    }
    outcome_.done = "recording " + IntToText(take) + " is playing";
}
