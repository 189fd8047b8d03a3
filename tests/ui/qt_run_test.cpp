// A whole run of the window program's start hook on Qt: the splash box with
// its picture from the program's resources, closed with Enter, then
// the main window with the saved words (the built-in models are no words of
// the user's); one is forgotten with Delete, and closing asks whether to save
// the change.

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/recognizer_app.h"
#include "support/temporary_folder.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/recognizer_window.h"
#include "ui/qt/splash_box.h"

namespace fs = std::filesystem;

namespace {

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

// Plays the user, one step each time it looks: Enter on the splash box
// (Escape, should Enter not close it);
// Delete on "zebra", confirmed; closes the window, and cancels when asked to
// save; closes it again, and discards.
struct User {
    int splashPresses = 0;
    bool splashHasPicture = false;
    QStringList wordsAtStart;
    QStringList wordsAfterForgetting;
    QStringList questions;
    int closes = 0;
    bool hasIcon = false;
    bool done = false;

    void Act() {
        QTimer::singleShot(10, [this] {
            if (!done) Act();
        });
        QWidget* box = QApplication::activeModalWidget();
        if (auto* splash = dynamic_cast<SplashBox*>(box)) {
            const auto* picture = splash->findChild<QLabel*>("splashPicture");
            splashHasPicture = picture != nullptr && !picture->pixmap().isNull();
            QKeyEvent key(QEvent::KeyPress, ++splashPresses == 1 ? Qt::Key_Return : Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(splash, &key);
        } else if (auto* question = dynamic_cast<QMessageBox*>(box)) {
            questions << question->text();
            const bool closing = question->text() == "Save the vocabulary before closing?";
            done = closing && closes == 2;
            question->button(!closing ? QMessageBox::Yes : done ? QMessageBox::Discard : QMessageBox::Cancel)->click();
        } else if (auto* window = dynamic_cast<RecognizerWindow*>(box)) {
            auto* list = qobject_cast<QListWidget*>(window->Control(IdWordList));
            if (wordsAtStart.isEmpty()) {
                wordsAtStart = Lines(list);
                hasIcon = !window->windowIcon().isNull();
                list->setCurrentRow(static_cast<int>(wordsAtStart.indexOf("zebra")));
                QKeyEvent remove(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
                QApplication::sendEvent(list, &remove);
            } else {
                wordsAfterForgetting = Lines(list);
                ++closes;
                window->close();
            }
        }
    }
};

TEST(QtRunTest, ForgettingAWordThenClosingAsksToSave) {
    const fs::path startFolder = fs::current_path();
    const TemporaryFolder folder;
    const fs::path& workFolder = folder.path();
    const std::string saved = "7\nzebra#1#\nStop#2#\nsp#5#\napple#3#\nsil#6#\nstop#4#";
    WriteFileBytes(workFolder / "commands.txt", saved);
    ::setenv("PARROT_TEST_ENGINE_LOG", (workFolder / "engine.log").c_str(), 1);

    User user;
    QTimer::singleShot(0, [&user] { user.Act(); });
    QtPlatform platform(workFolder.string(), std::nullopt);
    RecognizerApp app(platform);
    EXPECT_FALSE(app.InitInstance());
    fs::current_path(startFolder);
    ::unsetenv("PARROT_TEST_ENGINE_LOG");

    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_EQ(user.splashPresses, 1);
    EXPECT_TRUE(user.splashHasPicture);
    EXPECT_TRUE(user.hasIcon);
    EXPECT_EQ(user.wordsAtStart, QStringList({"apple", "Stop", "stop", "zebra"}));
    EXPECT_EQ(user.wordsAfterForgetting, QStringList({"apple", "Stop", "stop"}));
    ASSERT_EQ(user.questions.size(), 3);
    EXPECT_TRUE(user.questions[0].startsWith("Forget \"zebra\"?"));
    EXPECT_EQ(user.closes, 2);
    EXPECT_TRUE(fs::exists(workFolder / "engine.log"));  // the models were trained without it
    EXPECT_TRUE(fs::exists(workFolder / "params_dec.txt"));
    EXPECT_EQ(ReadFileBytes(workFolder / "commands.txt"), saved);
}

}  // namespace
