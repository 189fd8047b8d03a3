// ExtractFeatures driven with the application's own argument line.

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "features/feature_file.h"
#include "features/feature_stamps.h"
#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"
#include "speech_api.h"

using namespace speech;
using namespace speech_test;
using namespace std::chrono_literals;

namespace {

FeatureMatrix Features(const std::string& path) {
    FeatureMatrix features;
    std::string error;
    EXPECT_TRUE(ReadFeatureFile(path, true, features, error)) << error;
    return features;
}

}  // namespace

// Recordings that are missing, empty or shorter than a frame are reported,
// their old features removed, and the others done. Beside the features of a
// take long enough to hold some background are those of its noisier copy.
TEST(ExtractFeaturesTool, WritesOneFeatureFilePerUsableRecordingWithTheRightFrameCount) {
    EnteredFolder folder;
    const std::size_t lengths[] = {220, 330, 331, 11025};
    for (std::size_t n = 0; n < 4; ++n) WriteRecording(std::to_string(n) + ".raw", Noise(lengths[n], 3000, 1));
    WriteText("empty.raw", "");
    WriteRecording("short.raw", Noise(219, 3000, 4));
    for (const char* stale : {"missing.mfc", "empty.mfc", "short.mfc", "short.mfc.noisier", "0.mfc.noisier"})
        WriteText(stale, "stale");
    // Lists as hand-edited: CR LF line ends, blank lines, blanks around names.
    WriteText("raw.txt", "0.raw\r\nmissing.raw\n\n  1.raw  \nempty.raw\n2.raw\nshort.raw\n3.raw");
    WriteText("mfc.txt", "0.mfc\nmissing.mfc\n1.mfc\nempty.mfc\n2.mfc\nshort.mfc\n3.mfc\n");
    int status = 0;
    const std::string errors = RunToolForErrors(ExtractFeatures, Arguments(kExtractFeaturesLine), status);
    EXPECT_NE(status, 0);
    for (const std::string bad : {"missing", "empty", "short"}) {
        EXPECT_NE(errors.find(bad + ".raw"), std::string::npos) << errors;
        EXPECT_FALSE(Exists(bad + ".mfc")) << bad;
        EXPECT_FALSE(Exists(bad + ".mfc.noisier")) << bad;
    }
    EXPECT_FALSE(Exists("0.mfc.noisier"));
    EXPECT_EQ(Features("3.mfc.noisier").frameCount, 99u);
    EXPECT_NE(errors.find("219 samples"), std::string::npos) << errors;
    const std::uint32_t frames[] = {1, 2, 2, 99};
    for (std::size_t n = 0; n < 4; ++n) {
        const FeatureMatrix features = Features(std::to_string(n) + ".mfc");
        EXPECT_EQ(features.frameCount, frames[n]);
        EXPECT_EQ(features.dimension, 39u);
        EXPECT_EQ(features.energyIndex, 12u);
    }
}

TEST(ExtractFeaturesTool, ComputesAgainOnlyTheFeaturesOfNewOrChangedRecordings) {
    EnteredFolder folder;
    const auto signal = Noise(4000, 3000, 5);
    auto reversed = signal;
    std::reverse(reversed.begin(), reversed.end());
    WriteRecording("a.raw", signal);
    WriteRecording("b.raw", Noise(3000, 3000, 6));
    for (const char* name : {"a.raw", "b.raw"})
        std::filesystem::last_write_time(name, std::filesystem::file_time_type::clock::now() - 1h);
    WriteText("raw.txt", "a.raw\nb.raw");
    WriteText("mfc.txt", "a.mfc\nb.mfc");
    const auto arguments = Arguments(kExtractFeaturesLine);
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    const auto firstA = Features("a.mfc").values, firstB = Features("b.mfc").values;
    const auto stampA = StampOf("a.mfc"), stampB = StampOf("b.mfc");
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_EQ(StampOf("a.mfc"), stampA);
    EXPECT_EQ(StampOf("b.mfc"), stampB);

    // A recording rewritten in place with as many samples, twice within one
    // tick of the clock that stamps files, and a feature file replaced: each
    // time computed again, from the recording as it is.
    WriteRecording("a.raw", reversed);
    WriteText("b.mfc", "stale");
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_NE(Features("a.mfc").values, firstA);
    EXPECT_EQ(Features("b.mfc").values, firstB);
    const auto tick = std::filesystem::last_write_time("a.raw");
    WriteRecording("a.raw", signal);
    std::filesystem::last_write_time("a.raw", tick);
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_EQ(Features("a.mfc").values, firstA);

    // Features whose noisier copy has gone are computed again with it.
    std::filesystem::remove("b.mfc.noisier");
    ASSERT_EQ(RunTool(ExtractFeatures, arguments), 0);
    EXPECT_EQ(Features("b.mfc.noisier").frameCount, Features("b.mfc").frameCount);
}
