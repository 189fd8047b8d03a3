#pragma once
// Plays recordings back: a take of a word, heard as it was recorded. The
// loudspeaker through PortAudio unless another device is installed (tests
// install one that keeps what it is given).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PlaybackDevice {
public:
    virtual ~PlaybackDevice() = default;
    // Starts playing samples in the recording format and returns at once; a
    // playback still running is stopped first. Empty on success, otherwise
    // the reason in words for the user.
    virtual std::string Play(std::vector<std::int16_t> samples) = 0;
};

// Makes `device` play what follows; the previous device is stopped.
void InstallPlaybackDevice(std::unique_ptr<PlaybackDevice> device);

// Plays the recording file `path` (headerless samples in the recording
// format). Empty on success, otherwise the reason.
std::string PlayRecordingFile(const std::string& path);
