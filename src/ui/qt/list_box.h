#pragma once
// A list box of the main window that can show a greyed placeholder text in
// its middle while it has no lines, drawn over the empty list rather than
// held as a line of it.

#include <QListWidget>
#include <QString>

class ListBox : public QListWidget {
public:
    explicit ListBox(QWidget* parent);

    // An empty text shows nothing.
    void SetPlaceholder(const QString& text);
    const QString& Placeholder() const { return placeholder_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString placeholder_;
};
