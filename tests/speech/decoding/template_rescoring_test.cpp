// Template rescoring: warping distances, the template file, and templates
// deciding among the best paths where the HMM scores cannot.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "decoding/dynamic_time_warping.h"
#include "decoding/template_rescoring.h"
#include "decoding/word_recognizer.h"
#include "decoding/word_templates.h"
#include "speech/support/synthetic_models.h"
#include "support/temporary_folder.h"

namespace {

// The synthetic recordings are all speech.
speech::FrameSpan Whole(const speech::FeatureMatrix& features) { return {0, features.frameCount}; }

speech::FeatureMatrix Stretched(const speech::FeatureMatrix& features) {
    speech::FeatureMatrix stretched = features;
    stretched.values.clear();
    for (std::uint32_t t = 0; t < features.frameCount; ++t)
        for (int copy = 0; copy < 2; ++copy)
            stretched.values.insert(stretched.values.end(), features.Frame(t), features.Frame(t) + features.dimension);
    stretched.frameCount *= 2;
    return stretched;
}

double Distance(const speech::FeatureMatrix& a, const speech::FeatureMatrix& b, const std::vector<float>& scales,
                double abandonAbove = std::numeric_limits<double>::infinity()) {
    return speech::WarpingDistance(speech::ScaleFrames(a, scales), speech::ScaleFrames(b, scales), abandonAbove);
}

TEST(WarpingDistance, IgnoresTempoAndSeparatesDifferentSounds) {
    std::mt19937 random(1);
    const auto ab = synthetic::Frames({"a", "b"}, 8, random);
    const auto ba = synthetic::Frames({"b", "a"}, 8, random);
    const std::vector<float> scales(synthetic::kDimension, 1.0f);
    EXPECT_DOUBLE_EQ(Distance(ab, Stretched(ab), scales), 0.0);
    EXPECT_GT(Distance(ab, ba, scales), 5.0);
    EXPECT_TRUE(std::isinf(Distance(ab, speech::FeatureMatrix{}, scales)));
    // Frames without values are all alike.
    const speech::FeatureMatrix valueless{9, 0, 100000, {}, std::nullopt};
    EXPECT_EQ(Distance(valueless, valueless, {}), 0.0);
    // Frames all a distance d from each other are d apart on average,
    // whatever the tempo: every warping path weighs n + m frames, a diagonal
    // step counting twice.
    auto constant = [](std::uint32_t frames, float value) {
        return speech::FeatureMatrix{frames, synthetic::kDimension, 100000,
                                     std::vector<float>(frames * synthetic::kDimension, value), std::nullopt};
    };
    const std::vector<float> halves(synthetic::kDimension, 0.5f);
    for (const std::uint32_t frames : {1u, 4u, 9u})
        EXPECT_NEAR(Distance(constant(4, 0.0f), constant(frames, 4.0f), halves), 2.0 * std::sqrt(3.0), 1e-6) << frames;
}

// The same recording pairs its frames off one to one; at half the tempo each
// frame pairs with two, every other step running along a row.
TEST(WarpingDistance, CountsTheDiagonalStepsOfTheBestPath) {
    std::mt19937 random(2);
    const auto ab = synthetic::Frames({"a", "b"}, 8, random);
    const std::vector<float> scales(synthetic::kDimension, 1.0f);
    const struct {
        speech::FeatureMatrix other;
        std::uint32_t all, diagonal;
    } cases[] = {{ab, 15, 15}, {Stretched(ab), 31, 15}, {speech::FeatureMatrix{}, 0, 0}};
    for (const auto& c : cases) {
        const speech::WarpingSteps steps =
            speech::BestWarpingSteps(speech::ScaleFrames(ab, scales), speech::ScaleFrames(c.other, scales));
        EXPECT_EQ(steps.all, c.all) << c.other.frameCount;
        EXPECT_EQ(steps.diagonal, c.diagonal) << c.other.frameCount;
    }
}

TEST(WarpingDistance, ExactAtOrBelowTheLimitAndABoundAboveIt) {
    // Recordings of 1 to 40 random frames: the best paths wander off the
    // diagonal, and at a limit near the distance the warping keeps only
    // the cells near them.
    std::mt19937 random(3);
    const std::vector<float> scales{0.5f, 1.0f, 2.0f};
    for (int pair = 0; pair < 300; ++pair) {
        const auto a = synthetic::Frames({"sil"}, 1 + random() % 40, random);
        const auto b = synthetic::Frames({"sil"}, 1 + random() % 40, random);
        const double exact = Distance(a, b, scales);
        for (const double share : {1.0, 1.01, 1.5})
            EXPECT_EQ(Distance(a, b, scales, exact * share), exact) << pair << " " << share;
        for (const double limit : {exact * 0.99, exact * 0.7, exact / 4, 0.0, -1.0}) {
            const double bound = Distance(a, b, scales, limit);
            EXPECT_GT(bound, limit) << pair;
            EXPECT_LE(bound, exact) << pair;
        }
    }
}

TEST(WordTemplates, RoundTripAndDamagedFiles) {
    const TemporaryFolder folder;
    const std::string path = folder.Path("train_states.bin.templates");
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
    // Four billion templates of one dimension announced, none there.
    WriteFileBytes(path, std::string("PTPL\x01\0\0\0\xff\xff\xff\xff\x01\0\0\0\0\0\x80\x3f", 20));
    EXPECT_FALSE(speech::ReadTemplates(path, read, error));
    EXPECT_EQ(speech::TemplateKey({"sil", "y", "eh", "s", "sil"}), "y eh s");
    EXPECT_EQ(speech::TemplateKey({"sil", "sil"}), "");
}

std::string Word(const speech::Hypothesis& path) {
    EXPECT_TRUE(path.complete);
    return path.words.size() == 3 ? path.words[1].word : "";
}

// Every word of two to four phones a and b, 28 in all; the flat states score
// them alike, so the search ranks them in the order they were made, BA
// third, and the templates must find it among the best few paths.
TEST(WordRecognizer, TemplatesDecideWhenTheModelsCannotTellWordsApart) {
    speech::Lexicon lexicon{{"!SENT_START", {{"sil"}}}, {"!SENT_END", {{"sil"}}}};
    std::vector<std::string> words;
    for (std::uint32_t length = 2; length <= 4; ++length)
        for (std::uint32_t bits = 0; bits < 1u << length; ++bits) {
            std::vector<std::string> phones;
            std::string word;
            for (std::uint32_t k = length; k-- > 0;) {
                phones.push_back(bits >> k & 1 ? "b" : "a");
                word += bits >> k & 1 ? 'B' : 'A';
            }
            words.push_back(word);
            lexicon[word] = {phones};
        }
    ASSERT_EQ(words[2], "BA");
    speech::WordRecognizer recognizer;
    std::string error;
    ASSERT_TRUE(
        recognizer.Build(synthetic::LoopNetwork(words), synthetic::Inventory(lexicon), synthetic::Transitions(), error))
        << error;

    std::mt19937 random(4);
    const auto spoken = synthetic::Frames({"b", "a"}, 14, random);
    const speech::StateScorer flat(synthetic::FlatStates(0.0f, 40.0f));
    speech::TemplateSet templates;
    templates.dimension = synthetic::kDimension;
    templates.scales.assign(synthetic::kDimension, 1.0f);
    templates.templates.push_back({"a b", synthetic::Frames({"a", "b"}, 9, random)});
    templates.templates.push_back({"b a", synthetic::Frames({"b", "a"}, 11, random)});
    // Paths that entered two words trail the path that stayed in silence by
    // twice the word insertion penalty: beyond the default state beam.
    const speech::DecoderSettings wide{1e9, 1e9, 1e9, 100};
    const auto path = recognizer.Recognize(spoken, Whole(spoken), flat, speech::TemplateIndex(templates), wide).path;
    EXPECT_EQ(Word(path), "BA");
    EXPECT_EQ(path.words.front().firstFrame, 0u);
    EXPECT_EQ(path.words.back().lastFrame, spoken.frameCount - 1);

    // A word without templates can still win on its models.
    templates.templates.pop_back();
    const auto framed = synthetic::Frames({"sil", "b", "a", "sil"}, 10, random);
    EXPECT_EQ(Word(recognizer
                       .Recognize(framed, Whole(framed), speech::StateScorer(synthetic::SeparatedStates()),
                                  speech::TemplateIndex(templates), {})
                       .path),
              "BA");
}

}  // namespace
