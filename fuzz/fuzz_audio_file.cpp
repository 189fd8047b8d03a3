// An audio file recorded through the file capture device, as parrot-cli's
// AUDIO: read (any format libsndfile knows; the first byte picks a ".raw"
// name, read headerless), converted, delivered and written as a recording.

#include <string>

#include "audio/capture_selection.h"
#include "audio/recording_format.h"
#include "audio/wave_recorder.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchFolder();
    if (size == 0) {
        return 0;
    }
    const std::string name = (data[0] & 1) != 0 ? "input.raw" : "input.wav";
    WriteInput(name.c_str(), data + 1, size - 1);
    if (!SelectCaptureDevice("file:" + name).empty()) {
        return 0;
    }
    RecordingFormat format;
    format.formatTag = 1;
    format.channels = 1;
    format.samplesPerSecond = 11025;
    format.bitsPerSample = 16;
    format.blockAlign = 2;
    format.averageBytesPerSecond = 22050;
    DeviceHandle device = nullptr;
    StartRecording(L"0.raw", format, &device);
    WaitForEndOfInput();
    StopRecording(device);
    SelectCaptureDevice("none");
    return 0;
}
