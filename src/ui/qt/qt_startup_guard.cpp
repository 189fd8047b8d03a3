#include "ui/qt/qt_startup_guard.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

#include "text/program_name.h"
#include "ui/qt/display_check.h"

namespace {

QStringList& HeldMessages() {
    static QStringList messages;
    return messages;
}

void HoldStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        PrintMessage(kNoDisplayMessage);
        std::_Exit(1);
    }
    HeldMessages().append(message);
}

}  // namespace

QtStartupGuard::QtStartupGuard() { qInstallMessageHandler(HoldStartupMessage); }

QtStartupGuard::~QtStartupGuard() {
    qInstallMessageHandler(nullptr);
    for (const QString& message : HeldMessages()) {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    }
    HeldMessages().clear();
}
