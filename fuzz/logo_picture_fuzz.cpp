// SPDX-License-Identifier: MIT
// Bytes in, a picture or none out: icon, BMP and PNG decoding must never crash, hang or allocate
// beyond the logo limit, whatever the bytes claim.
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "window/logo_picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static int qtArgc = 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(qtArgc, *argv);  // the image readers are plugins found through it
    (void)argc;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = chromabox::decodeLogoPicture({data, size});
    if (image && (image->isNull() || static_cast<std::size_t>(image->width()) * image->height() * 4 >
                                         chromabox::maxLogoBytes)) {
        std::abort();
    }
    return 0;
}
