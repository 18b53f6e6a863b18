// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to ListFileReader as a list file and checks it against a plain model of the
// file rules: a reader built for speed (keys filed by number, a table that grows with the keys
// seen, a fast path for the whole list) must answer exactly what a slow line-by-line reading gives.
// Any difference aborts, and libFuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "palette/palette_list.h"

namespace {

using palette::PaletteEntry;
using palette::PaletteList;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string foldAscii(std::u16string s) {
    for (char16_t& c : s) c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    return s;
}

// Every findable key, ASCII letters folded, with the value of its first line: the rules read one
// line at a time, with none of the reader's shortcuts.
std::map<std::u16string, std::u16string> modelKeys(std::string_view bytes) {
    const bool utf8 = bytes.starts_with("\xEF\xBB\xBF");
    if (utf8) bytes.remove_prefix(3);
    const auto decode = [utf8](std::string_view s) { return utf8 ? palette::decodeUtf8(s) : palette::decodeLatin1(s); };
    std::map<std::u16string, std::u16string> keys;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        while (end < bytes.size() && !isLineEnd(bytes[end])) ++end;
        const std::string_view line = trimBlanks(bytes.substr(at, end - at));
        at = end;
        while (at < bytes.size() && isLineEnd(bytes[at])) ++at;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') break;
        const std::size_t eq = line.find('=');
        const std::string_view key = trimBlanks(line.substr(0, eq));
        const std::string_view value = eq == std::string_view::npos ? std::string_view() : trimBlanks(line.substr(eq + 1));
        keys.try_emplace(foldAscii(decode(key)), decode(value));
    }
    return keys;
}

std::u16string numberedKey(std::u16string_view word, std::uint64_t k) {
    const std::string digits = std::to_string(k);
    return std::u16string(word) + std::u16string(digits.begin(), digits.end());
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "list_file_fuzz: %s\n", what);
    std::abort();
}

// A value no file can hold: a lone low surrogate never comes out of either decoder.
constexpr std::u16string_view absent = u"\xDC00(absent)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    palette::ListFileReader reader;
    reader.openBytes(std::span<const char>(bytes.data(), bytes.size()));

    const auto model = modelKeys(bytes);
    for (const auto& [key, value] : model) {
        if (reader.readString(key, absent) != value) fail("readString differs from the model for a key of the file");
    }
    // Keys the file may or may not hold, spelled as a caller would.
    const std::u16string_view probes[] = {u"Name1", u"HEXSTRING1", u"", u"name0", u"Name01", u"Name18446744073709551615",
                                          u"Name999999999999999999", u"Name1000000000000000000", u"hexstring2 "};
    for (std::u16string_view key : probes) {
        const auto it = model.find(foldAscii(std::u16string(key)));
        const std::u16string expected = it != model.end() ? it->second : std::u16string(absent);
        if (reader.readString(key, absent) != expected) fail("readString differs from the model for a probe key");
    }

    // The loader's rule by look-ups alone, which is what takePalettes promises to equal.
    PaletteList byLookUps;
    const auto modelValue = [&model](const std::u16string& key) {
        const auto it = model.find(foldAscii(key));
        return it != model.end() ? it->second : std::u16string();
    };
    for (std::uint64_t k = 1;; ++k) {
        const std::u16string nameKey = numberedKey(u"Name", k), hexKey = numberedKey(u"HexString", k);
        PaletteEntry entry{reader.readString(nameKey, u""), reader.readString(hexKey, u"")};
        if (entry != PaletteEntry{modelValue(nameKey), modelValue(hexKey)}) fail("a palette differs from the model");
        if (entry.name.empty() && entry.hexString.empty()) break;
        byLookUps.push_back(std::move(entry));
    }
    if (reader.takePalettes() != byLookUps) fail("takePalettes differs from the look-ups");
    if (reader.readString(u"Name1", absent) != absent) fail("the reader still answers after takePalettes");
    return 0;
}
