// One-word rescoring: warping distances, the template file, and templates
// deciding where the HMM scores cannot.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "decoding/dynamic_time_warping.h"
#include "decoding/word_rescoring.h"
#include "decoding/word_templates.h"
#include "speech/support/synthetic_models.h"

namespace {

speech::FeatureMatrix Stretched(const speech::FeatureMatrix& features) {
    speech::FeatureMatrix stretched = features;
    stretched.values.clear();
    for (std::uint32_t t = 0; t < features.frameCount; ++t)
        for (int copy = 0; copy < 2; ++copy)
            stretched.values.insert(stretched.values.end(), features.Frame(t), features.Frame(t) + features.dimension);
    stretched.frameCount *= 2;
    return stretched;
}

TEST(WarpingDistance, IgnoresTempoAndSeparatesDifferentSounds) {
    std::mt19937 random(1);
    const auto ab = synthetic::Frames({"a", "b"}, 8, random);
    const auto ba = synthetic::Frames({"b", "a"}, 8, random);
    const std::vector<float> scales(synthetic::kDimension, 1.0f);
    EXPECT_DOUBLE_EQ(speech::WarpingDistance(ab, Stretched(ab), scales), 0.0);
    EXPECT_GT(speech::WarpingDistance(ab, ba, scales), 5.0);
    EXPECT_TRUE(std::isinf(speech::WarpingDistance(ab, speech::FeatureMatrix{}, scales)));
}

TEST(WordTemplates, RoundTripAndDamagedFiles) {
    const auto path =
        (std::filesystem::temp_directory_path() / ("parrot-templates-" + std::to_string(::getpid()))).string();
    std::mt19937 random(2);
    speech::TemplateSet written;
    written.dimension = synthetic::kDimension;
    written.scales = {0.5f, 1.0f, 2.0f};
    written.templates.push_back({"a b", synthetic::Frames({"a", "b"}, 3, random)});
    written.templates.push_back({"b", synthetic::Frames({"b"}, 2, random)});
    std::string error;
    ASSERT_TRUE(speech::WriteTemplates(path, written, error)) << error;
    speech::TemplateSet read;
    ASSERT_TRUE(speech::ReadTemplates(path, read, error)) << error;
    EXPECT_EQ(read.scales, written.scales);
    ASSERT_EQ(read.templates.size(), 2u);
    EXPECT_EQ(read.templates[0].key, "a b");
    EXPECT_EQ(read.templates[0].frames.values, written.templates[0].frames.values);
    EXPECT_EQ(read.templates[1].frames.frameCount, 2u);

    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 5);
    EXPECT_FALSE(speech::ReadTemplates(path, read, error));
    EXPECT_NE(error.find(path), std::string::npos);
    std::ofstream(path, std::ios::binary) << "PTPL\x01\0\0\0\xff\xff\xff\xff";
    EXPECT_FALSE(speech::ReadTemplates(path, read, error));
    std::filesystem::remove(path);
    EXPECT_EQ(speech::TemplateKey({"sil", "y", "eh", "s", "sil"}), "y eh s");
    EXPECT_EQ(speech::TemplateKey({"sil", "sil"}), "");
}

TEST(WordRescorer, TemplatesDecideWhenTheModelsCannotTellWordsApart) {
    const speech::Lexicon lexicon{
        {"!SENT_START", {{"sil"}}}, {"!SENT_END", {{"sil"}}}, {"AB", {{"a", "b"}}}, {"BA", {{"b", "a"}}}};
    speech::WordNetwork network;
    network.nodes = {{""}, {"!SENT_START"}, {""}, {"AB"}, {"BA"}, {""}, {"!SENT_END"}, {""}};
    network.arcs = {{0, 1}, {1, 2}, {2, 3}, {2, 4}, {3, 5}, {4, 5}, {5, 2}, {5, 6}, {6, 7}};
    network.start = 0;
    network.end = 7;
    speech::WordRescorer rescorer;
    std::string error;
    ASSERT_TRUE(rescorer.Build(network, synthetic::Inventory(lexicon), synthetic::Transitions(), error)) << error;

    std::mt19937 random(4);
    const auto spoken = synthetic::Frames({"b", "a"}, 10, random);
    // Every state alike: the HMM scores of AB and BA are equal.
    const speech::StateScorer flat(synthetic::FlatStates(0.0f, 40.0f));
    speech::TemplateSet templates;
    templates.dimension = synthetic::kDimension;
    templates.scales.assign(synthetic::kDimension, 1.0f);
    templates.templates.push_back({"a b", synthetic::Frames({"a", "b"}, 9, random)});
    templates.templates.push_back({"b a", synthetic::Frames({"b", "a"}, 11, random)});
    const auto words = rescorer.Rescore(spoken, flat, templates);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1].word, "BA");
    EXPECT_EQ(words.front().firstFrame, 0u);
    EXPECT_EQ(words.back().lastFrame, spoken.frameCount - 1);

    // A word without templates can still win on its models.
    speech::StateSet known = synthetic::FlatStates();
    for (std::uint32_t s = 5; s <= 12; ++s)
        known.states[s].front().mean.assign(synthetic::kDimension, s <= 8 ? 6.0f : -6.0f);
    templates.templates.pop_back();
    const auto modelled = rescorer.Rescore(spoken, speech::StateScorer(known), templates);
    ASSERT_EQ(modelled.size(), 3u);
    EXPECT_EQ(modelled[1].word, "BA");
}

}  // namespace
