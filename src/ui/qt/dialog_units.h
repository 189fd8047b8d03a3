#pragma once
// Dialog units, the font-relative measure that dialog layouts are given in.
// One horizontal unit is a quarter of the dialog font's average character
// width, one vertical unit an eighth of its character height.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

// A control's place in a dialog, in dialog units.
struct DialogRect {
    int x;
    int y;
    int width;
    int height;
};

// The dialog font: `family` at `points`, or the closest installed
// sans-serif font when `family` is not installed.
QFont DialogFont(const QString& family, int points);

class DialogUnits {
public:
    explicit DialogUnits(const QFont& dialogFont);

    QRect ToPixels(const DialogRect& rect) const;
    QSize ToPixels(int width, int height) const;

    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

private:
    int Horizontal(int units) const;
    int Vertical(int units) const;

    int averageCharWidth_;
    int charHeight_;
};
