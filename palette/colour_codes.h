// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Turns the colour codes of a palette into colour values and display texts.
// Every function is pure: it accepts any text, never fails and keeps no state. Texts count UTF-16
// units, so a "character" below is one 16-bit unit. Integer arithmetic wraps modulo 2^32 on purpose,
// done in unsigned types so that no input can reach undefined behaviour.
namespace palette {

// The three ways the code boxes write a code. The numbers are fixed: they are what the option
// buttons stand for.
enum class DisplayFormat : int { FormatRgb = 1, FormatBgrHex = 2, FormatHtmlHex = 3 };

// Cuts a hex-codes text at every "," into exactly five code texts: missing fields are empty,
// fields after the fifth are dropped, and nothing is trimmed (" 112233" keeps its blank).
std::array<std::u16string, 5> splitHexCodes(std::u16string_view hexCodes);

// Removes every "#" and upper-cases every letter (Unicode simple uppercase mapping; a surrogate
// pair is mapped as the character it encodes). Blanks and every other character stay.
std::u16string normaliseHexCode(std::u16string_view code);

// The Unicode simple uppercase mapping of one code point; code points without one map to themselves.
// Never consults a locale.
char32_t simpleUppercase(char32_t codePoint);

// The value of one "digit" of parseHexNumber: the character's code minus 48 up to code 60 ("<"),
// minus 55 above it. Every character has one, so "G" is 16 and a blank is -16.
constexpr std::int32_t hexDigitValue(char16_t c) {
    return c <= 60 ? std::int32_t{c} - 48 : std::int32_t{c} - 55;
}
static_assert(hexDigitValue(u'9') == 9 && hexDigitValue(u'A') == 10 && hexDigitValue(u'<') == 12);
static_assert(hexDigitValue(u' ') == -16 && hexDigitValue(u'a') == 42 && hexDigitValue(u'=') == 6);

// Reads the text as hexadecimal digits by hexDigitValue: value = value * 16 + digit for each
// character, wrapping modulo 2^32. The empty text gives 0.
constexpr std::int32_t parseHexNumber(std::u16string_view digits) {
    std::uint32_t value = 0;
    for (char16_t c : digits) value = value * 16u + static_cast<std::uint32_t>(hexDigitValue(c));
    // Wraps modulo 2^32 on purpose: long or odd codes give whatever the 32 bits hold.
    return static_cast<std::int32_t>(value);
}
static_assert(parseHexNumber(u"FF") == 255 && parseHexNumber(u"") == 0);
static_assert(parseHexNumber(u"FFFFFFFF") == -1 && parseHexNumber(u"100000000") == 0);

// red + green * 256 + blue * 65536 without masking: an oversized or negative component spills into
// its neighbours, and the sum wraps modulo 2^32.
constexpr std::int32_t packRgb(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return static_cast<std::int32_t>(std::uint32_t(red) + std::uint32_t(green) * 256u +
                                     std::uint32_t(blue) * 65536u);
}
static_assert(packRgb(255, 170, 51) == 3386111);
static_assert(packRgb(-255, 18, 51) == 3346689);  // -255 + 18 * 256 + 51 * 65536
static_assert(packRgb(4095, 0, 0) == 4095);

// The colour value of a code: its normalised form cut into thirds (n = length / 3 characters each,
// blue taken from the end), each third doubled when n is 1, read by parseHexNumber and packed.
std::int32_t hexCodeToColour(std::u16string_view code);

// "RGB(rrr, ggg, bbb)", always 18 characters: red from characters 1-2 of the normalised code, green
// from 3-4, blue from the last two, each read by parseHexNumber and written in decimal, padded on
// the left with "0" or cut to its first three characters.
std::u16string hexCodeToRgbText(std::u16string_view code);

// "$" followed by the blue, green and red places of the "RGB(" text, copied as characters, not
// read as numbers: "FFAA33" gives "$33AAFF", and a short code gives a short text.
std::u16string hexCodeToBgrHexText(std::u16string_view code);

// The text of a code box for one code in the given format; FormatHtmlHex is the code itself.
std::u16string codeText(std::u16string_view code, DisplayFormat format);

}  // namespace palette
