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

// The picture comes from the program's resources; OK and Cancel answer
// Enter and Escape.
TEST(SplashBoxTest, ShowsItsPictureAndClosesWithOkOrCancel) {
    const SplashBox box;
    const auto* picture = box.findChild<QLabel*>("splashPicture");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    for (const auto& [id, caption] : {std::pair{IdOk, "OK"}, std::pair{IdCancel, "Cancel"}}) {
        const QPushButton* button = Button(box, id);
        ASSERT_NE(button, nullptr) << caption;
        EXPECT_EQ(button->text(), caption);
    }
    RecognizerWindow window{WindowCommands{}};
    PressKeyInModalBox(Qt::Key_Return);
    EXPECT_EQ(window.RunSplashDialog(), IdOk);
    PressKeyInModalBox(Qt::Key_Escape);
    EXPECT_EQ(window.RunSplashDialog(), IdCancel);
}

}  // namespace
