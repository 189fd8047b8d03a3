// BWTrain, TraceProjection and NormalizeFeatures through their entry points,
// on files laid out as the application writes them.

#include <chrono>
#include <filesystem>
#include <random>

#include "features/feature_file.h"
#include "features/feature_statistics.h"
#include "grammar/word_network.h"
#include "models/model_files.h"
#include "speech/support/speech_test_support.h"
#include "speech/support/synthetic_models.h"
#include "speech_api.h"

namespace {

using speech_test::Exists;
using namespace std::chrono_literals;

class EngineTools : public ::testing::Test {
protected:
    void SetUp() override {
        // The inventory of two words, with the application's spacing.
        Write("models.txt",
              "num_models = 4\n\nindex: 0\nphone: sp\nnum_states: 2\ntransitions: 0\nstates: 0 0\n\n"
              "index: 1\nphone: sil\nnum_states: 6\ntransitions: 1\nstates: 0 1 2 3 4 0\n\n"
              "index: 2\nphone: a\nnum_states: 6\ntransitions: 2\nstates: 0 5 6 7 8 0\n\n"
              "index: 3\nphone: b\nnum_states: 6\ntransitions: 3\nstates: 0 9 10 11 12 0\n\n");
        Write("monophones.txt", "\nnum_monophones = 4\n\nsp \nsil \na\nb\n");
        Write("phones.txt", "num_phones = 4\n\na 1 2 2 2\nb 1 3 3 3\nsil 1   1\nsp 1   0\n");
        Write("lexicon.txt", "!SENT_END sil\n!SENT_START sil\nAB a b \nAB a b sil\nBA b a \nBA b a sil\n");
        std::string error;
        ASSERT_TRUE(speech::WriteStates("init_states.bin", true, synthetic::FlatStates(0.0f, 36.0f), error)) << error;
        ASSERT_TRUE(speech::WriteTransitions("init_transitions.txt", synthetic::Transitions(), error)) << error;
        ASSERT_TRUE(
            speech::WriteVarianceFloor("init_varfloor.txt", std::vector<float>(synthetic::kDimension, 0.01f), error))
            << error;
        std::mt19937 random(5);
        std::string features, labels;
        for (int i = 0; i < 6; ++i) {
            const bool ab = i % 2 == 0;
            const std::string name = std::to_string(i) + ".mfc";
            WriteFeatures(name, synthetic::Frames({"sil", ab ? "a" : "b", ab ? "b" : "a", "sil"}, 10 + i, random));
            features += name + "\n";
            labels += ab ? "sil a b sil\n" : "sil b a sil\n";
        }
        Write("mfc.txt", features);
        Write("model_transitions.txt", labels);
        ASSERT_TRUE(speech::WriteWordNetwork("loop_grammar.lat", synthetic::LoopNetwork({"AB", "BA"}), error)) << error;
        Write("params_train.txt", Read(speech_test::WorkedExample("params_train.txt")));
    }

    void Write(const std::string& name, const std::string& text) const { speech_test::WriteText(name, text); }
    std::string Read(const std::string& name) const { return speech_test::ReadText(name); }
    void WriteFeatures(const std::string& name, const speech::FeatureMatrix& features) const {
        std::string error;
        ASSERT_TRUE(speech::WriteFeatureFile(name, true, features, error)) << error;
    }

    static std::string DecodeParameters(const std::string& function = "lattice_rescoring") {
        return "function = " + function +
               "\nmonophones_file = monophones.txt\nmodels_file = models.txt\nphones_file = phones.txt\n"
               "lexicon_file = lexicon.txt\nstates_file = train_states.bin\ntransitions_file = train_trans.txt\n"
               "input_format = binary\nalign_mode = word\ncontext_mode = monophone\nhistory_paths = 1\n"
               "nbest_paths = 1\nbeam_pruning = 300 150 150\nmapmi_limit = 10000\nnum_allowed_words = 50\n"
               "mfcc_list = mfc_dec.txt\noutput_list = out_dec.txt\ninput_lattice_list = lat_dec.txt\n";
    }

    // Runs an entry point; returns its status and what it printed on stderr.
    int Call(int (*tool)(int, char**), std::vector<std::string> arguments, std::string& messages) {
        int status = 0;
        messages = speech_test::RunToolForErrors(tool, std::move(arguments), status);
        return status;
    }
    int Train(std::string& messages) { return Call(BWTrain, {"bw_train", "-p", "params_train.txt"}, messages); }
    int DecodeRecording(const std::vector<std::string>& spoken, std::string& messages) {
        std::mt19937 random(9);
        WriteFeatures("test.mfc", synthetic::Frames(spoken, 11, random));
        Write("mfc_dec.txt", "test.mfc\n");
        Write("out_dec.txt", "decoder.out");
        Write("lat_dec.txt", "loop_grammar.lat");
        Write("params_dec.txt", DecodeParameters());
        return Call(TraceProjection, {"trace_projection", "-p", "params_dec.txt"}, messages);
    }

    EnteredFolder folder_;
};

// A recording that is missing, and a parameter that is unknown, are
// reported; training goes on.
TEST_F(EngineTools, TrainThenDecodeFindsTheSpokenWord) {
    Write("mfc.txt", Read("mfc.txt") + "missing.mfc\n");
    Write("model_transitions.txt", Read("model_transitions.txt") + "sil a b sil\n");
    Write("params_train.txt", Read("params_train.txt") + "colour = blue\n");
    std::string messages;
    ASSERT_EQ(Train(messages), 0) << messages;
    EXPECT_NE(messages.find("missing.mfc"), std::string::npos) << messages;
    EXPECT_NE(messages.find("colour"), std::string::npos) << messages;
    // Training converges where a user running the tool by hand can see it.
    EXPECT_NE(messages.find("bw_train: pass 1: log-likelihood per frame "), std::string::npos) << messages;
    speech::StateSet trained;
    std::string error;
    ASSERT_TRUE(speech::ReadStates("train_states.bin", true, trained, error)) << error;
    // The tools train on features normalised per recording: a lies above the
    // recording's mean, b as far below it, silence in between.
    EXPECT_GT(trained.states[6].front().mean[1], 1.0);
    EXPECT_LT(trained.states[10].front().mean[1], -1.0);
    EXPECT_NEAR(trained.states[2].front().mean[1], 0.0, 0.3);

    ASSERT_EQ(DecodeRecording({"sil", "b", "a", "sil"}, messages), 0) << messages;
    EXPECT_NE(Read("decoder.out").find(" BA "), std::string::npos) << Read("decoder.out");
}

TEST_F(EngineTools, DecoderKeepsItsModelsOnlyWhileTheirFilesStayAsTheyWere) {
    std::string messages;
    ASSERT_EQ(Train(messages), 0) << messages;
    ASSERT_EQ(DecodeRecording({"sil", "b", "a", "sil"}, messages), 0) << messages;
    // Files written long ago: the models read from them may be kept.
    for (const auto& file : std::filesystem::directory_iterator(folder_.path()))
        std::filesystem::last_write_time(file.path(), std::filesystem::file_time_type::clock::now() - 1h);
    for (int twice = 0; twice < 2; ++twice) {
        ASSERT_EQ(DecodeRecording({"sil", "b", "a", "sil"}, messages), 0) << messages;
        EXPECT_NE(Read("decoder.out").find("BA"), std::string::npos);
    }
    // A lexicon that lost a word of the grammar is read again, and the word named.
    Write("lexicon.txt", "!SENT_END sil\n!SENT_START sil\nAB a b \n");
    EXPECT_NE(DecodeRecording({"sil", "a", "b", "sil"}, messages), 0);
    EXPECT_NE(messages.find("BA"), std::string::npos) << messages;

    Write("params_dec.txt", DecodeParameters("forced_alignment"));
    EXPECT_NE(Call(TraceProjection, {"trace_projection", "-p", "params_dec.txt"}, messages), 0);
    EXPECT_NE(messages.find("forced_alignment"), std::string::npos) << messages;
}

// Training keeps the prepared takes of its recordings for the next run, and
// uses them only while their files show the stamps they were read with.
TEST_F(EngineTools, TrainingReusesTheTakesOfUnchangedFilesOnly) {
    auto age = [&](const std::string& name, std::chrono::hours ago) {
        std::filesystem::last_write_time(name, std::filesystem::file_time_type::clock::now() - ago);
    };
    auto ageAll = [&](std::chrono::hours ago) {
        for (const auto& file : std::filesystem::directory_iterator(folder_.path())) age(file.path(), ago);
    };
    auto train = [&] {
        std::string messages;
        EXPECT_EQ(Train(messages), 0) << messages;
        return Read("train_states.bin") + Read("train_trans.txt");
    };
    ageAll(1h);
    const std::string first = train();
    EXPECT_EQ(train(), first);
    // One recording changes; another gets other labels, its file as it was.
    std::mt19937 random(11);
    WriteFeatures("0.mfc", synthetic::Frames({"sil", "a", "b", "a", "sil"}, 9, random));
    age("0.mfc", 2h);
    std::string labels = Read("model_transitions.txt");
    labels.replace(labels.find("sil b a sil"), 11, "sil a b sil");
    Write("model_transitions.txt", labels);
    const std::string changed = train();
    EXPECT_NE(changed, first);
    // Every file new: nothing kept is used, and the models are the same.
    ageAll(3h);
    EXPECT_EQ(train(), changed);
}

TEST_F(EngineTools, NormalizeFeaturesGivesZeroMeanUnitVariancePerFileAndReportsMissingOnes) {
    Write("in.txt", "0.mfc\nmissing.mfc\n");
    Write("out.txt", "0.norm\nmissing.norm\n");
    std::string messages;
    EXPECT_NE(Call(NormalizeFeatures, {"normalize_features", "-input", "in.txt", "-output", "out.txt"}, messages), 0);
    EXPECT_NE(messages.find("missing.mfc"), std::string::npos) << messages;
    speech::FeatureMatrix normalized;
    std::string error;
    ASSERT_TRUE(speech::ReadFeatureFile("0.norm", true, normalized, error)) << error;
    speech::FeatureStatistics statistics;
    ASSERT_TRUE(statistics.Add(normalized));
    for (const double mean : statistics.Mean()) EXPECT_NEAR(mean, 0.0, 1e-5);
    for (const double variance : statistics.Variance()) EXPECT_NEAR(variance, 1.0, 1e-4);
}

}  // namespace
