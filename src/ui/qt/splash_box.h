#pragma once
// The start-up box (dialog 130): the splash picture and two notices, with
// OK as the default button and Cancel. Enter and Escape close it too.

#include <QDialog>

class SplashBox : public QDialog {
public:
    explicit SplashBox(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};
