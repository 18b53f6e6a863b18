// SPDX-License-Identifier: MIT
#include "window/logo_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace chromabox {
namespace {

bool startsWith(std::span<const unsigned char> bytes, std::initializer_list<unsigned char> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// An icon file: reserved 0, type 1, and at least one image in its directory.
bool looksLikeIcon(std::span<const unsigned char> bytes) {
    return startsWith(bytes, {0, 0, 1, 0}) && bytes.size() >= 6 && (bytes[4] | bytes[5]) != 0;
}

bool fitsTheLimit(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width * height <= static_cast<qint64>(maxLogoBytes / 4);
}

// Qt's readers complain on the terminal about broken files; a logo that does not decode is no
// news to anyone, so their messages are dropped while one is read.
class QuietQtMessages {
public:
    QuietQtMessages() : previous_(qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {})) {}
    ~QuietQtMessages() { qInstallMessageHandler(previous_); }
    QuietQtMessages(const QuietQtMessages&) = delete;
    QuietQtMessages& operator=(const QuietQtMessages&) = delete;

private:
    QtMessageHandler previous_;
};

// Icon and BMP pictures go through Qt's own readers, held to the same limit as PNG.
std::optional<QImage> decodeWithQt(std::span<const unsigned char> bytes, const char* format) {
    const QuietQtMessages quiet;
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(static_cast<int>(maxLogoBytes >> 20));
    const QSize declared = reader.size();
    if (declared.isValid() && !fitsTheLimit(declared.width(), declared.height())) return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull() || !fitsTheLimit(image.width(), image.height())) return std::nullopt;
    return image;
}

}  // namespace

std::optional<QImage> decodePng(std::span<const unsigned char> bytes) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        png_image_free(&png);
        return std::nullopt;
    }
    if (!fitsTheLimit(png.width, png.height)) {
        png_image_free(&png);
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGBA;
    QImage image(static_cast<int>(png.width), static_cast<int>(png.height), QImage::Format_RGBA8888);
    if (image.isNull()) {
        png_image_free(&png);
        return std::nullopt;
    }
    const auto stride = static_cast<png_int_32>(image.bytesPerLine());
    if (!png_image_finish_read(&png, /*background=*/nullptr, image.bits(), stride, /*colormap=*/nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    png_image_free(&png);
    return image;
}

std::optional<QImage> decodeLogoPicture(std::span<const unsigned char> bytes) {
    if (looksLikeIcon(bytes)) return decodeWithQt(bytes, "ico");
    if (startsWith(bytes, {'B', 'M'})) return decodeWithQt(bytes, "bmp");
    if (startsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return decodePng(bytes);
    return std::nullopt;
}

std::optional<QImage> loadLogoPicture(const std::filesystem::path& fileName) {
    // O_NONBLOCK keeps a FIFO from blocking start-up; only a regular file is read.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    std::vector<unsigned char> bytes;
    bool whole = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 0 &&
                 static_cast<std::uint64_t>(status.st_size) <= maxLogoBytes;
    if (whole) {
        bytes.resize(static_cast<std::size_t>(status.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        whole = got == bytes.size();  // a read that stops short leaves no picture
    }
    ::close(fd);
    if (!whole) return std::nullopt;
    return decodeLogoPicture(bytes);
}

}  // namespace chromabox
