// SPDX-License-Identifier: MIT
#include "palette/colour_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using palette::DisplayFormat;

// One code text through every conversion. Colour values show their components where the
// arithmetic is not obvious.
struct CodeCase {
    const char* name;
    std::u16string_view code;
    std::int32_t colour;
    std::u16string_view rgb;
    std::u16string_view bgrHex;
};

constexpr CodeCase codeCases[] = {
    {"SixDigits", u"FFAA33", 3386111, u"RGB(255, 170, 051)", u"$33AAFF"},
    {"HashAndSmallLetters", u"#ffaa33", 3386111, u"RGB(255, 170, 051)", u"$33AAFF"},
    // Three characters double for the colour (FF, 33, AA) but the texts read fixed places.
    {"ThreeCharactersDouble", u"F3A", 11154431, u"RGB(243, 010, 058)", u"$3AAF3"},
    // Five characters: n = 1, so red 1, green 2, blue 5, each doubled (11, 22, 55).
    {"FiveCharactersSkipOne", u"12345", 5579281, u"RGB(018, 052, 069)", u"$453412"},
    {"Empty", u"", 0, u"RGB(000, 000, 000)", u"$"},
    {"OnlyHash", u"#", 0, u"RGB(000, 000, 000)", u"$"},
    // Two characters: n = 0 paints black, the texts read "FF" as red and as blue.
    {"TwoCharacters", u"FF", 0, u"RGB(255, 000, 255)", u"$FFFF"},
    {"OneCharacter", u"A", 0, u"RGB(010, 000, 010)", u"$AA"},
    {"FourCharacters", u"ABCD", 14531498, u"RGB(171, 205, 205)", u"$CDCDAB"},  // AA, BB, DD
    {"SevenCharactersSkipOne", u"1234567", 6763538, u"RGB(018, 052, 103)", u"$673412"},
    {"EightCharactersSkipTwo", u"12345678", 7877650, u"RGB(018, 052, 120)", u"$783412"},  // 12, 34, 78
    // Nine characters: components of three digits, 0xFFF + 0xAAA * 256 + 0x333 * 65536.
    {"NineCharacters", u"FFFAAA333", 54376959, u"RGB(255, 250, 051)", u"$33FAFF"},
    // A leading blank is the digit -16: red = -16 * 16 + 1 = -255.
    {"LeadingBlank", u" 112233", 3346689, u"RGB(-25, 018, 051)", u"$3312 1"},
    {"LettersBeyondF", u"GG0000", 272, u"RGB(272, 000, 000)", u"$0000GG"},
    // Blue 0xFFFF spills into the top byte: 255 + 255 * 256 + 65535 * 65536 wraps to -1.
    {"TwelveCharactersWrapToMinusOne", u"00FF00FFFFFF", -1, u"RGB(000, 255, 255)", u"$FFFF00"},
    {"HashesInside", u"FF#AA#33", 3386111, u"RGB(255, 170, 051)", u"$33AAFF"},
    {"SmallLetters", u"ffaa33", 3386111, u"RGB(255, 170, 051)", u"$33AAFF"},
    // "<" is 12 and ":" 10 by the digit rule's boundary at 60, not 57.
    {"DigitRuleBoundary", u"<<::;;", palette::packRgb(12 * 17, 10 * 17, 11 * 17), u"RGB(204, 170, 187)", u"$;;::<<"},
};

TEST(ColourCodes, ConvertsEachCode) {
    for (const auto& c : codeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(palette::hexCodeToColour(c.code), c.colour);
        EXPECT_EQ(palette::hexCodeToRgbText(c.code), c.rgb);
        EXPECT_EQ(palette::hexCodeToBgrHexText(c.code), c.bgrHex);
        EXPECT_EQ(palette::codeText(c.code, DisplayFormat::FormatRgb), c.rgb);
        EXPECT_EQ(palette::codeText(c.code, DisplayFormat::FormatBgrHex), c.bgrHex);
        EXPECT_EQ(palette::codeText(c.code, DisplayFormat::FormatHtmlHex), c.code);
    }
}

TEST(ColourCodes, RgbTextIsAlwaysEighteenCharacters) {
    const std::u16string_view codes[] = {u"", u"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF", u"  ", u"--",
                                         u"ZZZZZZ", u"\U0001F600", u"000000000000000"};
    for (auto code : codes) EXPECT_EQ(palette::hexCodeToRgbText(code).size(), 18u);
}

struct FieldCase {
    const char* name;
    std::u16string_view code;
    std::u16string_view rgb;
};

// Each decimal field is padded on the left or cut to its first three characters.
constexpr FieldCase fieldCases[] = {
    {"NegativePadsWithZero", u"0+0+0+", u"RGB(0-5, 0-5, 0-5)"},         // "0+" = 0 * 16 - 5
    {"NegativeThreeWide", u"0 0 0 ", u"RGB(-16, -16, -16)"},            // "0 " = 0 * 16 - 16
    {"NegativeCutToThree", u"  0000", u"RGB(-27, 000, 000)"},           // "  " = -16 * 16 - 16 = -272
    {"ThreeDigitsAbove255", u"ZZ0000", u"RGB(595, 000, 000)"},          // 35 * 16 + 35
    {"FourDigitsCutToThree", u"\u00D7\u00D70000", u"RGB(272, 000, 000)"},  // (215 - 55) * 17 = 2720
};

TEST(ColourCodes, RgbFieldsAreThreeWide) {
    for (const auto& c : fieldCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(palette::hexCodeToRgbText(c.code), c.rgb);
    }
}

TEST(ColourCodes, SplitsIntoExactlyFiveCodes) {
    using Codes = std::array<std::u16string, 5>;
    struct SplitCase {
        const char* name;
        std::u16string_view text;
        Codes codes;
    };
    const SplitCase cases[] = {
        {"Five", u"FFAA33,112233,445566,778899,AABBCC", {u"FFAA33", u"112233", u"445566", u"778899", u"AABBCC"}},
        {"Two", u"FFAA33,112233", {u"FFAA33", u"112233", u"", u"", u""}},
        {"Seven", u"A,B,C,D,E,F,G", {u"A", u"B", u"C", u"D", u"E"}},
        {"OnlyCommas", u",,,,", {}},
        {"Empty", u"", {}},
        {"NoComma", u"FFAA33 112233", {u"FFAA33 112233", u"", u"", u"", u""}},
        {"EmptyFieldKeepsPlaces", u"FFAA33,,112233", {u"FFAA33", u"", u"112233", u"", u""}},
        {"BlanksBelongToCodes", u"FFAA33, 112233 ,#A;B", {u"FFAA33", u" 112233 ", u"#A;B", u"", u""}},
        {"TrailingComma", u"A,B,C,D,E,", {u"A", u"B", u"C", u"D", u"E"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(palette::splitHexCodes(c.text), c.codes);
    }
}

TEST(ColourCodes, NormalisesHashesAndCase) {
    struct NormaliseCase {
        const char* name;
        std::u16string_view code;
        std::u16string_view normalised;
    };
    const NormaliseCase cases[] = {
        {"Ascii", u"#ffaa33", u"FFAA33"},
        {"HashesAnywhere", u"##F#F#", u"FF"},
        {"BlanksStay", u" a b ", u" A B "},
        {"Latin1", u"caf\u00E9 \u00FF", u"CAF\u00C9 \u0178"},
        {"Greek", u"\u03C9\u03C2", u"\u03A9\u03A3"},
        {"SharpSHasNoSimpleUppercase", u"\u00DF", u"\u00DF"},
        {"DotlessI", u"\u0131", u"I"},
        {"SurrogatePairDeseret", u"\U00010428", u"\U00010400"},
        {"LoneSurrogateStays", u"a\xD801", u"A\xD801"},
        {"DigitsAndSymbolsStay", u"0-9:;<=>?@[", u"0-9:;<=>?@["},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(palette::normaliseHexCode(c.code), c.normalised);
    }
}

TEST(ColourCodes, ParsesDigitsAcrossTheBoundaryAt60) {
    struct DigitCase {
        std::u16string_view text;
        std::int32_t value;
    };
    const DigitCase cases[] = {
        {u"0", 0}, {u"9", 9}, {u":", 10}, {u";", 11}, {u"<", 12}, {u"=", 6}, {u"A", 10}, {u"F", 15},
        {u"G", 16}, {u"Z", 35}, {u" ", -16}, {u"-", -3}, {u"a", 42}, {u"", 0},
        {u"7FFFFFFF", 2147483647}, {u"80000000", -2147483647 - 1}, {u"FFFFFFFF", -1},
        {u"123456789", 0x23456789},  // the leading 1 is shifted out of 32 bits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(palette::parseHexNumber(c.text), c.value);
    }
}

TEST(ColourCodes, PackWrapsAt2Pow32) {
    EXPECT_EQ(palette::packRgb(0, 0, 0), 0);
    EXPECT_EQ(palette::packRgb(255, 255, 255), 16777215);
    EXPECT_EQ(palette::packRgb(4095, 0, 0), 4095);
    EXPECT_EQ(palette::packRgb(-255, 18, 51), 3346689);
    EXPECT_EQ(palette::packRgb(255, 255, 65535), -1);
    EXPECT_EQ(palette::packRgb(0, 0, 32768), -2147483647 - 1);  // 32768 * 65536 = 2^31
    EXPECT_EQ(palette::packRgb(0, 0, 65536), 0);                 // 2^32 wraps to 0
    EXPECT_EQ(palette::packRgb(-2147483647 - 1, -2147483647 - 1, -2147483647 - 1), -2147483647 - 1);
}

TEST(ColourCodes, SpellingsOfOneColourAgree) {
    const std::u16string_view spellings[] = {u"#ffaa33", u"FFAA33", u"ffaa33", u"FF#AA#33"};
    for (auto code : spellings) {
        EXPECT_EQ(palette::hexCodeToColour(code), 3386111);
        EXPECT_EQ(palette::hexCodeToRgbText(code), u"RGB(255, 170, 051)");
        EXPECT_EQ(palette::hexCodeToBgrHexText(code), u"$33AAFF");
    }
}

}  // namespace
