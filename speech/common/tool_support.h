#pragma once
// Pieces every engine tool shares: strict option parsing, list files,
// locale-independent numbers, error messages and outputs that are never left
// half-written.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

// Prints "TOOL: MESSAGE" on stderr.
void ReportError(const std::string& tool, const std::string& message);

// Runs the body of an entry point; an exception (memory exhausted, say)
// becomes a message and status 1, so none leaves the library.
int GuardedRun(const char* tool, int (*body)(int, char**), int argc, char** argv);

// Strict command-line options of one tool. Switches take no value; valued
// options take the next argument. Anything else is an error naming it.
class ToolOptions {
public:
    ToolOptions(std::vector<std::string> switches, std::vector<std::string> valued, bool allowPositional = false);
    // False with `error` set on an unknown option or a missing value.
    bool Parse(int argc, char** argv, std::string& error);
    bool Has(const std::string& option) const;
    std::optional<std::string> Value(const std::string& option) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::vector<std::string> switches_;
    std::vector<std::string> valued_;
    bool allowPositional_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};

// Reads a list file: one name per line, blanks trimmed from both ends, empty
// lines skipped; no line end is needed after the last line.
bool ReadListFile(const std::string& path, std::vector<std::string>& entries, std::string& error);

// Reads "key = value" parameter files (blanks around both trimmed; a value
// may be empty).
bool ReadParameterFile(const std::string& path, std::map<std::string, std::string>& parameters, std::string& error);

// Whole-text number conversions without the process locale. Blanks may
// surround the number, nothing else; a leading "+" is accepted; infinities,
// NaN and values out of range are refused.
bool ParseDouble(std::string_view text, double& value);
bool ParseInt(std::string_view text, long long& value);
// Reads a float directly (not through double), so that FormatFloat's text
// gives back exactly the float that was written.
bool ParseFloat(std::string_view text, float& value);
// Shortest text that reads back as exactly `value`.
std::string FormatFloat(float value);
std::string FormatDouble(double value);

// The largest file the engine reads. Every input of the engine is a regular
// file of at most this size: a device or a pipe named where a file belongs
// would hang a tool or grow its memory without end.
constexpr std::uint64_t kMaxInputBytes = std::uint64_t(1) << 30;

// Reads a whole file into `contents`; false with `error` naming the file
// when it cannot be read, is not a regular file or is larger than
// kMaxInputBytes.
bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error);

// A file mode setting: "binary" sets `binary`, "ascii" clears it; anything
// else is an error naming `setting`.
bool ParseFileMode(const std::string& setting, const std::string& value, bool& binary, std::string& error);

// Writes `contents` to `path` through a temporary file in the same folder and
// a rename, so a failure never leaves a half-written file.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error);
// The same for contents in pieces, written one after another: a large file
// need not be copied into one string first.
bool WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces, std::string& error);

}  // namespace speech
