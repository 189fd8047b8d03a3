#include "ui/qt/dialog_units.h"

#include <QFontMetrics>

namespace {

// units × size / divisor, rounded to the nearest pixel.
int Scale(int units, int size, int divisor) { return (units * size + divisor / 2) / divisor; }

}  // namespace

QFont DialogFont(const QString& family, int points) {
    QFont font(family, points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits::DialogUnits(const QFont& dialogFont) {
    const QFontMetrics metrics(dialogFont);
    averageCharWidth_ = metrics.averageCharWidth();
    charHeight_ = metrics.height();
}

int DialogUnits::Horizontal(int units) const { return Scale(units, averageCharWidth_, 4); }

int DialogUnits::Vertical(int units) const { return Scale(units, charHeight_, 8); }

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
    return QRect(Horizontal(rect.x), Vertical(rect.y), Horizontal(rect.width), Vertical(rect.height));
}

QSize DialogUnits::ToPixels(int width, int height) const { return QSize(Horizontal(width), Vertical(height)); }
