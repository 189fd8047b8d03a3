#include "models/model_lengths.h"

#include <set>

#include "common/format_io.h"
#include "common/tool_support.h"

namespace speech {
namespace {

// More emitting states than any phone model needs; larger counts are errors.
constexpr long long kMaxEmittingStates = 64;

}  // namespace

bool ReadModelLengths(const std::string& path, std::vector<ModelLength>& models, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    models.clear();
    std::set<std::string> names;
    std::string_view rest = contents;
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        const auto end = rest.find('\n');
        const auto fields = SplitFields(rest.substr(0, end));
        const std::string where = path + " line " + std::to_string(lineNumber) + ": ";
        if (!fields.empty()) {
            long long count = 0;
            if (fields.size() != 2 || !ParseInt(fields[0], count)) {
                error = where + "expected \"states name\"";
                return false;
            }
            if (count < 0 || count > kMaxEmittingStates) {
                error = where + "a model needs 0 to " + std::to_string(kMaxEmittingStates) + " emitting states";
                return false;
            }
            if (!names.emplace(fields[1]).second) {
                error = where + "model \"" + fields[1] + "\" is listed twice";
                return false;
            }
            models.push_back({fields[1], static_cast<std::uint32_t>(count)});
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    if (models.empty()) {
        error = path + ": lists no model";
        return false;
    }
    return true;
}

}  // namespace speech
