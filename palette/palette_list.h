// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace palette {

// One palette, both texts exactly as the list file holds them; either may be empty, never both.
struct PaletteEntry {
    std::u16string name;
    std::u16string hexString;  // meant to be five codes separated by ","; never checked here
    bool operator==(const PaletteEntry&) const = default;
};

// Palette 1 first: entry k - 1 comes from the keys numbered k, whatever the order of the lines.
using PaletteList = std::vector<PaletteEntry>;

// The list file, looked for in the working directory and nowhere else.
inline constexpr const char* ListFileName = "Chromabox.ini";

// Holds the findable key lines of one list file in memory and answers key look-ups.
// It never writes the file and knows nothing of palettes beyond filing "Name"k and "HexString"k
// keys by their number, which is what makes loading a long list linear.
//
// File rules: an optional UTF-8 byte-order mark (otherwise every byte is its Latin-1 character);
// any run of CR and LF ends a line; blanks are space and tab; a line starting with ";" is a comment;
// the first line starting with "[" ends everything that can be found; any other line is a key, up
// to its first "=", with the value after it; keys compare ASCII letters without case and
// everything else exactly; the first occurrence of a key wins.
class ListFileReader {
public:
    // Opens the file read-only and reads it whole. False when it cannot be opened or is not a
    // regular file (a folder, a FIFO or a device: opening one never blocks). A file that opens but
    // cannot be read, or is too large to hold, counts as empty and still gives true.
    bool open(const std::filesystem::path& fileName);

    // Reads a list file that is already in memory, as open would after reading it.
    void openBytes(std::span<const char> bytes);

    // The value of key, or a copy of defaultText when no findable line has that key.
    std::u16string readString(std::u16string_view key, std::u16string_view defaultText) const;

    // Forgets everything read. Writes nothing.
    void close();

    // The palettes that loadPaletteList builds from this file (the same as asking readString for
    // "Name"k and "HexString"k with k = 1, 2, ... until both are empty), moved out in one go.
    // Leaves the reader closed.
    PaletteList takePalettes();

private:
    enum Field : unsigned char { NameField = 1, HexField = 2 };

    std::size_t indexLines(std::span<const char> data, bool atEnd, bool utf8, bool& stop);
    void addKeyLine(std::string_view key, std::string_view value, bool utf8);
    void reserveForWholeFile(std::size_t bytesRead, std::uint64_t fileSize);
    std::u16string* findNumbered(Field field, std::uint64_t k);
    const std::u16string* findNumbered(Field field, std::uint64_t k) const;

    // "Name"k and "HexString"k filed by k - 1; present_ holds the Field bits of the keys seen.
    std::vector<PaletteEntry> numbered_;
    std::vector<unsigned char> present_;
    std::uint64_t numberedLines_ = 0;
    // Palette keys whose number lay beyond the table's reach when their line was read,
    // filed by k * 2 + (field - 1).
    std::unordered_map<std::uint64_t, std::u16string> numberedSparse_;
    // Every other key, ASCII letters folded to small letters.
    std::unordered_map<std::u16string, std::u16string> others_;
};

// Reads the list file into a PaletteList. std::nullopt when the file cannot be opened; a file
// that opens but holds no palette gives an empty list.
std::optional<PaletteList> loadPaletteList(const std::filesystem::path& file = ListFileName);

// paletteCount: the number of palettes as the window counts them.
std::int32_t paletteCount(const PaletteList& list);

// Decodes UTF-8, replacing each maximal ill-formed subsequence by one U+FFFD.
std::u16string decodeUtf8(std::string_view bytes);

// Decodes ISO 8859-1: every byte is the character of the same code.
std::u16string decodeLatin1(std::string_view bytes);

}  // namespace palette
