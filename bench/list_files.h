// SPDX-License-Identifier: MIT
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace bench {

// A list file of `palettes` palettes: palette k is "Name"k = "Palette "k and "HexString"k = five
// random six-digit codes, about 81 bytes a palette at a million. A comment opens the file and a
// group with one more palette closes it, so every reader meets both rules. Every line ends with
// `lineEnd`; with a byte-order mark the file is UTF-8 and every name holds an "é", otherwise it is
// all ASCII. The same codes on every machine.
inline void writeListFile(const std::filesystem::path& path, std::size_t palettes, char lineEnd = '\n',
                          bool byteOrderMark = false) {
    const char eol = lineEnd;
    std::string text;
    text.reserve(palettes * 90 + 256);
    if (byteOrderMark) text += "\xEF\xBB\xBF";
    text += "; Generated for the benchmarks";
    text += eol;
    std::uint64_t state = 0x9E3779B97F4A7C15u + palettes;
    char number[24];
    for (std::size_t k = 1; k <= palettes; ++k) {
        const auto digits = std::string_view(number, std::to_chars(number, number + sizeof number, k).ptr - number);
        text += "Name";
        text += digits;
        text += byteOrderMark ? " = Palette \xC3\xA9 " : " = Palette ";
        text += digits;
        text += eol;
        text += "HexString";
        text += digits;
        text += " = ";
        for (int c = 0; c < 5; ++c) {
            // xorshift64*: cheap, and the same codes on every machine.
            state ^= state >> 12;
            state ^= state << 25;
            state ^= state >> 27;
            const std::uint32_t rgb = static_cast<std::uint32_t>((state * 0x2545F4914F6CDD1Du) >> 40);
            char code[7];
            std::snprintf(code, sizeof code, "%06X", static_cast<unsigned>(rgb));
            if (c > 0) text += ',';
            text += code;
        }
        text += eol;
    }
    text += "[Archive]";
    text += eol;
    text += "Name";
    text += std::to_string(palettes + 1);
    text += " = Not read";
    text += eol;
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace bench
