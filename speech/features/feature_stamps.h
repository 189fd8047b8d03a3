#pragma once
// Feature files that are still those of their recordings, so that a training
// run extracts only the recordings that are new or changed. Beside a feature
// list the extractor keeps a stamp file (the list's name and ".stamps"): a
// first line naming the extraction options, then per feature file it wrote,
// tab-separated: the feature file, its recording, and the inode, size and
// modification time (ns) of each as they were then. A stamp file that is
// missing, damaged or of other options costs only the work again.

#include <map>
#include <string>
#include <vector>

#include "common/file_stamp.h"

namespace speech {

class FeatureStamps {
public:
    // The stamps of the file `path` made under `options`; none when it is
    // missing, unreadable or was made under other options.
    FeatureStamps(const std::string& path, const std::string& options);

    // Whether `output` was made from `recording` as it is now, and is itself
    // as it was made: a recording rewritten, moved or touched, or a feature
    // file replaced, is not current.
    bool Current(const std::string& recording, const std::string& output) const;
    // `output` was just made from `recording`, whose stamp before the work
    // began was `recordingStamp` (a recording changed meanwhile is then not
    // current next time). A recording modified a moment ago is not noted.
    void Note(const std::string& recording, const FileStamp& recordingStamp, const std::string& output);
    void Forget(const std::string& output) { entries_.erase(output); }
    // Drops the stamps of every feature file but `outputs`: those of an
    // earlier list are of no use and would pile up.
    void Retain(const std::vector<std::string>& outputs);

    bool Write(std::string& error) const;

private:
    struct Entry {
        std::string recording;
        FileStamp recordingStamp, outputStamp;
    };
    std::string path_, options_;
    std::map<std::string, Entry> entries_;  // by feature file
};

}  // namespace speech
