#include "common/tool_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

namespace speech {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Trimmed number text without a leading "+", which from_chars does not take.
std::string_view NumberText(std::string_view text) {
    text = Trim(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string SystemError() { return std::strerror(errno); }

std::string TooLarge(const std::string& path) {
    return path + " is larger than the " + std::to_string(kMaxInputBytes >> 20) + " MiB an engine input may have";
}

// Writes the pieces one after another, as many to a system call as the
// system takes: a template file comes in thousands of pieces, and a call for each
// costs more than the copying.
bool WriteAll(int descriptor, const std::vector<std::string_view>& pieces) {
    std::vector<iovec> vectors;
    std::size_t next = 0, offset = 0;  // the first byte not yet written: pieces[next][offset]
    for (;;) {
        vectors.clear();
        for (std::size_t i = next; i < pieces.size() && vectors.size() < IOV_MAX; ++i) {
            const std::string_view piece = pieces[i].substr(i == next ? offset : 0);
            if (!piece.empty()) vectors.push_back({const_cast<char*>(piece.data()), piece.size()});
        }
        if (vectors.empty()) return true;
        ssize_t written = ::writev(descriptor, vectors.data(), int(vectors.size()));
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;  // no progress: give up rather than loop
        if (written <= 0) return false;
        for (; next < pieces.size() && std::size_t(written) >= pieces[next].size() - offset; ++next, offset = 0)
            written -= ssize_t(pieces[next].size() - offset);
        offset += std::size_t(written);
    }
}

}  // namespace

void ReportError(const std::string& tool, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", tool.c_str(), message.c_str());
}

int GuardedRun(const char* tool, int (*body)(int, char**), int argc, char** argv) {
    try {
        return body(argc, argv);
    } catch (const std::exception& failure) {
        ReportError(tool, failure.what());
    } catch (...) {
        ReportError(tool, "unexpected failure");
    }
    return 1;
}

ToolOptions::ToolOptions(std::vector<std::string> switches, std::vector<std::string> valued, bool allowPositional)
    : switches_(std::move(switches)), valued_(std::move(valued)), allowPositional_(allowPositional) {}

bool ToolOptions::Parse(int argc, char** argv, std::string& error) {
    values_.clear();
    positional_.clear();
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr) {
            error = "argument " + std::to_string(i) + " is missing";
            return false;
        }
        const std::string argument = argv[i];
        const bool isOption = argument.size() > 1 && argument.front() == '-';
        if (!isOption) {
            if (!allowPositional_) {
                error = "unexpected argument \"" + argument + "\"";
                return false;
            }
            positional_.push_back(argument);
            continue;
        }
        if (values_.count(argument) != 0) {
            error = "option " + argument + " given twice";
            return false;
        }
        if (Contains(switches_, argument)) {
            values_[argument] = "";
        } else if (Contains(valued_, argument)) {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                error = "option " + argument + " needs a value";
                return false;
            }
            values_[argument] = argv[++i];
        } else {
            error = "unknown option " + argument;
            return false;
        }
    }
    return true;
}

bool ToolOptions::Has(const std::string& option) const { return values_.count(option) != 0; }

std::optional<std::string> ToolOptions::Value(const std::string& option) const {
    const auto found = values_.find(option);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer for ever.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot open " + path + ": " + SystemError();
        return false;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = path + " is not a regular file";
        ::close(descriptor);
        return false;
    }
    if (std::uint64_t(status.st_size) > kMaxInputBytes) {
        error = TooLarge(path);
        ::close(descriptor);
        return false;
    }
    contents.clear();
    contents.reserve(std::size_t(status.st_size));
    char buffer[65536];
    bool failed = false;
    // A file that grows while it is read stops at the limit too.
    while (contents.size() <= kMaxInputBytes) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            failed = count < 0;
            break;
        }
        contents.append(buffer, std::size_t(count));
    }
    const std::string readError = failed ? SystemError() : std::string();
    ::close(descriptor);
    if (failed) {
        error = "cannot read " + path + ": " + readError;
        return false;
    }
    if (contents.size() > kMaxInputBytes) {
        error = TooLarge(path);
        return false;
    }
    return true;
}

bool ParseFileMode(const std::string& setting, const std::string& value, bool& binary, std::string& error) {
    if (value != "binary" && value != "ascii") {
        error = setting + " must be \"binary\" or \"ascii\", not \"" + value + "\"";
        return false;
    }
    binary = value == "binary";
    return true;
}

bool ReadListFile(const std::string& path, std::vector<std::string>& entries, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    entries.clear();
    std::string_view rest = contents;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = Trim(rest.substr(0, end));
        if (!line.empty()) entries.emplace_back(line);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return true;
}

bool ReadParameterFile(const std::string& path, std::map<std::string, std::string>& parameters, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    parameters.clear();
    std::string_view rest = contents;
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        const auto end = rest.find('\n');
        const std::string_view line = Trim(rest.substr(0, end));
        if (!line.empty()) {
            const auto equals = line.find('=');
            const std::string key(Trim(line.substr(0, equals == std::string_view::npos ? 0 : equals)));
            if (equals == std::string_view::npos || key.empty()) {
                error = path + " line " + std::to_string(lineNumber) + ": expected \"key = value\"";
                return false;
            }
            if (!parameters.emplace(key, std::string(Trim(line.substr(equals + 1)))).second) {
                error = path + " line " + std::to_string(lineNumber) + ": \"" + key + "\" given twice";
                return false;
            }
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return true;
}

bool ParseDouble(std::string_view text, double& value) {
    text = NumberText(text);
    double parsed = 0.0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (status != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool ParseFloat(std::string_view text, float& value) {
    text = NumberText(text);
    float parsed = 0.0f;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (status != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool ParseInt(std::string_view text, long long& value) {
    text = NumberText(text);
    long long parsed = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (status != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    value = parsed;
    return true;
}

std::string FormatFloat(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatDouble(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error) {
    return WriteFileAtomically(path, std::vector<std::string_view>{contents}, error);
}

bool WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces, std::string& error) {
    static std::atomic<unsigned> sequence{0};
    const std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(sequence.fetch_add(1));
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        error = "cannot create " + path + ": " + SystemError();
        return false;
    }
    const bool written = WriteAll(descriptor, pieces);
    const std::string writeError = written ? std::string() : SystemError();
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed) {
        error = "cannot write " + path + ": " + (written ? SystemError() : writeError);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + SystemError();
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace speech
