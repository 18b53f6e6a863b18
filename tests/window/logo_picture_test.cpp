// SPDX-License-Identifier: MIT
#include "window/logo_picture.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "tests/support/temp_dir.h"

namespace chromabox {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return Bytes(data.begin(), data.end());
}

QImage testPicture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(200, 40, 20, 255));
    image.setPixelColor(0, 0, QColor(0, 0, 255, 0));  // one transparent corner
    return image;
}

std::uint32_t crc32(const unsigned char* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

// A PNG that is only a signature and a header declaring the given size.
Bytes pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putBigEndian(out, 13);
    const std::size_t typeAt = out.size();
    for (char c : std::string("IHDR")) out.push_back(static_cast<unsigned char>(c));
    putBigEndian(out, width);
    putBigEndian(out, height);
    for (unsigned char b : {8, 6, 0, 0, 0}) out.push_back(b);  // 8-bit RGBA, no interlace
    putBigEndian(out, crc32(out.data() + typeAt, out.size() - typeAt));
    return out;
}

void putLittleEndian(Bytes& out, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(u >> (8 * i));
}

struct DecodeCase {
    const char* name;
    Bytes bytes;
    std::optional<QSize> size;  // nullopt: no picture
};

std::vector<DecodeCase> decodeCases() {
    const Bytes png = encode(testPicture(64, 48), "PNG");
    const Bytes bmp = encode(testPicture(20, 10), "BMP");
    const Bytes ico = encode(testPicture(32, 32), "ICO");

    Bytes truncatedPng(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    Bytes topDownBmp = bmp;  // a negative height means rows stored top first: still a picture
    putLittleEndian(topDownBmp, 22, -10);
    Bytes tallBmp = bmp;
    putLittleEndian(tallBmp, 22, 0x7FFFFFFF);
    Bytes wideBmp = bmp;
    putLittleEndian(wideBmp, 18, 100000);
    putLittleEndian(wideBmp, 22, 100000);
    Bytes bogusIcon = ico;  // the directory points far beyond the file
    putLittleEndian(bogusIcon, 6 + 8, 0x7FFFFFF0);
    putLittleEndian(bogusIcon, 6 + 12, 0x7FFFFFF0);
    Bytes hugeIcon = {0, 0, 1, 0, 1, 0};
    hugeIcon.resize(22, 0);  // width and height 0 mean 256 in an icon directory; the data is absent

    return {
        {"Png", png, QSize(64, 48)},
        {"Bmp", bmp, QSize(20, 10)},
        {"Icon", ico, QSize(32, 32)},
        {"TopDownBmp", topDownBmp, QSize(20, 10)},
        {"TruncatedPng", truncatedPng, std::nullopt},
        {"PngDeclaring100000Squared", pngHeaderOnly(100000, 100000), std::nullopt},
        {"PngJustOverTheLimit", pngHeaderOnly(4097, 4096), std::nullopt},
        {"BmpWithHugeHeight", tallBmp, std::nullopt},
        {"BmpDeclaring100000Squared", wideBmp, std::nullopt},
        {"IconWithBogusDirectory", bogusIcon, std::nullopt},
        {"IconWithoutData", hugeIcon, std::nullopt},
        {"Text", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}, std::nullopt},
        {"Empty", Bytes{}, std::nullopt},
        {"PngSignatureOnly", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, std::nullopt},
    };
}

TEST(LogoPicture, DecodesIconBmpAndPngAndRefusesTheRest) {
    for (const auto& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        const auto image = decodeLogoPicture(c.bytes);
        ASSERT_EQ(image.has_value(), c.size.has_value());
        if (image) {
            EXPECT_EQ(image->size(), *c.size);
        }
    }
}

QStringList qtMessages;

TEST(LogoPicture, BrokenFilesLeaveNoMessages) {
    qtMessages.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) { qtMessages << text; });
    for (const auto& c : decodeCases()) decodeLogoPicture(c.bytes);
    qWarning("still listening");  // the handler in place before is back
    qInstallMessageHandler(previous);
    EXPECT_EQ(qtMessages, QStringList{"still listening"});
}

TEST(LogoPicture, PngKeepsItsColoursAndAlpha) {
    const auto image = decodePng(encode(testPicture(64, 48), "PNG"));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixelColor(10, 10), QColor(200, 40, 20, 255));
    EXPECT_EQ(image->pixelColor(0, 0).alpha(), 0);
}

TEST(LogoPicture, ContentDecidesNotTheName) {
    TempDir dir;
    const Bytes bmp = encode(testPicture(20, 10), "BMP");
    const auto file = dir.write("Palette Logo.png", std::string(bmp.begin(), bmp.end()));
    const auto image = loadLogoPicture(file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->size(), QSize(20, 10));
}

TEST(LogoPicture, FilesThatCannotBeReadGiveNoPicture) {
    TempDir dir;
    EXPECT_FALSE(loadLogoPicture(dir.path() / "Palette Logo.png").has_value());
    std::filesystem::create_directory(dir.path() / "folder.png");
    EXPECT_FALSE(loadLogoPicture(dir.path() / "folder.png").has_value());
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.png").c_str(), 0600), 0);
    EXPECT_FALSE(loadLogoPicture(dir.path() / "fifo.png").has_value());  // and does not block
    EXPECT_FALSE(loadLogoPicture(dir.write("text.png", "just some words\n")).has_value());
    EXPECT_FALSE(loadLogoPicture("/dev/zero").has_value());
}

}  // namespace
}  // namespace chromabox
