// Every engine tool refuses bad arguments and unusable inputs the same way:
// one message after the tool's name that names the problem, status 1, and
// no output written (the extractor's stamps of what it has computed aside).

#include <sys/stat.h>

#include <random>

#include "features/feature_file.h"
#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"
#include "speech/support/synthetic_models.h"
#include "speech_api.h"

using namespace speech_test;

namespace {

// Inputs each tool could work on, so that every case has one thing wrong.
void WriteGoodInputs() {
    WriteRecording("0.raw", Tone(4000, 440, 5000));
    WriteText("raw.txt", "0.raw\n");
    WriteText("mfc.txt", "0.mfc\n");
    WriteText("two.txt", "0.mfc\n1.mfc\n");
    WriteText("zero.txt", "/dev/zero\n");
    std::mt19937 random(1);
    std::string error;
    ASSERT_TRUE(speech::WriteFeatureFile("f.mfc", true, synthetic::Frames({"sil", "a", "b"}, 8, random), error));
    WriteText("features.txt", "f.mfc\n");
    WriteText("model_lengths.txt", "0 sp\n4 sil\n4 y\n");
    WriteText("bad_states.txt", "states 1\ndimension 2\ncount 1\nstate 1 mixtures 1\nweight 1\nmean 0\n");
    WriteText("out.bin", "previous");
    WriteText("grammar.txt", "$g = < | YES >;");
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    WriteText("params_train.txt", ReadText(WorkedExample("params_train.txt")));
}

struct Refusal {
    int (*tool)(int, char**);
    std::string line;
    std::string named;      // the text the message holds
    std::string file = "";  // written with `contents` before the run, when named
    std::string contents = "";
};

TEST(ToolRefusals, NameTheProblemAndWriteNothing) {
    const std::string withoutBeam = Changed(ReadText(WorkedExample("params_train.txt")), "beam_width = 500\n", "");
    const std::string& extract = kExtractFeaturesLine;
    // Here "mfc.txt" lists the extractor's output.
    const std::string init = Changed(kInitHmmLine, "mfc.txt", "features.txt");
    const Refusal cases[] = {
        {ExtractFeatures, Changed(extract, "-mfcc 12", "-mfcc twelve"), "-mfcc"},
        {ExtractFeatures, Changed(extract, "-sf 11025.0", "-sf 11025,0"), "-sf"},
        {ExtractFeatures, Changed(extract, "hamming", "hanning"), "hanning"},
        {ExtractFeatures, Changed(extract, "-output_mode binary", "-output_mode text"), "-output_mode"},
        {ExtractFeatures, Changed(extract, "-mfcc 12", "-mfcc 22"),
         "-mfcc must be from 1 to one less than -num_fbanks"},
        {ExtractFeatures, Changed(extract, "-mfcc 12", "-mfcc 0"), "-mfcc must be from 1"},
        {ExtractFeatures, Changed(extract, "-window_dur 20", "-window_dur 0.1"), "-window_dur must give a window of 2"},
        {ExtractFeatures, Changed(extract, "-window_dur 20", "-window_dur 1e12"), "-window_dur must give"},
        {ExtractFeatures, Changed(extract, "-frame_dur 10", "-frame_dur 0"), "-frame_dur must give a frame shift"},
        {ExtractFeatures, Changed(extract, "-sf 11025.0", "-sf -11025.0"), "-sf must be a sample rate"},
        {ExtractFeatures, Changed(extract, "0.97", "1.5"), "-pre_emph_coeff must lie from 0 to 1"},
        {ExtractFeatures, Changed(extract, "-delta ", ""), "-acc needs -delta"},
        {ExtractFeatures, Changed(extract, "-energy ", ""), "-energy_norm needs -energy"},
        {ExtractFeatures, Changed(extract, "raw.txt", "none.txt"), "none.txt"},
        {ExtractFeatures, Changed(extract, "mfc.txt", "two.txt"), "two.txt"},
        {ExtractFeatures, Changed(extract, "-output mfc.txt", "-output"), "-output"},
        // A FIFO or device in a list would block or never end.
        {ExtractFeatures, Changed(extract, "raw.txt", "zero.txt"), "/dev/zero is not a regular file"},
        // A value may look like an option.
        {InitHMM, Changed(init, "0.0002", "-1"), "-var_floor needs a number from 0 up"},
        {InitHMM, init + " stray", "unexpected argument \"stray\""},
        {InitHMM, init + " -mode binary", "option -mode given twice"},
        {InitHMM, Changed(init, "-mode binary", "-mode text"), "-mode"},
        {InitHMM, Changed(init, " -var_floor 0.0002", ""), "missing option -var_floor"},
        {InitHMM, Changed(init, "binary", "ascii"), "f.mfc"},  // binary files read as text
        {InitHMM, init, "line 3", "model_lengths.txt", "0 sp\n4 sil\nfour y\n"},
        {InitHMM, init, "line 3", "model_lengths.txt", "0 sp\n4 sil\n4 sil\n"},
        {InitHMM, init, "line 2", "model_lengths.txt", "0 sp\n4000 sil\n"},
        {InitHMM, init, "line 1", "model_lengths.txt", "0 sp 1\n"},
        {InitHMM, init, "no model", "model_lengths.txt", "\n\n"},
        {InitHMM, init, "no frames", "features.txt", "missing.mfc\n"},
        {ConvertMmf, "convert_mmf -input_mode ascii -output_mode binary bad_states.txt out.bin",
         "bad_states.txt line 7: unexpected end of file"},
        {ConvertMmf, "convert_mmf -input_mode ascii -output_mode binary none.txt out.bin", "none.txt"},
        {ConvertMmf, "convert_mmf -input_mode ascii -output_mode binary bad_states.txt", "input and an output"},
        {ConvertMmf, "convert_mmf -input_mode text -output_mode binary bad_states.txt out.bin", "text"},
        {ConvertMmf, "convert_mmf -output_mode binary bad_states.txt out.bin", "-input_mode"},
        {GrammarCompiller, "grammar_compiler -input grammar.txt -output net.lat", "grammar.txt line 1, column 8"},
        {GrammarCompiller, "grammar_compiler -input fifo -output net.lat", "fifo is not a regular file"},
        {GrammarCompiller, "grammar_compiler -input grammar.txt", "-output"},
        {BWTrain, "bw_train -p params_train.txt", "beam_width", "params_train.txt", withoutBeam},
        {BWTrain, "bw_train -p params_train.txt", "beam_width", "params_train.txt",
         withoutBeam + "beam_width = wide\n"},
        {BWTrain, "bw_train -p params_train.txt", "params_train.txt line 2: expected", "params_train.txt",
         "a = 1\nno equals sign\n"},
        {BWTrain, "bw_train -p params_train.txt", "line 2: \"a\" given twice", "params_train.txt", "a = 1\na = 2\n"},
        {BWTrain, "bw_train -q x", "-q"},
        {NormalizeFeatures, "normalize_features -input mfc.txt", "-output"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.line);
        EnteredFolder folder;
        WriteGoodInputs();
        if (!c.file.empty()) WriteText(c.file, c.contents);
        const std::vector<std::string> before = FileNames(folder.path());
        int status = 0;
        const std::string errors = RunToolForErrors(c.tool, Arguments(c.line), status);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(errors.rfind(c.line.substr(0, c.line.find(' ')) + ": ", 0), 0u) << errors;
        EXPECT_NE(errors.find(c.named), std::string::npos) << errors;
        std::filesystem::remove("mfc.txt.stamps");
        EXPECT_EQ(FileNames(folder.path()), before);
        EXPECT_EQ(ReadText("out.bin"), "previous");
    }
}

}  // namespace
