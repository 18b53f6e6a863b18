// SPDX-License-Identifier: MIT
// Every six-digit uppercase code, all 16,777,216 of them, against texts written here from the
// colour's three bytes. The loop reuses one code buffer and fixed expected texts, so that even a
// sanitizer build pays only for the conversions under test.
#include "palette/colour_codes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace {

constexpr char16_t hexDigits[] = u"0123456789ABCDEF";

// "000" to "255", three units each.
constexpr std::array<std::array<char16_t, 3>, 256> threeDigitTexts = [] {
    std::array<std::array<char16_t, 3>, 256> texts{};
    for (unsigned v = 0; v < 256; ++v)
        texts[v] = {static_cast<char16_t>(u'0' + v / 100), static_cast<char16_t>(u'0' + v / 10 % 10),
                    static_cast<char16_t>(u'0' + v % 10)};
    return texts;
}();

void writeByte(char16_t* at, std::uint32_t byte) {
    at[0] = hexDigits[byte >> 4];
    at[1] = hexDigits[byte & 15];
}

void writeDecimal(char16_t* at, std::uint32_t byte) {
    at[0] = threeDigitTexts[byte][0];
    at[1] = threeDigitTexts[byte][1];
    at[2] = threeDigitTexts[byte][2];
}

TEST(ColourCodesExhaustive, EverySixDigitCodeShowsItsColourBytes) {
    std::u16string code(6, u'0');  // "RRGGBB"
    char16_t bgr[7] = {u'$'};      // "$" + the colour as six digits: blue, green, red
    char16_t rgb[] = u"RGB(000, 000, 000)";
    constexpr std::size_t rgbSize = std::size(rgb) - 1;
    static_assert(rgbSize == 18);
    int reported = 0;
    std::uint32_t failures = 0;
    for (std::uint32_t colour = 0; colour < (1u << 24); ++colour) {
        const std::uint32_t red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16;
        writeByte(&code[0], red);
        writeByte(&code[2], green);
        writeByte(&code[4], blue);
        writeByte(&bgr[1], blue);
        writeByte(&bgr[3], green);
        writeByte(&bgr[5], red);
        writeDecimal(&rgb[4], red);
        writeDecimal(&rgb[9], green);
        writeDecimal(&rgb[14], blue);

        const bool colourRight = palette::hexCodeToColour(code) == static_cast<std::int32_t>(colour);
        const bool bgrRight = palette::hexCodeToBgrHexText(code) == std::u16string_view(bgr, 7);
        const bool rgbRight = palette::hexCodeToRgbText(code) == std::u16string_view(rgb, rgbSize);
        if (colourRight && bgrRight && rgbRight) continue;
        ++failures;
        if (reported++ < 5) {
            ADD_FAILURE() << "code " << std::string(code.begin(), code.end()) << ": colour " << (colourRight ? "right" : "wrong")
                          << ", BGR text " << (bgrRight ? "right" : "wrong") << ", RGB text " << (rgbRight ? "right" : "wrong");
        }
    }
    EXPECT_EQ(failures, 0u);
}

}  // namespace
