// SPDX-License-Identifier: MIT
#include <cstdio>
#include <cstdlib>

#include "window/app.h"

int main() {
    // Without any display Qt would abort with a core dump; say so in one line instead.
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        std::fputs("chromabox: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }
    return chromabox::runChromabox();
}
