// The engine's file formats: exact round trips and refusal of damaged files
// (the fuzz targets read randomly damaged ones).

#include <random>

#include "common/format_io.h"
#include "features/feature_file.h"
#include "grammar/word_network.h"
#include "models/model_files.h"
#include "speech/support/speech_test_support.h"
#include "speech/support/synthetic_models.h"

using namespace speech;
using namespace speech_test;

namespace {

// A binary file's `magic` and then `fields`. A feature file's are version,
// frames, dimension, frame period and, from version 2, the energy index.
std::string Binary(std::string bytes, std::initializer_list<std::uint32_t> fields) {
    for (const std::uint32_t field : fields) AppendU32(bytes, field);
    return bytes;
}

}  // namespace

TEST(FeatureFiles, RoundTripExactlyInBothLayoutsWithTheirEnergyIndex) {
    ScratchFolder folder;
    std::mt19937 random(1);
    FeatureMatrix written = synthetic::Frames({"sil", "a", "b"}, 6, random);
    written.framePeriod100ns = 99773;
    for (const std::optional<std::uint32_t> energy : {std::optional<std::uint32_t>(2), std::optional<std::uint32_t>()})
        for (bool binary : {true, false}) {
            written.energyIndex = energy;
            std::string error;
            ASSERT_TRUE(WriteFeatureFile(folder / "f.mfc", binary, written, error)) << error;
            FeatureMatrix read;
            ASSERT_TRUE(ReadFeatureFile(folder / "f.mfc", binary, read, error)) << error;
            EXPECT_EQ(read.frameCount, 18u);
            EXPECT_EQ(read.dimension, 3u);
            EXPECT_EQ(read.framePeriod100ns, 99773u);
            EXPECT_EQ(read.energyIndex, energy);
            EXPECT_EQ(read.values, written.values);
            // The other layout's reader refuses the file instead of misreading it.
            EXPECT_FALSE(ReadFeatureFile(folder / "f.mfc", !binary, read, error));
        }
    EXPECT_EQ(ReadText(folder / "f.mfc").substr(0, 11), "features 2\n");
    std::string error;
    ASSERT_TRUE(WriteFeatureFile(folder / "b.mfc", true, written, error));
    const std::string bytes = ReadText(folder / "b.mfc");
    EXPECT_EQ(bytes.size(), 24u + 18u * 3u * 4u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("PFEA\2\0\0\0", 8));
    EXPECT_EQ(bytes.substr(20, 4), "\xff\xff\xff\xff");  // no energy value
}

// Version 1 files do not record the layout: they are read with the energy
// where the extractor always put it, after 12 cepstra.
TEST(FeatureFiles, ReadVersionOneWithTheExtractorsLayout) {
    ScratchFolder folder;
    FeatureMatrix read;
    std::string error;
    for (const auto& [dimension, energy] :
         {std::pair<std::uint32_t, std::optional<std::uint32_t>>{39, 12}, {13, 12}, {12, std::nullopt}}) {
        WriteText(folder / "old.mfc", Binary("PFEA", {1, 1, dimension, 100000}) + std::string(4 * dimension, '\0'));
        ASSERT_TRUE(ReadFeatureFile(folder / "old.mfc", true, read, error)) << error;
        EXPECT_EQ(read.energyIndex, energy) << dimension;
        std::string text = "features 1\nframes 1\ndimension " + std::to_string(dimension) + "\nframe_period 1\n";
        for (std::uint32_t d = 0; d < dimension; ++d) text += "0 ";
        WriteText(folder / "old.txt", text);
        ASSERT_TRUE(ReadFeatureFile(folder / "old.txt", false, read, error)) << error;
        EXPECT_EQ(read.energyIndex, energy) << dimension;
    }
}

TEST(FeatureFiles, RefuseDamagedFilesWithoutTrustingTheirHeaders) {
    ScratchFolder folder;
    const std::string path = folder / "bad.mfc";
    FeatureMatrix read;
    std::string error;
    const std::string oneFrame = Binary("PFEA", {2, 1, 2, 100000, 1}) + std::string(8, '\0');
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty"},
        {"PFE", "cut magic"},
        {"XFEA" + oneFrame.substr(4), "wrong magic"},
        {Binary("PFEA", {3, 1, 2, 100000}) + std::string(12, '\0'), "future version"},
        {Binary("PFEA", {2, 0xFFFFFFFF, 4096, 100000, 0}), "huge frame count"},
        {Binary("PFEA", {2, 1, 0, 100000, 0}), "no dimension"},
        {Binary("PFEA", {2, 1, 2, 100000, 2}) + std::string(8, '\0'), "energy outside the frame"},
        {Binary("PFEA", {2, 1, 2, 100000}), "cut header"},
        {oneFrame + "x", "extra byte"},
        {oneFrame.substr(0, oneFrame.size() - 1), "missing byte"},
        {Binary("PFEA", {2, 1, 1, 100000, 0}) + std::string("\0\0\xc0\x7f", 4), "NaN value"},
    };
    for (const auto& [contents, what] : cases) {
        WriteText(path, contents);
        EXPECT_FALSE(ReadFeatureFile(path, true, read, error)) << what;
        EXPECT_NE(error.find(path), std::string::npos) << what;
    }
    const std::string header = "features 2\nframes 1\ndimension 2\nframe_period 1\nenergy_index ";
    for (const std::string& text :
         std::vector<std::string>{"features 2\nframes 99999999\ndimension 39\nframe_period 1\nenergy_index 12\n0 0\n",
                                  header + "none\n0 x\n", header + "none\n0 1 2\n", header + "none\n0\n",
                                  header + "2\n0 1\n", header + "loud\n0 1\n", header.substr(0, 47) + "0 1\n"}) {
        WriteText(path, text);
        EXPECT_FALSE(ReadFeatureFile(path, false, read, error)) << text;
    }
    EXPECT_FALSE(ReadFeatureFile(folder / "missing.mfc", true, read, error));
    EXPECT_NE(error.find("missing.mfc"), std::string::npos);
}

TEST(StateFiles, RefuseDamagedOrImpossibleStates) {
    ScratchFolder folder;
    const std::string path = folder / "s.txt";
    StateSet read;
    std::string error;
    const std::string good = "states 1\ndimension 2\ncount 1\nstate 1 mixtures 1\nweight 1\nmean 0 1\nvariance 1 2\n";
    WriteText(path, good);
    ASSERT_TRUE(ReadStates(path, false, read, error)) << error;
    const std::pair<std::string, std::string> replacements[] = {
        {"variance 1 2", "variance 1 0"}, {"variance 1 2", "variance 1 -2"},
        {"count 1", "count 4000000000"},  {"mixtures 1", "mixtures 900000"},
        {"state 1", "state 2"},           {"mean 0 1", "mean 0 nan"},
        {"dimension 2", "dimension 0"},   {"variance 1 2", "variance 1 2 3"},
        {"states 1", "states 9"},
    };
    for (const auto& [from, to] : replacements) {
        WriteText(path, Changed(good, from, to));
        EXPECT_FALSE(ReadStates(path, false, read, error)) << to;
        EXPECT_NE(error.find(path), std::string::npos) << to;
    }
    WriteText(path, Binary("PSTA", {1, 39, 0xFFFFFFFF}));
    EXPECT_FALSE(ReadStates(path, true, read, error));
    // Nothing impossible is ever written.
    StateSet bad;
    bad.dimension = 2;
    bad.states = {{}, {{1.0f, {0.0f, 1.0f}, {1.0f, 0.0f}}}};
    EXPECT_FALSE(WriteStates(folder / "never.bin", true, bad, error));
    EXPECT_FALSE(Exists(folder / "never.bin"));
}

TEST(TransitionFiles, RoundTripAndRefuseMatricesThatAreNotProbabilities) {
    ScratchFolder folder;
    TransitionSet written;
    written.matrices.push_back({2, {0, 1, 0, 0}});
    written.matrices.push_back({3, {0, 1, 0, 0, 0.3, 0.7, 0, 0, 0}});
    std::string error;
    ASSERT_TRUE(WriteTransitions(folder / "t.txt", written, error)) << error;
    TransitionSet read;
    ASSERT_TRUE(ReadTransitions(folder / "t.txt", read, error)) << error;
    ASSERT_EQ(read.matrices.size(), 2u);
    EXPECT_EQ(read.matrices[1].probabilities, written.matrices[1].probabilities);
    EXPECT_EQ(read.matrices[1].At(1, 2), 0.7);

    const std::string text = ReadText(folder / "t.txt");
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"0.3 0.7", "0.3 0.6"},
                                   {"0.3 0.7", "1.3 -0.3"},
                                   {"size 3", "size 1"},
                                   {"count 2", "count 3"},
                                   {"count 2", "count 99999999"}}) {
        WriteText(folder / "bad.txt", Changed(text, from, to));
        EXPECT_FALSE(ReadTransitions(folder / "bad.txt", read, error)) << to;
    }
    WriteText(folder / "bad.txt", text + "0 0 0 0\n");
    EXPECT_FALSE(ReadTransitions(folder / "bad.txt", read, error));
    EXPECT_NE(error.find("unexpected text"), std::string::npos);
}

// The round trips of these files are the tools' tests: InitHMM's floor and
// networks compiled for the decoder.
TEST(VarianceFloorAndNetworkFiles, RefuseWhatTheyCannotHold) {
    ScratchFolder folder;
    std::vector<float> floor;
    std::string error;
    WriteText(folder / "v.txt", "varfloor 1\ndimension 2\n1 -1\n");
    EXPECT_FALSE(ReadVarianceFloor(folder / "v.txt", floor, error));
    WriteText(folder / "v.txt", "varfloor 1\ndimension 3\n1 1\n");
    EXPECT_FALSE(ReadVarianceFloor(folder / "v.txt", floor, error));
    EXPECT_NE(error.find("end of file"), std::string::npos);
    WordNetwork network{{{""}, {"YES"}}, {{0, 1}}, 0, 1};
    ASSERT_TRUE(WriteWordNetwork(folder / "n.lat", network, error)) << error;
    WriteText(folder / "n.lat", Changed(ReadText(folder / "n.lat"), "arc 0 1", "arc 0 9"));
    EXPECT_FALSE(ReadWordNetwork(folder / "n.lat", network, error));
    WriteText(folder / "n.lat", "network 1\nnodes 4000000000\narcs 0\nstart 0\nend 0\n");
    EXPECT_FALSE(ReadWordNetwork(folder / "n.lat", network, error));
}
