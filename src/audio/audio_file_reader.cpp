#include "audio/audio_file_reader.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "audio/recording_format.h"
#include "audio/sample_converter.h"

namespace {

constexpr sf_count_t kChunkFrames = 4096;

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePointer = std::unique_ptr<SNDFILE, SndfileCloser>;

bool IsRawFileName(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string extension = path.substr(path.size() - 4);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return extension == ".raw";
}

bool IsRecordingFormatAlready(const SF_INFO& info) {
    return info.samplerate == static_cast<int>(kRecordingRate) && info.channels == kRecordingChannels &&
           (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
}

// Samples already in the recording format are copied exactly.
bool ReadShorts(SNDFILE* file, std::vector<std::int16_t>& samples) {
    std::vector<short> chunk(static_cast<std::size_t>(kChunkFrames));
    while (true) {
        const sf_count_t count = sf_readf_short(file, chunk.data(), kChunkFrames);
        if (count <= 0) {
            return sf_error(file) == SF_ERR_NO_ERROR;
        }
        samples.insert(samples.end(), chunk.begin(), chunk.begin() + count);
    }
}

bool ReadConverted(SNDFILE* file, const SF_INFO& info, std::vector<std::int16_t>& samples, std::string& error) {
    SampleConverter converter;
    if (!converter.Open(info.samplerate, info.channels, error)) {
        return false;
    }
    std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames) * static_cast<std::size_t>(info.channels));
    while (true) {
        const sf_count_t count = sf_readf_float(file, chunk.data(), kChunkFrames);
        if (count < 0 || sf_error(file) != SF_ERR_NO_ERROR) {
            error = sf_strerror(file);
            return false;
        }
        const bool last = count == 0;
        if (!converter.Convert(chunk.data(), static_cast<std::size_t>(count), last, samples, error)) {
            return false;
        }
        if (last) {
            return true;
        }
    }
}

}  // namespace

bool ReadAudioFile(const std::string& path, std::vector<std::int16_t>& samples, std::string& error) {
    samples.clear();
    SF_INFO info{};
    if (IsRawFileName(path)) {
        info.samplerate = static_cast<int>(kRecordingRate);
        info.channels = kRecordingChannels;
        info.format = SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    }
    // Opened without waiting, so a FIFO is refused instead of hanging; only a
    // regular file can be read again or read whole with a known length.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " +
                (errno == ENOENT || errno == ENOTDIR ? "no such file" : std::strerror(errno));
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        error = "cannot read " + path + ": it is not a regular file (a pipe, device or folder cannot be read as audio)";
        return false;
    }
    SndfilePointer file(sf_open_fd(fd, SFM_READ, &info, SF_TRUE));
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    std::string problem;
    const bool read = IsRecordingFormatAlready(info) ? ReadShorts(file.get(), samples)
                                                     : ReadConverted(file.get(), info, samples, problem);
    if (!read) {
        if (problem.empty()) {
            problem = sf_strerror(file.get());
        }
        error = "cannot read " + path + ": " + problem;
        return false;
    }
    if (samples.empty()) {
        error = path + " holds no audio";
        return false;
    }
    return true;
}
