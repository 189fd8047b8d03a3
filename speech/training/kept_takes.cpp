#include "training/kept_takes.h"

#include <map>
#include <mutex>

namespace speech {
namespace {

std::mutex keptMutex;
std::map<std::string, KeptTakes> kept;  // by feature path, under keptMutex

}  // namespace

std::optional<KeptTakes> TakeKeptTakes(const std::string& path, bool binary, const FileStamp& stamp) {
    const std::lock_guard<std::mutex> guard(keptMutex);
    const auto found = kept.find(path);
    if (found == kept.end() || found->second.source.binary != binary || !(found->second.source.features == stamp))
        return std::nullopt;
    KeptTakes takes = std::move(found->second);
    kept.erase(found);
    return takes;
}

void KeepTakes(std::vector<KeptTakes> takes) {
    std::map<std::string, KeptTakes> keeping;
    for (auto& entry : takes) {
        const TakeSource& source = entry.source;
        if (RecentlyModified(source.features) || (source.noisierCopy && RecentlyModified(*source.noisierCopy)))
            continue;
        std::string path = source.featurePath;
        keeping.insert_or_assign(std::move(path), std::move(entry));
    }
    const std::lock_guard<std::mutex> guard(keptMutex);
    kept = std::move(keeping);
}

}  // namespace speech
