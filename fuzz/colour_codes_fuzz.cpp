// SPDX-License-Identifier: MIT
// Feeds arbitrary UTF-16 texts (the input read as little-endian byte pairs) to every colour-code
// conversion and checks the properties that hold for any text, plus the exact results for the one
// shape that matters most: six hex digits, any case, with or without a leading "#".
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "palette/colour_codes.h"

namespace {

using palette::DisplayFormat;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "colour_codes_fuzz: %s\n", what);
    std::abort();
}

bool isHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'); }

std::int32_t hexValue(char16_t c) {
    if (c <= u'9') return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

// "#" at most once in front, then exactly six hex digits.
bool isSixDigitCode(std::u16string_view text) {
    if (text.starts_with(u'#')) text.remove_prefix(1);
    if (text.size() != 6) return false;
    for (char16_t c : text) {
        if (!isHexDigit(c)) return false;
    }
    return true;
}

// One text through every conversion.
void checkCode(std::u16string_view code) {
    const std::u16string normalised = palette::normaliseHexCode(code);
    std::size_t hashes = 0;
    for (char16_t c : code) hashes += c == u'#';
    if (normalised.size() != code.size() - hashes) fail("normaliseHexCode changed the number of units");
    if (normalised.find(u'#') != std::u16string::npos) fail("normaliseHexCode kept a #");
    // Only without "#": removing one can bring two lone surrogates together into a pair.
    if (hashes == 0 && palette::normaliseHexCode(normalised) != normalised) fail("normaliseHexCode is not idempotent");

    const std::int32_t colour = palette::hexCodeToColour(code);
    const std::u16string rgb = palette::hexCodeToRgbText(code);
    const std::u16string bgr = palette::hexCodeToBgrHexText(code);
    if (rgb.size() != 18) fail("hexCodeToRgbText is not 18 units");
    if (!rgb.starts_with(u"RGB(") || rgb[7] != u',' || rgb[12] != u',' || rgb[17] != u')') fail("hexCodeToRgbText shape");
    if (bgr.empty() || bgr[0] != u'$' || bgr.size() > 7) fail("hexCodeToBgrHexText shape");
    if (palette::codeText(code, DisplayFormat::FormatRgb) != rgb) fail("codeText RGB");
    if (palette::codeText(code, DisplayFormat::FormatBgrHex) != bgr) fail("codeText BGR");
    if (palette::codeText(code, DisplayFormat::FormatHtmlHex) != code) fail("codeText HTML");

    if (isSixDigitCode(code)) {
        const std::u16string_view digits = code.starts_with(u'#') ? code.substr(1) : code;
        const std::int32_t red = hexValue(digits[0]) * 16 + hexValue(digits[1]);
        const std::int32_t green = hexValue(digits[2]) * 16 + hexValue(digits[3]);
        const std::int32_t blue = hexValue(digits[4]) * 16 + hexValue(digits[5]);
        if (colour != red + green * 256 + blue * 65536) fail("hexCodeToColour of six hex digits");
        char expected[24];
        std::snprintf(expected, sizeof expected, "$%06X", static_cast<unsigned>(colour));
        if (bgr != std::u16string(expected, expected + 7)) fail("hexCodeToBgrHexText of six hex digits");
        std::snprintf(expected, sizeof expected, "RGB(%03d, %03d, %03d)", red, green, blue);
        if (rgb != std::u16string(expected, expected + 18)) fail("hexCodeToRgbText of six hex digits");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

    // Cut at the commas: five fields, each the text between two commas, the rest empty.
    const std::array<std::u16string, 5> codes = palette::splitHexCodes(text);
    std::u16string joined;
    std::size_t fields = 1;
    for (char16_t c : text) fields += c == u',';
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i].find(u',') != std::u16string::npos) fail("splitHexCodes kept a comma");
        if (i >= fields && !codes[i].empty()) fail("splitHexCodes invented a field");
        if (i > 0 && i < fields) joined += u',';
        joined += codes[i];
    }
    if (!std::u16string_view(text).starts_with(joined)) fail("splitHexCodes fields are not the text's");
    if (fields <= 5 && joined != text) fail("splitHexCodes lost part of the text");

    checkCode(text);
    for (const auto& code : codes) checkCode(code);

    // Digits: each text is its halves, shifted; modulo 2^32 like the function.
    const std::u16string_view all(text);
    const std::u16string_view front = all.substr(0, all.size() / 2), back = all.substr(all.size() / 2);
    std::uint32_t shifted = static_cast<std::uint32_t>(palette::parseHexNumber(front));
    for (std::size_t i = 0; i < back.size(); ++i) shifted *= 16u;
    if (static_cast<std::uint32_t>(palette::parseHexNumber(all)) !=
        shifted + static_cast<std::uint32_t>(palette::parseHexNumber(back)))
        fail("parseHexNumber does not split at the middle");

    // Upper-casing keeps planes apart: a supplementary character never becomes a BMP one, which
    // normaliseHexCode relies on to write a pair back as a pair.
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            const char32_t up = palette::simpleUppercase(cp);
            if (up < 0x10000 || up > 0x10FFFF) fail("simpleUppercase left the supplementary planes");
        } else if (palette::simpleUppercase(text[i]) > 0x10FFFF) {
            fail("simpleUppercase beyond Unicode");
        }
    }
    if (size >= 3) {
        const std::int32_t r = data[0], g = data[1], b = data[2];
        if (palette::packRgb(r, g, b) != (r | g << 8 | b << 16)) fail("packRgb of three bytes");
    }
    return 0;
}
