#include "ui/qt/program_resources.h"

// The resources live in this static library, so they are registered
// explicitly before their first use. Kept outside any namespace, as the
// registration function it names is a global one.
static void RegisterResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(parrot);
        return true;
    }();
    (void)registered;
}

QIcon ProgramIcon() {
    RegisterResources();
    return QIcon(QStringLiteral(":/parrot/parrot.ico"));
}

QPixmap SplashPicture() {
    RegisterResources();
    return QPixmap(QStringLiteral(":/parrot/splash.bmp"));
}
