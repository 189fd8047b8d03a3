#include "ui/qt/splash_box.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/dialog_window.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/program_resources.h"

namespace {

const char* const kDemonstrationNotice = "See Parrot Demo, our companion demo program.";
const char* const kOrderingNotice = "Orders: Parrot Sales Desk, tel. 555-0142";

QLabel* AddNotice(QWidget* box, const DialogUnits& units, const char* text, const DialogRect& place) {
    auto* notice = new QLabel(QString::fromUtf8(text), box);
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setGeometry(units.ToPixels(place));
    return notice;
}

}  // namespace

SplashBox::SplashBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFont(DialogFont(QStringLiteral("System"), 8));
    const DialogUnits units(font());
    setFixedSize(units.ToPixels(204, 173));

    // Created in tab order.
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setProperty("controlId", IdOk);
    okButton->setGeometry(units.ToPixels({147, 7, 50, 14}));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setProperty("controlId", IdCancel);
    cancelButton->setGeometry(units.ToPixels({147, 24, 50, 14}));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // A picture control takes the size of its bitmap.
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("splashPicture"));
    picture->setPixmap(SplashPicture());
    picture->setGeometry(QRect(units.ToPixels({7, 7, 0, 0}).topLeft(), picture->pixmap().size()));

    AddNotice(this, units, kDemonstrationNotice, {136, 44, 66, 35});
    AddNotice(this, units, kOrderingNotice, {134, 84, 66, 35});

    okButton->setFocus();
}

void SplashBox::showEvent(QShowEvent* event) {
    if (const QScreen* screen = this->screen()) {
        QRect place = rect();
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
    QDialog::showEvent(event);
}
