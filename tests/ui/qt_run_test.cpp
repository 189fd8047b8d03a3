// A whole run of the window program's start hook on Qt: the splash box, then
// the main window with the saved words, closed with the close button.

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include <filesystem>
#include <string>

#include "app/recognizer_app.h"
#include "support/temporary_folder.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/recognizer_window.h"
#include "ui/qt/splash_box.h"

namespace fs = std::filesystem;

namespace {

// Plays the user: Enter on the splash box, then looks at the main window
// and closes it with its close button.
struct User {
    bool splashSeen = false;
    bool windowSeen = false;
    QStringList words;
    bool hasIcon = false;

    void Act() {
        QWidget* box = QApplication::activeModalWidget();
        if (auto* splash = dynamic_cast<SplashBox*>(box)) {
            splashSeen = true;
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(splash, &enter);
        } else if (auto* window = dynamic_cast<RecognizerWindow*>(box)) {
            windowSeen = true;
            const auto* list = qobject_cast<QListWidget*>(window->Control(IdWordList));
            for (int i = 0; i < list->count(); ++i) words << list->item(i)->text();
            hasIcon = !window->windowIcon().isNull();
            window->close();
            return;
        }
        QTimer::singleShot(10, [this] { Act(); });
    }
};

TEST(QtRunTest, SplashThenMainWindowWithSavedWordsClosedWithoutSaving) {
    const fs::path startFolder = fs::current_path();
    const TemporaryFolder folder;
    const fs::path& workFolder = folder.path();
    const std::string saved = "7\nzebra#1#\nStop#2#\napple#3#\nstop#4#";
    WriteFileBytes(workFolder / "commands.txt", saved);

    User user;
    QTimer::singleShot(0, [&user] { user.Act(); });
    QtPlatform platform(workFolder.string(), std::nullopt);
    RecognizerApp app(platform);
    EXPECT_FALSE(app.InitInstance());
    fs::current_path(startFolder);

    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_TRUE(user.splashSeen);
    EXPECT_TRUE(user.windowSeen);
    EXPECT_TRUE(user.hasIcon);
    EXPECT_EQ(user.words, QStringList({"apple", "Stop", "stop", "zebra"}));
    EXPECT_TRUE(fs::exists(workFolder / "params_dec.txt"));
    EXPECT_EQ(ReadFileBytes(workFolder / "commands.txt"), saved);
}

}  // namespace
