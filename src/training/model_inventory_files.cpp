// Steps 1 to 4 of a training run: the PhoneMap and the model inventory files
// "model_lengths.txt", "models.txt", "monophones.txt" and "phones.txt".
// The first three list the phones in the PhoneMap's order.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "text/text.h"
#include "trained_words.h"
#include "training_file.h"
#include "training_session.h"

namespace {

const std::wstring kShortPause = L"sp";
const std::wstring kSilence = L"sil";

// Every phone model has four emitting states.
constexpr std::int32_t kEmittingStates = 4;

}  // namespace

int TrainingSession::WriteModelLengths() {
    phoneMap.clear();
    TrainingFile file(fileNames.modelLengthsFile);
    file << "0 sp\n4 sil\n";
    for (auto& [word, entry] : vocabulary) {
        if (!TakesPartInTraining(word, *entry)) {
            continue;
        }
        entry->phones.clear();
        entry->Transcribe(word);
        for (const std::wstring& phone : entry->phones) {
            // A unit spelled "sp" or "sil" is the built-in model of that name,
            // which every model list already holds once.
            if (phone != kShortPause && phone != kSilence) {
                phoneMap[phone] = kEmittingStates;
            }
        }
    }
    for (const auto& [phone, length] : phoneMap) {
        file << length << " " << phone << "\n";
    }
    return 0;
}

int TrainingSession::WriteModels() {
    TrainingFile file(fileNames.modelsFile);
    file << "num_models = " << static_cast<long long>(phoneMap.size()) + 2 << "\n\n";
    file << "index: 0\nphone: sp\nnum_states: 2\ntransitions: 0\nstates: 0 0\n\n"
            "index: 1\nphone: sil\nnum_states: 6\ntransitions: 1\nstates: 0 1 2 3 4 0\n\n";
    std::int32_t modelIndex = 2;
    std::int32_t firstState = 5;
    for (auto& [phone, value] : phoneMap) {
        value = modelIndex;
        file << "index: " << modelIndex << "\nphone: " << phone << "\nnum_states: 6\n"
             << "transitions: " << modelIndex << "\nstates: 0 ";
        for (std::int32_t state = firstState; state < firstState + kEmittingStates; ++state) {
            file << state << " ";
        }
        file << "0\n\n";
        firstState += kEmittingStates;
        ++modelIndex;
    }
    return 0;
}

int TrainingSession::WriteMonophones() {
    TrainingFile file(fileNames.monophonesFile);
    file << "\nnum_monophones = " << static_cast<long long>(phoneMap.size()) + 2 << "\n\nsp \nsil \n";
    for (const auto& entry : phoneMap) {
        file << entry.first << "\n";
    }
    return 0;
}

int TrainingSession::WritePhones() {
    phoneMap[kShortPause] = 0;
    phoneMap[kSilence] = 1;
    TrainingFile file(fileNames.phonesFile);
    file << "num_phones = " << static_cast<long long>(phoneMap.size()) << "\n\n";

    std::vector<std::pair<std::string, std::int32_t>> sortedPhones;
    sortedPhones.reserve(phoneMap.size());
    for (const auto& [phone, value] : phoneMap) {
        sortedPhones.emplace_back(ToNarrowText(phone), value);
    }
    std::stable_sort(sortedPhones.begin(), sortedPhones.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [phone, value] : sortedPhones) {
        if (value == 1) {
            file << "sil 1   1\n";
        } else if (value == 0) {
            file << "sp 1   0\n";
        } else {
            file << phone << " 1 " << value << " " << value << " " << value << "\n";
        }
    }
    return 0;
}
