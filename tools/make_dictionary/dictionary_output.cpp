#include "make_dictionary/dictionary_output.h"

#include <array>
#include <cstdio>
#include <system_error>

namespace {

struct OutputFile {
    const char* name;
    const std::string* bytes;
};

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::filesystem::path TemporaryPath(const std::filesystem::path& path) { return path.string() + ".tmp"; }

}  // namespace

bool WriteDictionaryImage(const DictionaryImage& image, const std::filesystem::path& directory, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code) {
        error = "cannot create " + directory.string() + ": " + code.message();
        return false;
    }
    const std::array<OutputFile, 3> files = {OutputFile{"english.idx", &image.index},
                                             OutputFile{"english.key", &image.key},
                                             OutputFile{"english.dct", &image.entry}};
    for (const OutputFile& file : files) {
        const std::filesystem::path temporary = TemporaryPath(directory / file.name);
        if (!WriteBytes(temporary, *file.bytes)) {
            error = "cannot write " + temporary.string();
            for (const OutputFile& written : files) {
                std::filesystem::remove(TemporaryPath(directory / written.name), code);
            }
            return false;
        }
    }
    for (const OutputFile& file : files) {
        const std::filesystem::path path = directory / file.name;
        std::filesystem::rename(TemporaryPath(path), path, code);
        if (code) {
            error = "cannot rename " + TemporaryPath(path).string() + " to " + path.string() + ": " + code.message();
            return false;
        }
    }
    return true;
}
