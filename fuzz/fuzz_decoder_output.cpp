// "decoder.out", the decoder's result lines, read into scored words.

#include "fuzz_support.h"
#include "recognition/recognition_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchFolder();
    WriteInput(kDecoderOutputFile, data, size);
    RecognitionSession session;
    session.ReadDecoderOutput();
    return 0;
}
