#pragma once
// Temporary folders and whole-file helpers shared by the tests. Every file of
// the program has a bare name, so most tests work inside a folder of their own.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "parrot-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string Path(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A temporary folder that is the current folder while the object lives.
class EnteredFolder : public TemporaryFolder {
public:
    EnteredFolder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(path()); }
    ~EnteredFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

// The whole content of a file; empty when it cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
