#pragma once
// The prepared takes of the last training run, kept in the process. A
// training press reads, copies and prepares the takes of every word, nearly
// all of them unchanged since the press before; the takes of a recording
// are kept while its feature file and its noisier copy show the stamps they
// had when they were read, and had them long enough before that a change
// would have shown in them (RecentlyModified).

#include <optional>
#include <string>
#include <vector>

#include "common/file_stamp.h"
#include "training/trainer.h"

namespace speech {

// What the takes of one recording were made from.
struct TakeSource {
    std::string featurePath;
    bool binary = true;
    FileStamp features;
    bool withCopies = false;
    std::optional<FileStamp> noisierCopy;  // where a noisier copy was read
    bool operator==(const TakeSource&) const = default;
};

struct KeptTakes {
    TakeSource source;
    std::vector<TrainingRecording> takes;  // the recording, then its copies, their features prepared
};

// The takes kept for the feature file `path`, read as `binary` when it had
// `stamp`, moved out of the keeping; nothing when none are.
std::optional<KeptTakes> TakeKeptTakes(const std::string& path, bool binary, const FileStamp& stamp);

// Keeps `takes` in place of all kept before, except where a file changed
// too lately for its stamp to tell.
void KeepTakes(std::vector<KeptTakes> takes);

}  // namespace speech
