#pragma once
// Shared by the fuzz targets: the parsers under test read named files from
// the current folder, so each target works in a scratch folder of its own and
// writes every input there.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// Where the scratch folder goes: TMPDIR, else memory-backed /dev/shm, else
// /tmp. Fuzzing writes files at every input, so a disk would slow it down.
inline std::string ScratchBase() {
    const char* base = std::getenv("TMPDIR");
    if (base != nullptr && *base != '\0') {
        return base;
    }
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : "/tmp";
}

// Creates a fresh folder and makes it the current folder for the rest of the
// process; it is removed when the process exits.
inline void EnterScratchFolder() {
    static std::string folder;
    if (!folder.empty()) {
        return;
    }
    std::string pattern = ScratchBase() + "/parrot-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr || ::chdir(pattern.c_str()) != 0) {
        std::perror("parrot fuzz: scratch folder");
        std::abort();
    }
    folder = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
}

inline void WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::perror(name);
        std::abort();
    }
}

// Splits an input into parts at a separator line "\n--\n", for targets that
// read several files at once; missing parts are empty.
inline std::string_view NextPart(std::string_view& input) {
    constexpr std::string_view kSeparator = "\n--\n";
    const std::size_t end = input.find(kSeparator);
    const std::string_view part = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + kSeparator.size());
    return part;
}

inline void WriteInput(const char* name, std::string_view text) {
    WriteInput(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Writes the input to the file `name` and reads it with `read(name, result,
// error)`, the form of every reader of the speech engine.
template <typename Result, typename Reader>
void ReadInputWith(const std::uint8_t* data, std::size_t size, const char* name, Reader read) {
    EnterScratchFolder();
    WriteInput(name, data, size);
    Result result;
    std::string error;
    read(name, result, error);
}
