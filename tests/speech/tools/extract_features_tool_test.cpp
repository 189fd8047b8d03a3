// ExtractFeatures driven with the application's own argument vector.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "features/feature_file.h"
#include "features/feature_stamps.h"
#include "speech/support/speech_test_support.h"
#include "speech_api.h"

using namespace speech;
using namespace speech_test;
using namespace std::chrono_literals;

namespace {

std::vector<std::int16_t> Signal(std::size_t samples) {
    std::vector<std::int16_t> signal(samples);
    for (std::size_t i = 0; i < samples; ++i)
        signal[i] = static_cast<std::int16_t>(5000 * std::sin(0.3 * i) + 2000 * std::sin(0.031 * i * (1 + i % 7)));
    return signal;
}

// The application's arguments: the options, then the output mode and the
// two lists (positions 26, 28 and 30).
std::vector<std::string> SystemArguments(const std::string& rawList, const std::string& mfcList,
                                         const std::string& mode = "binary") {
    std::istringstream words(
        "extract_feature -delta -acc -cms -zero_mean -energy -energy_norm -mfcc 12 -delta_win 2 -lifter_coeff 36 "
        "-window_dur 20 -frame_dur 10 -num_fbanks 22 -window_type hamming -sf 11025.0 -pre_emph_coeff 0.97");
    std::vector<std::string> arguments{std::istream_iterator<std::string>(words), {}};
    arguments.insert(arguments.end(), {"-output_mode", mode, "-input", rawList, "-output", mfcList});
    return arguments;
}

}  // namespace

TEST(ExtractFeaturesTool, WritesOneFeatureFilePerRecordingWithTheRightFrameCount) {
    ScratchFolder folder;
    const std::size_t lengths[] = {220, 330, 331, 11025};
    std::string rawList, mfcList;
    for (std::size_t n = 0; n < 4; ++n) {
        WriteRecording(folder / (std::to_string(n) + ".raw"), Signal(lengths[n]));
        rawList += folder / (std::to_string(n) + ".raw\n");
        mfcList += folder / (std::to_string(n) + ".mfc\n");
    }
    WriteText(folder / "raw.txt", rawList);
    WriteText(folder / "mfc.txt", mfcList);
    ASSERT_EQ(RunTool(ExtractFeatures, SystemArguments(folder / "raw.txt", folder / "mfc.txt")), 0);
    const std::uint32_t frames[] = {1, 2, 2, 99};
    for (std::size_t n = 0; n < 4; ++n) {
        FeatureMatrix features;
        std::string error;
        ASSERT_TRUE(ReadFeatureFile(folder / (std::to_string(n) + ".mfc"), true, features, error)) << error;
        EXPECT_EQ(features.frameCount, frames[n]);
        EXPECT_EQ(features.dimension, 39u);
        EXPECT_EQ(features.energyIndex, 12u);
        EXPECT_EQ(features.framePeriod100ns, 99773u);  // 110 samples at 11025 Hz
    }
    // Text output holds the same numbers.
    WriteText(folder / "txt.txt", folder / "3.txt");
    WriteText(folder / "one.txt", folder / "3.raw");
    ASSERT_EQ(RunTool(ExtractFeatures, SystemArguments(folder / "one.txt", folder / "txt.txt", "ascii")), 0);
    FeatureMatrix binary, text;
    std::string error;
    ASSERT_TRUE(ReadFeatureFile(folder / "3.mfc", true, binary, error));
    ASSERT_TRUE(ReadFeatureFile(folder / "3.txt", false, text, error)) << error;
    EXPECT_EQ(binary.values, text.values);
}

TEST(ExtractFeaturesTool, ComputesAgainOnlyTheFeaturesOfNewOrChangedRecordings) {
    ScratchFolder folder;
    const auto signal = Signal(4000);
    auto reversed = signal;
    std::reverse(reversed.begin(), reversed.end());
    WriteRecording(folder / "a.raw", signal);
    WriteRecording(folder / "b.raw", Signal(3000));
    for (const char* name : {"a.raw", "b.raw"})
        std::filesystem::last_write_time(folder / name, std::filesystem::file_time_type::clock::now() - 1h);
    WriteText(folder / "raw.txt", folder / "a.raw\n" + folder / "b.raw");
    WriteText(folder / "mfc.txt", folder / "a.mfc\n" + folder / "b.mfc");
    const auto arguments = SystemArguments(folder / "raw.txt", folder / "mfc.txt");
    auto features = [&](const char* name) {
        FeatureMatrix matrix;
        std::string error;
        EXPECT_TRUE(ReadFeatureFile(folder / name, true, matrix, error)) << error;
        return matrix.values;
    };
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    const auto firstA = features("a.mfc"), firstB = features("b.mfc");
    const auto stampA = StampOf(folder / "a.mfc"), stampB = StampOf(folder / "b.mfc");
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_EQ(StampOf(folder / "a.mfc"), stampA);
    EXPECT_EQ(StampOf(folder / "b.mfc"), stampB);

    // A recording rewritten in place with as many samples, twice within one
    // tick of the clock that stamps files, and a feature file replaced: each
    // time computed again, from the recording as it is.
    WriteRecording(folder / "a.raw", reversed);
    WriteText(folder / "b.mfc", "stale");
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_NE(features("a.mfc"), firstA);
    EXPECT_EQ(features("b.mfc"), firstB);
    const auto tick = std::filesystem::last_write_time(folder / "a.raw");
    WriteRecording(folder / "a.raw", signal);
    std::filesystem::last_write_time(folder / "a.raw", tick);
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_EQ(features("a.mfc"), firstA);
}

TEST(ExtractFeaturesTool, BadRecordingsAreReportedTheirOldFeaturesRemovedAndTheRestDone) {
    ScratchFolder folder;
    WriteRecording(folder / "good.raw", Signal(4000));
    WriteText(folder / "empty.raw", "");
    WriteRecording(folder / "short.raw", Signal(219));
    for (const char* stale : {"missing.mfc", "empty.mfc", "short.mfc"}) WriteText(folder / stale, "stale");
    WriteText(folder / "raw.txt",
              folder / "missing.raw\n" + folder / "empty.raw\n" + folder / "short.raw\n" + folder / "good.raw");
    WriteText(folder / "mfc.txt",
              folder / "missing.mfc\n" + folder / "empty.mfc\n" + folder / "short.mfc\n" + folder / "good.mfc");
    int status = 0;
    const std::string errors =
        RunToolForErrors(ExtractFeatures, SystemArguments(folder / "raw.txt", folder / "mfc.txt"), status);
    EXPECT_NE(status, 0);
    for (const std::string bad : {"missing", "empty", "short"}) {
        EXPECT_NE(errors.find(bad + ".raw"), std::string::npos) << errors;
        EXPECT_FALSE(Exists(folder / (bad + ".mfc"))) << bad;
    }
    EXPECT_NE(errors.find("219 samples"), std::string::npos) << errors;
    EXPECT_TRUE(Exists(folder / "good.mfc"));
}
