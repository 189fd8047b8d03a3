// The files a training run writes, byte for byte, from the whole Vocabulary.
// Both the Vocabulary and the PhoneMap iterate in code point order. (A file
// that cannot be opened is skipped: the dialog's test of planted links.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "../dictionary/dictionary_folder.h"
#include "app/session_file_names.h"
#include "support/temporary_folder.h"
#include "training/training_session.h"

namespace {

std::string WorkedExample(const std::string& name) {
    return ReadFileBytes(std::string(std::getenv("PARROT_TEST_DATA")) + "/worked_example/" + name);
}

class TrainingFilesTest : public testing::Test {
protected:
    void SetUp() override {
        WriteDictionaryRecords(
            ".", {{"know", "n ow"}, {"no", "n~ ow*"}, {"now", "n aw"}, {"yes", "y eh s"}, {"hush", "hh sil sp sh"}});
        session = std::make_unique<TrainingSession>();
        session->SetFileNames(kTrainingFileNames);
    }

    // An entry as loading "commands.txt" makes it.
    void AddLoadedEntry(const std::wstring& name, bool isBuiltIn, std::vector<std::int32_t> utterances) {
        auto entry = std::make_unique<WordEntry>();
        entry->name = name;
        entry->isBuiltIn = isBuiltIn;
        if (isBuiltIn) {
            entry->phones = {name};
        }
        entry->utterances = std::move(utterances);
        entry->dictionary = &session->dictionary;
        session->vocabulary.emplace(name, std::move(entry));
    }

    void AddBuiltIns() {
        AddLoadedEntry(L"sp", true, {});
        AddLoadedEntry(L"sil", true, {});
    }

    std::string File(const char* name) const { return ReadFileBytes(folder.Path(name)); }

    EnteredFolder folder;
    std::unique_ptr<TrainingSession> session;
};

// (The phone lists' form is checked with more phones below.)
TEST_F(TrainingFilesTest, OneWordGivesTheModelInventory) {
    EXPECT_EQ(session->TrainWord(L"yes", 0), 0);

    EXPECT_EQ(File("model_lengths.txt"), "0 sp\n4 sil\n4 eh\n4 s\n4 y\n");
    EXPECT_EQ(File("models.txt"),
              "num_models = 5\n\n"
              "index: 0\nphone: sp\nnum_states: 2\ntransitions: 0\nstates: 0 0\n\n"
              "index: 1\nphone: sil\nnum_states: 6\ntransitions: 1\nstates: 0 1 2 3 4 0\n\n"
              "index: 2\nphone: eh\nnum_states: 6\ntransitions: 2\nstates: 0 5 6 7 8 0\n\n"
              "index: 3\nphone: s\nnum_states: 6\ntransitions: 3\nstates: 0 9 10 11 12 0\n\n"
              "index: 4\nphone: y\nnum_states: 6\ntransitions: 4\nstates: 0 13 14 15 16 0\n\n");
}

// Phones shared by several words, and a dictionary phone named like a
// built-in model ("sp", "sil"), are listed once, and the counts agree.
TEST_F(TrainingFilesTest, EachPhoneIsListedOnce) {
    session->TrainWord(L"no", 0);
    session->TrainWord(L"know", 1);
    session->TrainWord(L"now", 2);
    session->TrainWord(L"hush", 3);

    EXPECT_EQ(File("model_lengths.txt"), "0 sp\n4 sil\n4 aw\n4 hh\n4 n\n4 ow\n4 sh\n");
    EXPECT_EQ(File("monophones.txt"), "\nnum_monophones = 7\n\nsp \nsil \naw\nhh\nn\now\nsh\n");
    EXPECT_EQ(File("phones.txt"),
              "num_phones = 7\n\naw 1 2 2 2\nhh 1 3 3 3\nn 1 4 4 4\now 1 5 5 5\nsh 1 6 6 6\nsil 1   1\nsp 1   0\n");
    EXPECT_NE(File("model_transitions.txt").find("sil hh sil sp sh sil\n"), std::string::npos);
}

TEST_F(TrainingFilesTest, TwoWordsGiveGrammarLexiconListsAndParameters) {
    session->TrainWord(L"yes", 0);
    session->TrainWord(L"no", 1);
    EXPECT_EQ(session->TrainWord(L"yes", 2), 1);

    EXPECT_EQ(File("loop_grammar.txt"), "$orlu_utterance = !SENT_START < NO | YES > !SENT_END;");
    EXPECT_EQ(File("lexicon.txt"), WorkedExample("lexicon.txt"));
    EXPECT_EQ(File("model_transitions.txt"), "sil n ow sil\nsil y eh s sil\nsil y eh s sil\n");
    EXPECT_EQ(File("raw.txt"), "1.raw\n0.raw\n2.raw\n");
    EXPECT_EQ(File("mfc.txt"), "1.mfc\n0.mfc\n2.mfc\n");
    EXPECT_EQ(File("params_train.txt"), WorkedExample("params_train.txt"));
}

TEST_F(TrainingFilesTest, WordsDifferingInCaseAreSeparateAndSortedByteWise) {
    session->TrainWord(L"yes", 0);
    EXPECT_EQ(session->TrainWord(L"Yes", 1), 0);
    session->TrainWord(L"ab", 2);

    EXPECT_EQ(File("loop_grammar.txt"), "$orlu_utterance = !SENT_START < YES | AB | YES > !SENT_END;");
    // "Yes" is not in the dictionary and is spelled; capitals sort before
    // small letters.
    EXPECT_EQ(File("lexicon.txt"),
              "!SENT_END sil\n!SENT_START sil\n"
              "YES Ye s \nYES Ye s sil\nAB ab \nAB ab sil\nYES y eh s \nYES y eh s sil\n");
    EXPECT_EQ(File("phones.txt"),
              "num_phones = 7\n\nYe 1 2 2 2\nab 1 3 3 3\neh 1 4 4 4\ns 1 5 5 5\n"
              "sil 1   1\nsp 1   0\ny 1 6 6 6\n");
    EXPECT_EQ(File("raw.txt"), "1.raw\n2.raw\n0.raw\n");
}

// A built-in entry trained as a word keeps the take, and words that cannot be
// trained (each reported once) stay in the Vocabulary; all stay out of the files.
TEST_F(TrainingFilesTest, BuiltInAndUntrainableEntriesStayOutOfTheFiles) {
    AddBuiltIns();
    EXPECT_EQ(session->TrainWord(L"sil", 7), 1);
    EXPECT_EQ(session->vocabulary.at(L"sil")->utterances, (std::vector<std::int32_t>{7}));
    EXPECT_EQ(session->vocabulary.at(L"sil")->phones, (std::vector<std::wstring>{L"sil"}));
    AddLoadedEntry(L"a|b", false, {11});
    AddLoadedEntry(L"x\ty", false, {12});

    testing::internal::CaptureStderr();
    session->TrainWord(L"no", 3);
    const std::string messages = testing::internal::GetCapturedStderr();

    EXPECT_EQ(messages.find("\"a|b\""), messages.rfind("\"a|b\"")) << messages;
    EXPECT_NE(messages.find("\"a|b\""), std::string::npos) << messages;
    EXPECT_NE(messages.find("\"x\\ty\""), std::string::npos) << messages;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 2) << messages;

    EXPECT_EQ(session->vocabulary.size(), 5u);
    EXPECT_TRUE(session->vocabulary.at(L"a|b")->phones.empty());
    EXPECT_EQ(File("model_lengths.txt"), "0 sp\n4 sil\n4 n\n4 ow\n");
    EXPECT_EQ(File("loop_grammar.txt"), "$orlu_utterance = !SENT_START < NO > !SENT_END;");
    EXPECT_EQ(File("lexicon.txt"), "!SENT_END sil\n!SENT_START sil\nNO n ow \nNO n ow sil\n");
    EXPECT_EQ(File("model_transitions.txt"), "sil n ow sil\n");
    EXPECT_EQ(File("mfc.txt"), "3.mfc\n");
}

}  // namespace
