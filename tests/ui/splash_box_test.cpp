#include "ui/qt/splash_box.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/dialog_window.h"
#include "ui/qt/recognizer_window.h"

namespace {

QPushButton* Button(const QWidget& box, int id) {
    for (QPushButton* button : box.findChildren<QPushButton*>()) {
        if (button->property("controlId").toInt() == id) return button;
    }
    return nullptr;
}

// Presses `key` in whatever modal box is open once the event loop runs.
void PressKeyInModalBox(Qt::Key key) {
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    });
}

TEST(SplashBoxTest, IsAFramelessBoxWithButtonsPictureAndNotices) {
    SplashBox box;
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    QPushButton* ok = Button(box, IdOk);
    QPushButton* cancel = Button(box, IdCancel);
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(cancel->text(), "Cancel");
    auto* picture = box.findChild<QLabel*>("splashPicture");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(185, 257));
    EXPECT_EQ(box.findChildren<QLabel*>().size(), 3);  // the picture and two notices
}

TEST(SplashBoxTest, EnterAndEscapeCloseItWithOkAndCancel) {
    RecognizerWindow window{WindowCommands{}};
    PressKeyInModalBox(Qt::Key_Return);
    EXPECT_EQ(window.RunSplashDialog(), IdOk);
    PressKeyInModalBox(Qt::Key_Escape);
    EXPECT_EQ(window.RunSplashDialog(), IdCancel);
}

}  // namespace
