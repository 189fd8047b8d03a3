#include "vocabulary/recording_numbers.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "text/text.h"

namespace {

constexpr std::string_view kRecordingSuffix = ".raw";

// N when `name` is exactly IntToText(N) + ".raw".
std::optional<std::int32_t> RecordingNumber(std::string_view name) {
    if (!name.ends_with(kRecordingSuffix)) {
        return std::nullopt;
    }
    name.remove_suffix(kRecordingSuffix.size());
    std::int32_t number = 0;
    const auto result = std::from_chars(name.data(), name.data() + name.size(), number);
    if (result.ec != std::errc() || result.ptr != name.data() + name.size() || IntToText(number) != name) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

std::optional<std::int32_t> HighestRecordingNumber(const std::string& folder) {
    std::optional<std::int32_t> highest;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::optional<std::int32_t> number = RecordingNumber(entry->path().filename().native());
        if (number && (!highest || *number > *highest)) {
            highest = number;
        }
    }
    return highest;
}
