// The main dialog's logic against a fake window: start-up, saving, ending,
// and the two recording commands with their guards.

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "../engine/test_engine_log.h"
#include "app/recognizer_dialog.h"
#include "audio/capture_selection.h"
#include "engine/speech_engine.h"
#include "fake_dialog_window.h"
#include "support/temporary_folder.h"
#include "support/test_environment.h"

namespace fs = std::filesystem;

namespace {

// The dialog opened over a fake window in a fresh folder, with the test engine
// (PARROT_SPEECH_LIBRARY) logging every tool call to "engine.log" and the
// capture device reading "speech.raw", a spoken take.
class DialogTest : public ::testing::Test {
protected:
    EnteredFolder folder;  // the current folder while the test runs

    void SetUp() override {
        LoadSpeechEngine();
        environment.Set("PARROT_TEST_ENGINE_LOG", (folder.path() / "engine.log").c_str());
        fs::copy_file(fs::path(std::getenv("PARROT_DEMO_DIR")) / "one_0.raw", "speech.raw");
        Capture("speech.raw");
        Open(dialog);
    }
    void TearDown() override { SelectCaptureDevice("none"); }

    // The recordings from now on deliver `file` of the test's folder.
    void Capture(const std::string& file) {
        ASSERT_EQ(SelectCaptureDevice("file:" + (folder.path() / file).string()), "");
    }

    void Open(RecognizerDialog& opened) {
        opened.AttachWindow(window);
        ASSERT_TRUE(opened.OnInitDialog());
    }

    // Both presses of a recording button around the whole audio file; the
    // edit box holds `word` at the second press.
    void Record(RecognizerDialog& recording, int button, const std::wstring& word = L"") {
        recording.OnCommand(button);
        WaitForEndOfInput();
        window.texts[IdWordEdit] = word;
        recording.OnCommand(button);
    }

    FakeDialogWindow window;
    TestEnvironment environment;
    // Opened on the empty folder; a test of a folder it prepares opens one of its own.
    RecognizerDialog dialog;
};

TEST_F(DialogTest, TrainingRecordsTrainsListsAndCounts) {
    Record(dialog, IdTrainButton, L" yes\t");  // the blanks around a word are dropped
    EXPECT_EQ(window.texts[IdTrainButton], L"Add/Train word");
    EXPECT_FALSE(window.indicatorShown);
    EXPECT_EQ(window.shownLines[IdWordList], L"yes");
    EXPECT_TRUE(window.note.empty());

    // The same word to the recogniser: another take of the known word, listed once.
    Record(dialog, IdTrainButton, L"YES");
    EXPECT_EQ(window.note, L"Trained as another take of yes.");
    EXPECT_EQ(dialog.utteranceCounter, 2);
    EXPECT_EQ(window.lists[IdWordList], std::vector<std::wstring>{L"yes"});
    EXPECT_EQ(dialog.TakesOf(L"yes"), (std::vector<std::int32_t>{0, 1}));
    EXPECT_FALSE(dialog.LastOutcome().Failed());
}

TEST_F(DialogTest, ForgettingAWordRetrainsWithoutItAndKeepsItsRecordings) {
    for (const wchar_t* word : {L"yes", L"no", L"maybe"}) {
        Record(dialog, IdTrainButton, word);
    }

    window.confirmAnswer = false;  // asked, and kept
    dialog.OnForgetWord(L"no");
    EXPECT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(dialog.TakesOf(L"no"), std::vector<std::int32_t>{1});

    window.confirmAnswer = true;
    dialog.OnForgetWord(L"no");
    EXPECT_EQ(window.lists[IdWordList], (std::vector<std::wstring>{L"maybe", L"yes"}));
    EXPECT_TRUE(dialog.TakesOf(L"no").empty());
    EXPECT_TRUE(fs::exists("1.raw"));
    EXPECT_EQ(ReadFileBytes("raw.txt"), "2.raw\n0.raw\n");  // the models were trained again

    dialog.OnForgetWord(L"sil");  // a built-in model is no word of the user's
    EXPECT_EQ(dialog.LastOutcome().failures.size(), 1u) << dialog.LastOutcome().done;

    // With no word left, the models go rather than answer with a forgotten word.
    dialog.OnForgetWord(L"maybe");
    dialog.OnForgetWord(L"yes");
    EXPECT_TRUE(window.lists[IdWordList].empty());
    EXPECT_FALSE(fs::exists("train_states.bin"));
    EXPECT_FALSE(dialog.LastOutcome().Failed());
}

// Ending the dialog with nothing changed asks nothing and writes nothing;
// after a trained word it asks, and saves when told. (Staying, and ending
// without saving, are the Qt run test's.)
TEST_F(DialogTest, UnsavedChangesAskBeforeClosing) {
    dialog.OnCommand(IdCancel);
    EXPECT_EQ(window.closeQuestions, 0);
    EXPECT_EQ(ReadFileBytes("commands.txt"), "");
    Record(dialog, IdTrainButton, L"yes");
    window.closeChoice = CloseChoice::Save;
    dialog.OnCommand(IdOk);
    EXPECT_EQ(window.closeQuestions, 1);
    EXPECT_EQ(window.endResults, (std::vector<int>{IdCancel, IdOk}));
    EXPECT_EQ(ReadFileBytes("commands.txt"), "1\nyes#0#");
}

// A take that is not there is reported by its file's name.
TEST_F(DialogTest, MissingTakeIsReported) {
    dialog.OnPlayTake(7);
    EXPECT_EQ(dialog.LastOutcome().failures,
              std::vector<std::string>{"the take could not be played: cannot read 7.raw: no such file"});
}

// A blank word, or a press without a microphone, trains nothing, keeps the
// counter and leaves both buttons ready. (A recording without speech is
// parrot-cli's test.)
TEST_F(DialogTest, RefusedPressesTrainNothing) {
    Record(dialog, IdTrainButton, L"  ");
    ASSERT_EQ(dialog.LastOutcome().failures.size(), 1u);
    EXPECT_TRUE(dialog.LastOutcome().failures[0].starts_with("type the word")) << dialog.LastOutcome().failures[0];
    SelectCaptureDevice("none");
    for (const int button : {IdTrainButton, IdRecognizeButton}) {
        dialog.OnCommand(button);
        EXPECT_EQ(dialog.LastOutcome().failures,
                  std::vector<std::string>{"no microphone could be opened: no capture device is selected"});
    }
    EXPECT_EQ(window.texts[IdTrainButton], L"Add/Train word");
    EXPECT_EQ(window.texts[IdRecognizeButton], L"Recognize word");
    EXPECT_FALSE(window.disabled[IdTrainButton] || window.disabled[IdRecognizeButton]);
    EXPECT_FALSE(window.indicatorShown);
    EXPECT_EQ(dialog.utteranceCounter, 0);
    EXPECT_TRUE(window.lists[IdWordList].empty());
    EXPECT_FALSE(fs::exists("engine.log"));
}

// Symbolic links planted in the work folder are never written through: the
// recording fails, and a training file behind a link is skipped.
TEST_F(DialogTest, PlantedSymbolicLinksAreNotWrittenThrough) {
    const fs::path outside = folder.path() / "outside";
    WriteFileBytes(outside, "precious");
    fs::create_symlink(outside, "0.raw");
    testing::internal::CaptureStderr();
    Record(dialog, IdTrainButton, L"yes");
    EXPECT_TRUE(dialog.LastOutcome().Failed());

    fs::remove("0.raw");
    fs::create_symlink(outside, "lexicon.txt");
    Record(dialog, IdTrainButton, L"yes");
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(dialog.LastOutcome().Failed());
    EXPECT_EQ(ReadFileBytes(outside), "precious");
    EXPECT_TRUE(fs::is_symlink("lexicon.txt"));
    EXPECT_NE(messages.find("0.raw is a symbolic link; nothing is written through it"), std::string::npos) << messages;
    EXPECT_NE(messages.find("lexicon.txt is a symbolic link"), std::string::npos) << messages;
}

// Each entry point the test engine was called with, in order, and the log cleared.
std::vector<std::string> TakeEngineCalls() {
    std::vector<std::string> names = LoggedEntryPoints("engine.log");
    fs::remove("engine.log");
    return names;
}

// A training run that did not complete (killed part way, or a tool failed)
// leaves no completion mark, so the next run trains the whole vocabulary
// again before its first recognition, and only then.
TEST_F(DialogTest, UnfinishedTrainingIsRedoneBeforeTheFirstRecognition) {
    environment.Set("PARROT_TEST_ENGINE_FAIL", "BWTrain");
    Record(dialog, IdTrainButton, L"no");
    EXPECT_FALSE(fs::exists("trained_vocabulary.txt"));
    environment.Set("PARROT_TEST_ENGINE_FAIL", nullptr);
    Record(dialog, IdTrainButton, L"yes");
    dialog.OnCommand(IdSaveButton);
    EXPECT_EQ(ReadFileBytes("trained_vocabulary.txt"), "no#0#\nyes#1#");
    struct Case {
        const char* what;
        std::function<void()> damage;
        bool retrained;
    };
    const Case cases[] = {
        {"completed", [] {}, false},
        {"killed", [] { fs::remove("trained_vocabulary.txt"); }, true},
        {"words changed", [] { WriteFileBytes("trained_vocabulary.txt", "no#0#"); }, true},
    };
    for (const Case& c : cases) {
        c.damage();
        TakeEngineCalls();
        RecognizerDialog reopened;
        Open(reopened);
        // Five training tools, then the two of decoding.
        Record(reopened, IdRecognizeButton);
        EXPECT_EQ(TakeEngineCalls().size(), c.retrained ? 7u : 2u) << c.what;
        Record(reopened, IdRecognizeButton);
        EXPECT_EQ(TakeEngineCalls().size(), 2u) << c.what;
        EXPECT_EQ(ReadFileBytes("trained_vocabulary.txt"), "no#0#\nyes#1#") << c.what;
    }
}

TEST_F(DialogTest, OneRecordingAtATime) {
    dialog.OnCommand(IdTrainButton);
    EXPECT_TRUE(window.indicatorShown);
    EXPECT_TRUE(window.disabled[IdRecognizeButton]);
    dialog.OnCommand(IdRecognizeButton);  // changes nothing
    EXPECT_EQ(window.texts[IdRecognizeButton], L"Recognize word");
    EXPECT_EQ(window.texts[IdTrainButton], L"Stop Recording");
    WaitForEndOfInput();
    window.texts[IdWordEdit] = L"yes";
    dialog.OnCommand(IdTrainButton);
    EXPECT_FALSE(window.disabled[IdRecognizeButton]);
    EXPECT_EQ(dialog.utteranceCounter, 1);

    dialog.OnCommand(IdRecognizeButton);
    EXPECT_TRUE(window.disabled[IdTrainButton]);
    dialog.OnCommand(IdTrainButton);  // changes nothing
    EXPECT_EQ(window.texts[IdTrainButton], L"Add/Train word");
    WaitForEndOfInput();
    dialog.OnCommand(IdRecognizeButton);
    EXPECT_FALSE(window.disabled[IdTrainButton]);
    EXPECT_EQ(dialog.utteranceCounter, 2);
    EXPECT_EQ(ReadFileBytes("raw_dec.txt"), "1.raw\n");
}

TEST_F(DialogTest, ClosingDuringARecordingStopsItAndTrainsNothing) {
    dialog.OnCommand(IdTrainButton);
    window.texts[IdWordEdit] = L"yes";
    dialog.OnClose();
    EXPECT_EQ(window.endResults, std::vector<int>{IdOk});
    EXPECT_EQ(window.texts[IdTrainButton], L"Add/Train word");
    EXPECT_FALSE(window.disabled[IdRecognizeButton]);
    EXPECT_EQ(dialog.utteranceCounter, 0);
    EXPECT_FALSE(fs::exists("engine.log"));
}

// A decoding that accepted no word: the empty list says so, until the next
// recognition starts.
TEST_F(DialogTest, RecognitionShowsWhenNoWordWasRecognised) {
    WriteFileBytes("decoder_yes.out", "0000 0040 YES -41.2\n");
    WriteFileBytes("decoder_none.out", "0000 0010 !SENT_START -1.0\n0010 0099 !SENT_END -3.0\n");

    environment.Set("PARROT_TEST_ENGINE_DECODER_OUT", (folder.path() / "decoder_none.out").c_str());
    Record(dialog, IdRecognizeButton);
    EXPECT_TRUE(window.lists[IdResultList].empty());
    EXPECT_EQ(window.placeholders[IdResultList], L"No word recognised");
    EXPECT_FALSE(dialog.LastOutcome().Failed());
    dialog.OnCommand(IdRecognizeButton);
    EXPECT_EQ(window.placeholders[IdResultList], L"");
    WaitForEndOfInput();
    environment.Set("PARROT_TEST_ENGINE_DECODER_OUT", (folder.path() / "decoder_yes.out").c_str());
    dialog.OnCommand(IdRecognizeButton);
    EXPECT_EQ(window.lists[IdResultList], std::vector<std::wstring>{L"YES score=-41.2"});
    EXPECT_FALSE(dialog.LastOutcome().Failed());

    // A decoder that writes nothing, though it returns success, leaves an
    // empty list, not the last words, and the outcome says it failed.
    environment.Set("PARROT_TEST_ENGINE_DECODER_OUT", nullptr);
    Record(dialog, IdRecognizeButton);
    EXPECT_TRUE(window.lists[IdResultList].empty());
    EXPECT_EQ(window.placeholders[IdResultList], L"");
    EXPECT_TRUE(dialog.LastOutcome().Failed());

    EXPECT_EQ(dialog.utteranceCounter, 3);
    EXPECT_TRUE(window.lists[IdWordList].empty());
    EXPECT_FALSE(fs::exists("model_lengths.txt"));
}

}  // namespace
