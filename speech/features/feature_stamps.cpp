#include "features/feature_stamps.h"

#include <sstream>

#include "common/tool_support.h"

namespace speech {
namespace {

std::string StampText(const FileStamp& stamp) {
    return std::to_string(stamp.inode) + '\t' + std::to_string(stamp.size) + '\t' + std::to_string(stamp.modified);
}

bool ParseStamp(std::istringstream& fields, FileStamp& stamp) {
    return bool(fields >> stamp.inode >> stamp.size >> stamp.modified);
}

bool Storable(const std::string& path) { return !path.empty() && path.find_first_of("\t\n\r") == std::string::npos; }

}  // namespace

FeatureStamps::FeatureStamps(const std::string& path, const std::string& options) : path_(path), options_(options) {
    std::string contents, error;
    if (!ReadWholeFile(path, contents, error)) return;
    std::istringstream lines(contents);
    std::string line;
    if (!std::getline(lines, line) || line != options_) return;
    while (std::getline(lines, line)) {
        const auto first = line.find('\t'), second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) continue;
        Entry entry;
        entry.recording = line.substr(first + 1, second - first - 1);
        std::istringstream fields(line.substr(second + 1));
        if (ParseStamp(fields, entry.recordingStamp) && ParseStamp(fields, entry.outputStamp))
            entries_[line.substr(0, first)] = entry;
    }
}

bool FeatureStamps::Current(const std::string& recording, const std::string& output) const {
    const auto found = entries_.find(output);
    return found != entries_.end() && found->second.recording == recording &&
           StampOf(recording) == found->second.recordingStamp && StampOf(output) == found->second.outputStamp;
}

void FeatureStamps::Note(const std::string& recording, const FileStamp& recordingStamp, const std::string& output) {
    const auto outputStamp = StampOf(output);
    if (!outputStamp || RecentlyModified(recordingStamp) || !Storable(recording) || !Storable(output)) {
        Forget(output);
        return;
    }
    entries_[output] = Entry{recording, recordingStamp, *outputStamp};
}

void FeatureStamps::Retain(const std::vector<std::string>& outputs) {
    std::map<std::string, Entry> kept;
    for (const auto& output : outputs)
        if (const auto found = entries_.find(output); found != entries_.end()) kept.insert(*found);
    entries_ = std::move(kept);
}

bool FeatureStamps::Write(std::string& error) const {
    std::string text = options_ + '\n';
    for (const auto& [output, entry] : entries_)
        text += output + '\t' + entry.recording + '\t' + StampText(entry.recordingStamp) + '\t' +
                StampText(entry.outputStamp) + '\n';
    return WriteFileAtomically(path_, text, error);
}

}  // namespace speech
