#include "ui/qt/list_box.h"

#include <QPainter>

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {}

void ListBox::SetPlaceholder(const QString& text) {
    placeholder_ = text;
    viewport()->update();
}

void ListBox::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (count() > 0 || placeholder_.isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
}
