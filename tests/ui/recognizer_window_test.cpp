#include "ui/qt/recognizer_window.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <string>
#include <vector>

namespace {

// A stand-in for the dialog logic: records the commands and, like the real
// logic, ends the dialog on OK, Cancel and the close button. Every word has
// the takes 3 and 5.
struct FakeLogic {
    std::vector<int> commands;
    std::vector<std::wstring> forgotten;
    std::vector<std::int32_t> played;
    RecognizerWindow* window = nullptr;

    WindowCommands Commands() {
        return {[this](int id) {
                    commands.push_back(id);
                    if (id == IdOk || id == IdCancel) window->EndDialog(id);
                },
                [this] { window->EndDialog(IdOk); }, [this](const std::wstring& word) { forgotten.push_back(word); },
                [](const std::wstring&) {
                    return std::vector<std::int32_t>{3, 5};
                },
                [this](std::int32_t take) { played.push_back(take); }};
    }
};

class RecognizerWindowTest : public ::testing::Test {
protected:
    RecognizerWindowTest() : window(logic.Commands()) {
        logic.window = &window;
        window.show();
    }

    QLabel* Label(const QString& caption) {
        for (QLabel* label : window.findChildren<QLabel*>()) {
            if (label->text() == caption) return label;
        }
        return nullptr;
    }

    FakeLogic logic;
    RecognizerWindow window;
};

// Every visible control lies inside the window and overlaps no other; the
// recording indicator shows only while a recording runs, and a recording
// clears the note.
TEST_F(RecognizerWindowTest, ControlsDoNotOverlapAndTheIndicatorShowsWhileRecording) {
    const auto visibleControls = [&] {
        std::vector<QWidget*> controls;
        for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            auto* label = qobject_cast<QLabel*>(child);
            if (child->isVisible() && (label == nullptr || !label->text().isEmpty())) controls.push_back(child);
        }
        return controls;
    };
    EXPECT_EQ(visibleControls().size(), 11u);
    window.ShowNote(L"Trained as another take of yes.");
    window.ShowRecordingIndicator(true);
    EXPECT_EQ(Label("Trained as another take of yes."), nullptr);
    const std::vector<QWidget*> controls = visibleControls();
    EXPECT_EQ(controls.size(), 12u);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(window.rect().contains(controls[i]->geometry())) << i;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->metaObject()->className() << " " << controls[j]->metaObject()->className();
        }
    }
    window.ShowRecordingIndicator(false);
    EXPECT_EQ(visibleControls().size(), 11u);
}

// Deleting a line that is not there changes nothing.
TEST_F(RecognizerWindowTest, DeletingAMissingLineChangesNothing) {
    for (const wchar_t* line : {L"no", L"stop", L"yes"}) window.AddListLine(IdResultList, line);
    window.DeleteListLine(IdResultList, 1);
    window.DeleteListLine(IdResultList, 7);
    window.DeleteListLine(IdResultList, -1);
    auto* widget = qobject_cast<QListWidget*>(window.Control(IdResultList));
    ASSERT_EQ(widget->count(), 2);
    EXPECT_EQ(widget->item(1)->text(), "yes");
    EXPECT_EQ(window.CountListLines(IdWordList), 0);
}

// The placeholder is drawn inside the empty list, is no line of it, and goes
// for good once a line comes.
TEST_F(RecognizerWindowTest, EmptyResultListShowsItsPlaceholder) {
    QWidget* results = window.Control(IdResultList);
    const QImage empty = results->grab().toImage();
    window.ShowListPlaceholder(IdResultList, L"No word recognised");
    EXPECT_NE(results->grab().toImage(), empty);
    EXPECT_EQ(window.CountListLines(IdResultList), 0);
    window.AddListLine(IdResultList, L"YES score=0.93");
    window.DeleteListLine(IdResultList, 0);
    EXPECT_EQ(results->grab().toImage(), empty);
}

TEST_F(RecognizerWindowTest, ButtonsAndKeysBecomeCommands) {
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

// Delete on the current word is run whole by the Qt run test.
TEST_F(RecognizerWindowTest, WordsAreForgottenWithDeleteOrTheirMenu) {
    auto* words = qobject_cast<QListWidget*>(window.Control(IdWordList));
    for (const wchar_t* word : {L"no", L"yes"}) window.AddListLine(IdWordList, word);
    QKeyEvent remove(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(words, &remove);  // no current word: nothing

    QMenu* menu = window.WordMenu(L"no");
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_EQ(texts, QStringList({"2 takes", "Play take 1", "Play take 2", "", "Forget word"}));
    menu->actions()[2]->trigger();
    menu->actions()[4]->trigger();
    EXPECT_EQ(logic.forgotten, std::vector<std::wstring>{L"no"});
    EXPECT_EQ(logic.played, std::vector<std::int32_t>{5});
}

TEST_F(RecognizerWindowTest, ShownWordIsSelectedAndScrolledIntoView) {
    auto* words = qobject_cast<QListWidget*>(window.Control(IdWordList));
    for (int i = 10; i < 40; ++i) window.AddListLine(IdWordList, L"word" + std::to_wstring(i));
    window.ShowListLine(IdWordList, L"word39");
    ASSERT_NE(words->currentItem(), nullptr);
    EXPECT_EQ(words->currentItem()->text(), "word39");
    EXPECT_TRUE(words->viewport()->rect().contains(words->visualItemRect(words->currentItem())));
}

}  // namespace
