#include "ui/qt/recognizer_window.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "ui/qt/dialog_units.h"

namespace {

// A stand-in for the dialog logic: records the commands and, like the real
// logic, ends the dialog on OK, Cancel and the close button. Every word has
// the takes 3 and 5.
struct FakeLogic {
    std::vector<int> commands;
    int closes = 0;
    std::vector<std::wstring> forgotten;
    std::vector<std::int32_t> played;
    RecognizerWindow* window = nullptr;

    WindowCommands Commands() {
        return {[this](int id) {
                    commands.push_back(id);
                    if (id == IdOk || id == IdCancel) window->EndDialog(id);
                },
                [this] {
                    ++closes;
                    window->EndDialog(IdOk);
                },
                [this](const std::wstring& word) { forgotten.push_back(word); },
                [](const std::wstring&) {
                    return std::vector<std::int32_t>{3, 5};
                },
                [this](std::int32_t take) { played.push_back(take); }};
    }
};

class RecognizerWindowTest : public ::testing::Test {
protected:
    RecognizerWindowTest() : window(logic.Commands()) { logic.window = &window; }

    QLabel* Label(const QString& caption) {
        for (QLabel* label : window.findChildren<QLabel*>()) {
            if (label->text() == caption) return label;
        }
        return nullptr;
    }

    FakeLogic logic;
    RecognizerWindow window;
};

TEST(DialogFontTest, ArialEightPointGivesOneAndAHalfPixelsPerUnit) {
    // Liberation Sans stands in for Arial with the same metrics.
    const DialogUnits units(DialogFont("Arial", 8));
    EXPECT_EQ(units.averageCharWidth(), 6);
    EXPECT_EQ(units.charHeight(), 12);
    EXPECT_EQ(units.ToPixels({91, 18, 101, 10}), QRect(137, 27, 152, 15));
}

TEST_F(RecognizerWindowTest, HasItsControlsWithIdsCaptionsAndPlaces) {
    EXPECT_EQ(window.windowTitle(), "Embedded Speech Recognition Engine");
    EXPECT_EQ(window.size(), QSize(345, 215));

    struct Button {
        int id;
        const char* caption;
        QRect place;
    };
    for (const Button& expected :
         {Button{IdTrainButton, "Add/Train word", {137, 54, 150, 15}},
          Button{IdRecognizeButton, "Recognize word", {137, 74, 149, 17}}, Button{IdOk, "OK", {246, 162, 80, 20}},
          Button{IdCancel, "Cancel", {246, 186, 80, 20}}, Button{IdSaveButton, "Save ", {9, 186, 104, 20}}}) {
        auto* button = qobject_cast<QPushButton*>(window.Control(expected.id));
        ASSERT_NE(button, nullptr) << expected.id;
        EXPECT_EQ(button->text(), expected.caption);
        EXPECT_EQ(button->geometry(), expected.place) << expected.caption;
    }

    auto* edit = qobject_cast<QLineEdit*>(window.Control(IdWordEdit));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_TRUE(edit->hasFrame());
    EXPECT_EQ(edit->geometry(), QRect(137, 27, 152, 15));

    auto* words = qobject_cast<QListWidget*>(window.Control(IdWordList));
    auto* results = qobject_cast<QListWidget*>(window.Control(IdResultList));
    ASSERT_NE(words, nullptr);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(words->geometry(), QRect(11, 23, 105, 153));
    EXPECT_EQ(results->geometry(), QRect(137, 108, 186, 45));
    for (QListWidget* list : {words, results}) {
        EXPECT_NE(list->frameShape(), QFrame::NoFrame);
        EXPECT_NE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_FALSE(list->isSortingEnabled());
    }

    struct Caption {
        const char* text;
        QRect place;
    };
    for (const Caption& expected :
         {Caption{"Available Words", {11, 9, 114, 12}}, Caption{"New Word", {138, 9, 153, 15}},
          Caption{"Recognition Result Score", {140, 95, 165, 12}}}) {
        QLabel* label = Label(expected.text);
        ASSERT_NE(label, nullptr) << expected.text;
        EXPECT_EQ(label->geometry(), expected.place) << expected.text;
    }
}

TEST_F(RecognizerWindowTest, TabOrderFollowsTheControlTable) {
    const std::vector<int> expected = {IdWordEdit, IdTrainButton, IdRecognizeButton, IdOk,
                                       IdCancel,   IdSaveButton,  IdWordList,        IdResultList};
    std::vector<int> order;
    QWidget* widget = window.Control(IdWordEdit);
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget->property("controlId").toInt());
        widget = widget->nextInFocusChain();
    } while (widget != window.Control(IdWordEdit));
    EXPECT_EQ(order, expected);
}

TEST_F(RecognizerWindowTest, ListsKeepLinesInDictionaryOrder) {
    for (int list : {IdWordList, IdResultList}) {
        for (const wchar_t* line : {L"zebra", L"stop", L"apple", L"Stop", L"Zebra"}) {
            window.AddListLine(list, line);
        }
        auto* widget = qobject_cast<QListWidget*>(window.Control(list));
        QStringList lines;
        for (int i = 0; i < widget->count(); ++i) lines << widget->item(i)->text();
        EXPECT_EQ(lines, QStringList({"apple", "Stop", "stop", "Zebra", "zebra"}));
        EXPECT_EQ(window.CountListLines(list), 5);
    }

    window.DeleteListLine(IdResultList, 1);
    window.DeleteListLine(IdResultList, 7);  // no such line: nothing happens
    window.DeleteListLine(IdResultList, -1);
    EXPECT_EQ(window.CountListLines(IdResultList), 4);
    EXPECT_EQ(qobject_cast<QListWidget*>(window.Control(IdResultList))->item(1)->text(), "stop");
    EXPECT_EQ(window.CountListLines(IdWordList), 5);
}

TEST_F(RecognizerWindowTest, TextsCaptionsAndButtonStates) {
    qobject_cast<QLineEdit*>(window.Control(IdWordEdit))->setText(QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(window.GetControlText(IdWordEdit), L"caf\u00e9");
    window.SetButtonCaption(IdTrainButton, L"Stop Recording");
    EXPECT_EQ(window.GetControlText(IdTrainButton), L"Stop Recording");
    window.EnableButton(IdRecognizeButton, false);
    EXPECT_FALSE(window.Control(IdRecognizeButton)->isEnabled());
}

TEST_F(RecognizerWindowTest, ButtonsAndKeysBecomeCommands) {
    window.show();
    // Enter in the word box trains the word: "Add/Train word" is the only
    // default button, and no button becomes one by taking the focus.
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        EXPECT_EQ(button->isDefault(), button == window.Control(IdTrainButton)) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }
    qobject_cast<QPushButton*>(window.Control(IdSaveButton))->click();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window.Control(IdWordEdit), &enter);
    for (int id : {IdTrainButton, IdRecognizeButton, IdOk}) {
        qobject_cast<QPushButton*>(window.Control(id))->click();
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
    EXPECT_EQ(logic.commands,
              (std::vector<int>{IdSaveButton, IdTrainButton, IdTrainButton, IdRecognizeButton, IdOk, IdCancel}));
    EXPECT_EQ(window.result(), IdCancel);
}

TEST_F(RecognizerWindowTest, RecordingIndicatorShowsOnlyWhileRecording) {
    window.show();
    const auto indicatorShown = [&] {
        int shown = 0;
        for (QProgressBar* meter : window.findChildren<QProgressBar*>()) shown += meter->isVisible() ? 1 : 0;
        return shown;
    };
    EXPECT_EQ(indicatorShown(), 0);
    window.ShowNote(L"Trained as another take of yes.");
    window.ShowRecordingIndicator(true);
    EXPECT_EQ(indicatorShown(), 1);
    EXPECT_EQ(Label("Trained as another take of yes."), nullptr);  // a recording clears the note
    window.ShowRecordingIndicator(false);
    EXPECT_EQ(indicatorShown(), 0);
    window.hide();
}

TEST_F(RecognizerWindowTest, WordsAreForgottenWithDeleteOrTheirMenu) {
    auto* words = qobject_cast<QListWidget*>(window.Control(IdWordList));
    for (const wchar_t* word : {L"no", L"yes"}) window.AddListLine(IdWordList, word);
    QKeyEvent remove(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(words, &remove);  // no current word: nothing
    words->setCurrentRow(1);
    QApplication::sendEvent(words, &remove);

    QMenu* menu = window.WordMenu(L"no");
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_EQ(texts, QStringList({"2 takes", "Play take 1", "Play take 2", "", "Forget word"}));
    menu->actions()[2]->trigger();
    menu->actions()[4]->trigger();
    EXPECT_EQ(logic.forgotten, (std::vector<std::wstring>{L"yes", L"no"}));
    EXPECT_EQ(logic.played, std::vector<std::int32_t>{5});
}

TEST_F(RecognizerWindowTest, ShownWordIsSelectedAndScrolledIntoView) {
    window.show();
    auto* words = qobject_cast<QListWidget*>(window.Control(IdWordList));
    for (int i = 10; i < 40; ++i) window.AddListLine(IdWordList, L"word" + std::to_wstring(i));
    window.ShowListLine(IdWordList, L"word39");
    ASSERT_NE(words->currentItem(), nullptr);
    EXPECT_EQ(words->currentItem()->text(), "word39");
    EXPECT_TRUE(words->viewport()->rect().contains(words->visualItemRect(words->currentItem())));
    window.hide();
}

TEST_F(RecognizerWindowTest, CloseButtonActsAsOk) {
    QTimer::singleShot(0, &window, [&] { window.close(); });
    const int result = window.exec();
    EXPECT_EQ(logic.closes, 1);
    EXPECT_EQ(result, IdOk);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
