// SPDX-License-Identifier: MIT
#include "palette/colour_codes.h"

#include <algorithm>
#include <cstddef>

#include "palette/utf16.h"

namespace palette {
namespace {

struct UpperRun {
    char32_t first;
    char32_t last;
    std::uint32_t stride;
    std::int32_t delta;
};

constexpr UpperRun upperRuns[] = {
#include "palette/upper_case_table.inc"
};

// The first n characters, or all of them when the text is shorter.
std::u16string_view firstChars(std::u16string_view text, std::size_t n) {
    return text.substr(0, std::min(n, text.size()));
}

// The n characters from 1-based position p, stopping at the end; none when p lies beyond it.
std::u16string_view charsFrom(std::u16string_view text, std::size_t p, std::size_t n) {
    return p - 1 < text.size() ? text.substr(p - 1, n) : std::u16string_view{};
}

// The last n characters, or all of them when the text is shorter.
std::u16string_view lastChars(std::u16string_view text, std::size_t n) {
    return text.substr(text.size() - std::min(n, text.size()));
}

// Decimal with a leading "-" for negatives, then brought to exactly three characters: "0" added on
// the left ("-5" becomes "0-5") or the first three kept ("-255" becomes "-25").
void appendThreeWide(std::u16string& out, std::int32_t value) {
    char16_t digits[12];
    std::size_t n = 0;
    // The magnitude in unsigned arithmetic, so that INT32_MIN has one too.
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (value < 0) digits[n++] = u'-';
    std::reverse(digits, digits + n);
    if (n < 3) out.append(3 - n, u'0');
    out.append(digits, std::min<std::size_t>(n, 3));
}

}  // namespace

char32_t simpleUppercase(char32_t cp) {
    // The runs are sorted by first code point; find the last one that starts at or before cp.
    const auto* run = std::upper_bound(std::begin(upperRuns), std::end(upperRuns), cp,
                                       [](char32_t c, const UpperRun& r) { return c < r.first; });
    if (run == std::begin(upperRuns)) return cp;
    --run;
    if (cp > run->last || (cp - run->first) % run->stride != 0) return cp;
    return static_cast<char32_t>(static_cast<std::uint32_t>(cp) + static_cast<std::uint32_t>(run->delta));
}

std::array<std::u16string, 5> splitHexCodes(std::u16string_view hexCodes) {
    std::array<std::u16string, 5> codes;
    std::size_t start = 0;
    for (auto& code : codes) {
        if (start > hexCodes.size()) break;  // fewer fields than codes: the rest stay empty
        const std::size_t comma = hexCodes.find(u',', start);
        const std::size_t end = comma == std::u16string_view::npos ? hexCodes.size() : comma;
        code.assign(hexCodes.substr(start, end - start));
        start = end + 1;
    }
    return codes;
}

std::u16string normaliseHexCode(std::u16string_view code) {
    std::u16string out;
    out.reserve(code.size());
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char16_t c = code[i];
        if (c == u'#') continue;
        if (c < 0x80) {
            out.push_back(c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c);
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < code.size() && code[i + 1] >= 0xDC00 &&
                   code[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(code[i + 1]) - 0xDC00);
            // Supplementary letters map to supplementary letters, so the pair stays a pair.
            appendCodePoint(out, simpleUppercase(cp));
            ++i;
        } else {
            const char32_t up = simpleUppercase(c);
            out.push_back(up <= 0xFFFF ? static_cast<char16_t>(up) : c);
        }
    }
    return out;
}

std::int32_t hexCodeToColour(std::u16string_view code) {
    const std::u16string h = normaliseHexCode(code);
    const std::size_t n = h.size() / 3;
    std::u16string_view parts[3] = {firstChars(h, n), charsFrom(h, n + 1, n), lastChars(h, n)};
    std::int32_t components[3];
    for (int i = 0; i < 3; ++i) {
        if (n == 1) {
            // A three- to five-character code is shorthand: "F" stands for "FF".
            const char16_t doubled[2] = {parts[i][0], parts[i][0]};
            components[i] = parseHexNumber(std::u16string_view(doubled, 2));
        } else {
            components[i] = parseHexNumber(parts[i]);
        }
    }
    return packRgb(components[0], components[1], components[2]);
}

std::u16string hexCodeToRgbText(std::u16string_view code) {
    const std::u16string h = normaliseHexCode(code);
    std::u16string out = u"RGB(";
    out.reserve(18);
    appendThreeWide(out, parseHexNumber(firstChars(h, 2)));
    out += u", ";
    appendThreeWide(out, parseHexNumber(charsFrom(h, 3, 2)));
    out += u", ";
    appendThreeWide(out, parseHexNumber(lastChars(h, 2)));
    out += u')';
    return out;
}

std::u16string hexCodeToBgrHexText(std::u16string_view code) {
    const std::u16string h = normaliseHexCode(code);
    std::u16string out = u"$";
    out += lastChars(h, 2);
    out += charsFrom(h, 3, 2);
    out += firstChars(h, 2);
    return out;
}

std::u16string codeText(std::u16string_view code, DisplayFormat format) {
    switch (format) {
        case DisplayFormat::FormatRgb: return hexCodeToRgbText(code);
        case DisplayFormat::FormatBgrHex: return hexCodeToBgrHexText(code);
        case DisplayFormat::FormatHtmlHex: return std::u16string(code);
    }
    return std::u16string(code);
}

}  // namespace palette
