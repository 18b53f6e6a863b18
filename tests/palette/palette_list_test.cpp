// SPDX-License-Identifier: MIT
#include "palette/palette_list.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

namespace {

using namespace std::string_view_literals;
using palette::ListFileReader;
using palette::PaletteEntry;
using palette::PaletteList;

PaletteList loadBytes(std::string_view bytes) {
    ListFileReader reader;
    reader.openBytes(bytes);
    return reader.takePalettes();
}

// The loader's rule spelled out with readString alone: ask "Name"k and "HexString"k for
// k = 1, 2, ... until both are empty. takePalettes must always give the same list.
PaletteList loadByLookUps(const ListFileReader& reader) {
    PaletteList list;
    for (int k = 1;; ++k) {
        const std::string digits = std::to_string(k);
        const std::u16string number(digits.begin(), digits.end());
        PaletteEntry entry{reader.readString(u"Name" + number, u""), reader.readString(u"HexString" + number, u"")};
        if (entry.name.empty() && entry.hexString.empty()) return list;
        list.push_back(std::move(entry));
    }
}

struct ListCase {
    const char* name;
    std::string_view file;
    PaletteList palettes;
};

const ListCase listCases[] = {
    {"TheExample",
     "; Palettes shown by the viewer\r\n"
     "Name1 = Autumn\r\n"
     "HexString1 = 8C3B1F,D9822B,F2C14E,6B7F3A,3E2A1E\r\n"
     "\r\n"
     "Name2 = Harbour\r\n"
     "HexString2 = #0B3C5D,#328CC1,#D9B310,#1D2731,#F4F4F4\r\n"
     "\r\n"
     "[Archive]\r\n"
     "Name3 = Not read\r\n"
     "HexString3 = 000000,000000,000000,000000,000000\r\n",
     {{u"Autumn", u"8C3B1F,D9822B,F2C14E,6B7F3A,3E2A1E"}, {u"Harbour", u"#0B3C5D,#328CC1,#D9B310,#1D2731,#F4F4F4"}}},
    {"OrderOfKeyNumbersNotLines", "Name2=B\nHexString2=2\nName1=A\nHexString1=1\n", {{u"A", u"1"}, {u"B", u"2"}}},
    {"StopsAtFirstGap", "Name1=A\nName2=B\nName4=D\n", {{u"A", u""}, {u"B", u""}}},
    {"OnlyKeysNumberedTwo", "Name2=B\nHexString2=2\n", {}},
    {"NameWithoutCodes", "Name1=Alone\n", {{u"Alone", u""}}},
    {"CodesWithoutName", "HexString1=FFAA33\n", {{u"", u"FFAA33"}}},
    {"BothEmptyEndsTheList", "Name1=\nHexString1=\nName2=B\nHexString2=2\n", {}},
    {"BlanksOnlyValueIsEmpty", "Name1 = \t \nHexString1=\t\nName2=B\n", {}},
    {"BlanksAroundKeyAndValue", " \t name1 \t= \t Autumn \t\r\n\tHEXSTRING1\t=\tFFAA33, 112233 \t\r\n",
     {{u"Autumn", u"FFAA33, 112233"}}},
    {"LeadingZeroIsNotAPaletteKey", "Name01=A\nHexString01=1\n", {}},
    {"BlankInsideKeyIsNotAPaletteKey", "Name 1=A\nHexString 1=1\n", {}},
    {"SignIsNotAPaletteKey", "Name+1=A\nName-1=B\n", {}},
    {"FirstOccurrenceWins", "Name1=First\nName1=Second\nHexString1=1\nHexString1=2\n", {{u"First", u"1"}}},
    {"StrayWordLf", "stray\nName1=A\nHexString1=1\n", {{u"A", u"1"}}},
    {"StrayWordCrLf", "stray\r\nName1=A\r\nHexString1=1\r\n", {{u"A", u"1"}}},
    {"StrayWordCr", "stray\rName1=A\rHexString1=1\r", {{u"A", u"1"}}},
    {"MixedLineEndsAndEmptyLines", "\r\n\r\rName1=A\n\n\r\nHexString1=1\r\r\r", {{u"A", u"1"}}},
    {"KeyWithoutEqualsHasEmptyValue", "Name1\nHexString1=FFAA33\nName1=Later\n", {{u"", u"FFAA33"}}},
    {"KeyWithoutEqualsTrailingBlanks", "Name1 \t\nName2=B\n", {}},
    {"CommentLineEvenBeforeAKey", ";Name1=Hidden\n  ; Name1=Hidden too\nName1=Shown\n", {{u"Shown", u""}}},
    {"PunctuationInsideValues", "Name1=Red; Blue = [x] #1\nHexString1==FF\n", {{u"Red; Blue = [x] #1", u"=FF"}}},
    {"GroupBeforeAllKeys", "[Palettes]\nName1=A\nHexString1=1\n", {}},
    {"IndentedGroupEndsTheList", "Name1=A\n  [Later\nName2=B\n", {{u"A", u""}}},
    {"SemicolonAfterBlanksInsideKeyLine", "Name1 ;=x\nName1=A\n", {{u"A", u""}}},
    {"EmptyFile", "", {}},
    {"OnlyByteOrderMark", "\xEF\xBB\xBF", {}},
    {"ByteOrderMarkThenUtf8", "\xEF\xBB\xBFName1=Caf\xC3\xA9\n", {{u"Caf\u00E9", u""}}},
    {"Utf8BytesWithoutMarkReadAsLatin1", "Name1=Caf\xC3\xA9\n", {{u"Caf\u00C3\u00A9", u""}}},
    {"Latin1", "Name1=Caf\xE9\n", {{u"Caf\u00E9", u""}}},
    {"MarkOnlyCountsAtTheStart", "Name1=A\xEF\xBB\xBF\n", {{u"A\u00EF\u00BB\u00BF", u""}}},
    {"MarkOnSecondLineIsPartOfTheKey", "\n\xEF\xBB\xBFName1=A\n", {}},
    {"Utf16IsNotRead", "\xFF\xFEN\0a\0m\0e\0" "1\0=\0X\0\n\0"sv, {}},
    {"NulBytesAreCharacters", "Name1=A\0B\nHexString1=\0\n"sv,
     {{std::u16string(u"A\0B", 3), std::u16string(u"\0", 1)}}},
    {"KeysWithSmallAndCapitalLetters", "nAmE1=a\nhExStRiNg1=b\n", {{u"a", u"b"}}},
    {"NonAsciiLettersAreNotFolded", "N\xC1ME1=a\n", {}},
    {"LastLineWithoutLineEnd", "Name1=A\nHexString1=1", {{u"A", u"1"}}},
};

TEST(PaletteList, LoadsEachFile) {
    for (const auto& c : listCases) {
        SCOPED_TRACE(c.name);
        ListFileReader reader;
        reader.openBytes(c.file);
        EXPECT_EQ(loadByLookUps(reader), c.palettes);
        EXPECT_EQ(reader.takePalettes(), c.palettes);
    }
}

TEST(PaletteList, DecodesMalformedUtf8OneReplacementPerMaximalSubpart) {
    struct Utf8Case {
        const char* name;
        std::string_view bytes;
        std::u16string_view text;
    };
    const Utf8Case cases[] = {
        // Unicode's own example of maximal subparts.
        {"UnicodeExample", "a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d", u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
        {"CutAtTheEnd", "Caf\xC3", u"Caf\uFFFD"},
        {"CutBeforeAscii", "\xE2\x82x", u"\uFFFDx"},
        {"Overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"OverlongThreeBytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"Surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"AboveUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"LeadBytesNeverValid", "\xF5\xFF\xFE", u"\uFFFD\uFFFD\uFFFD"},
        {"FourByteCharacter", "\xF0\x9F\x8E\xA8", u"\U0001F3A8"},
        {"LastCharacters", "\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\uFFFF\U0010FFFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(palette::decodeUtf8(c.bytes), c.text);
        const std::string file = "\xEF\xBB\xBFName1=" + std::string(c.bytes) + "\n";
        EXPECT_EQ(loadBytes(file), (PaletteList{{std::u16string(c.text), u""}}));
    }
}

TEST(PaletteList, ReadStringFindsAnyKeyBeforeTheFirstGroup) {
    ListFileReader reader;
    reader.openBytes(
        "Version = 3\n"
        "= no key\n"
        "KEY = first\n"
        "key = second\n"
        "\xC9t\xE9=Latin\n"
        "Name5000000000 = far\n"
        "Name1234567890123456789 = longer than a number\n"
        "[Group]\n"
        "After = never\n");
    struct LookUp {
        std::u16string_view key;
        std::u16string_view value;
    };
    const LookUp lookUps[] = {
        {u"Version", u"3"},       {u"VERSION", u"3"},
        {u"", u"no key"},         {u"key", u"first"},
        {u"\u00C9t\u00E9", u"Latin"}, {u"\u00E9t\u00E9", u"(default)"},  // only ASCII letters fold
        {u"After", u"(default)"}, {u"Group", u"(default)"},
        {u"name5000000000", u"far"}, {u"NAME1234567890123456789", u"longer than a number"},
        {u"Version ", u"(default)"},
    };
    for (const auto& l : lookUps) {
        EXPECT_EQ(reader.readString(l.key, u"(default)"), l.value);
    }
}

TEST(PaletteList, KeysFarBeyondTheCountStillFollowTheRules) {
    // Keys with large numbers first, then the same keys again once the numbers in between exist:
    // the earlier line must still win, and the list must not depend on the order of the lines.
    std::string file = "Name3000=first\nName9000000000=lonely\n";
    for (int k = 2999; k >= 1; --k) file += "Name" + std::to_string(k) + "=P" + std::to_string(k) + "\n";
    file += "Name3000=second\nName3001=next\n";
    ListFileReader reader;
    reader.openBytes(file);
    EXPECT_EQ(reader.readString(u"Name3000", u""), u"first");
    EXPECT_EQ(reader.readString(u"Name9000000000", u""), u"lonely");
    const PaletteList byLookUps = loadByLookUps(reader);
    const PaletteList taken = reader.takePalettes();
    ASSERT_EQ(taken.size(), 3001u);
    EXPECT_EQ(taken[0].name, u"P1");
    EXPECT_EQ(taken[2999].name, u"first");
    EXPECT_EQ(taken[3000].name, u"next");
    EXPECT_EQ(taken, byLookUps);
}

TEST(PaletteList, ReverseOrderedLongListLoadsWhole) {
    std::string file;
    for (int k = 20000; k >= 1; --k) {
        file += "HexString" + std::to_string(k) + "=" + std::to_string(k) + "\nName" + std::to_string(k) + "=n\n";
    }
    const PaletteList list = loadBytes(file);
    ASSERT_EQ(list.size(), 20000u);
    EXPECT_EQ(list.front().hexString, u"1");
    EXPECT_EQ(list.back().hexString, u"20000");
}

TEST(PaletteList, HostileFilesLoadSafely) {
    // One line of 200 MB: a single value, nothing more.
    {
        std::string file = "Name1=";
        file.append(200u << 20, 'x');
        const PaletteList list = loadBytes(file);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].name.size(), 200u << 20);
    }
    // Ten million empty lines vanish.
    {
        std::string file(10'000'000, '\n');
        file += "Name1=A";
        EXPECT_EQ(loadBytes(file), (PaletteList{{u"A", u""}}));
    }
    // Binary garbage: no palette, no crash.
    {
        std::string file;
        std::uint32_t x = 12345;
        for (int i = 0; i < 1'000'000; ++i) {
            x = x * 1103515245u + 12345u;
            file += static_cast<char>(x >> 24);
        }
        ListFileReader reader;
        reader.openBytes(file);
        EXPECT_EQ(reader.takePalettes(), loadByLookUps(reader));
    }
}

// The file-opening path, with real files in a temporary folder.
class PaletteListFile : public ::testing::Test {
protected:
    // Loads `bytes` through a list file, checking that reading the file in pieces gives what
    // reading the same bytes whole does.
    PaletteList loadThroughFile(const std::string& bytes) {
        const auto list = palette::loadPaletteList(dir.write("Chromabox.ini", bytes));
        EXPECT_TRUE(list.has_value());
        if (!list) return {};
        EXPECT_EQ(*list, loadBytes(bytes));
        return *list;
    }

    TempDir dir;
};

TEST_F(PaletteListFile, MissingFileCannotBeOpened) {
    EXPECT_EQ(palette::loadPaletteList(dir.path() / "Chromabox.ini"), std::nullopt);
}

TEST_F(PaletteListFile, FolderCannotBeOpened) {
    std::filesystem::create_directory(dir.path() / "Chromabox.ini");
    EXPECT_EQ(palette::loadPaletteList(dir.path() / "Chromabox.ini"), std::nullopt);
}

TEST_F(PaletteListFile, FifoCannotBeOpenedAndDoesNotBlock) {
    const auto fifo = dir.path() / "Chromabox.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(palette::loadPaletteList(fifo), std::nullopt);
}

TEST_F(PaletteListFile, DeviceCannotBeOpened) {
    EXPECT_EQ(palette::loadPaletteList("/dev/zero"), std::nullopt);
}

TEST_F(PaletteListFile, UnreadableFileCannotBeOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files of any mode";
    const auto file = dir.write("Chromabox.ini", "Name1=A\n");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_EQ(palette::loadPaletteList(file), std::nullopt);
}

TEST_F(PaletteListFile, EmptyFileGivesAnEmptyList) {
    const auto file = dir.write("Chromabox.ini", "");
    EXPECT_EQ(palette::loadPaletteList(file), PaletteList{});
}

TEST_F(PaletteListFile, WriteProtectedFileLoadsAndStaysUntouched) {
    std::ifstream source(CHROMABOX_TEST_DATA "/example.ini", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(source), {}};
    const auto file = dir.write("Chromabox.ini", bytes);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    const auto past = std::filesystem::last_write_time(file) - std::chrono::hours(24);
    std::filesystem::last_write_time(file, past);

    const auto list = palette::loadPaletteList(file);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, (PaletteList{{u"Autumn", u"8C3B1F,D9822B,F2C14E,6B7F3A,3E2A1E"},
                                  {u"Harbour", u"#0B3C5D,#328CC1,#D9B310,#1D2731,#F4F4F4"}}));

    std::ifstream after(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(file), past);
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
}

TEST_F(PaletteListFile, LongFileReadInPiecesMatchesReadingItWhole) {
    // Lines cross the reader's piece boundaries at every offset; CR-only line ends make the
    // piece ends fall between the key and its value.
    std::string bytes = "\xEF\xBB\xBF";
    for (int k = 1; k <= 60000; ++k) {
        bytes += "Name" + std::to_string(k) + " = Palette \xC3\xA9 " + std::to_string(k) + "\r";
        bytes += "HexString" + std::to_string(k) + " = " + std::to_string(k * 7) + ",ABCDEF\r";
    }
    const PaletteList list = loadThroughFile(bytes);
    ASSERT_EQ(list.size(), 60000u);
    EXPECT_EQ(list.back().name, u"Palette \u00E9 60000");
    EXPECT_EQ(palette::paletteCount(list), 60000);
}

TEST_F(PaletteListFile, LinesLongerThanAPieceReadWhole) {
    // A value of several pieces, with two-byte letters straddling every power-of-two offset, and
    // a short line after it that must not be lost at the join.
    std::string value(5u << 20, 'x');
    for (std::size_t at = 1; at + 1 < value.size(); at *= 2) value.replace(at - 1, 2, "\xC3\xA9");
    const std::string bytes = "\xEF\xBB\xBFName1=" + value + "\nHexString1=FFAA33\n";
    const PaletteList list = loadThroughFile(bytes);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front().hexString, u"FFAA33");
}

}  // namespace
