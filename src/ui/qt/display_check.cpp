#include "ui/qt/display_check.h"

#include <string_view>

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// Whether one platform of QT_QPA_PLATFORM (a name, maybe followed by
// ":options") can start with the given display variables.
bool PlatformUsable(std::string_view platform, bool hasX11, bool hasWayland) {
    platform = platform.substr(0, platform.find(':'));
    if (platform == "xcb") return hasX11;
    if (platform.starts_with("wayland")) return hasWayland;
    // offscreen, vnc, eglfs, linuxfb and the like need no display variable.
    return !platform.empty();
}

}  // namespace

bool DisplayLooksAvailable(const std::function<const char*(const char*)>& environment) {
    const bool hasX11 = IsSet(environment("DISPLAY"));
    const bool hasWayland = IsSet(environment("WAYLAND_DISPLAY"));
    const char* platforms = environment("QT_QPA_PLATFORM");
    if (!IsSet(platforms)) return hasX11 || hasWayland;

    // A list separated by ';' is tried in order: one usable entry is enough.
    std::string_view rest = platforms;
    while (true) {
        const std::size_t end = rest.find(';');
        if (PlatformUsable(rest.substr(0, end), hasX11, hasWayland)) return true;
        if (end == std::string_view::npos) return false;
        rest.remove_prefix(end + 1);
    }
}
