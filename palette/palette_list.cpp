// SPDX-License-Identifier: MIT
#include "palette/palette_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "palette/utf16.h"

namespace palette {
namespace {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

template <typename Char>
constexpr Char foldAscii(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c + ('a' - 'A')) : c;
}

struct NumberedKey {
    unsigned char field = 0;  // 1: "Name", 2: "HexString", 0: not a palette key
    std::uint64_t number = 0;
};

// Recognises "Name"k and "HexString"k, letters in any case, k in plain decimal without sign,
// blanks or leading zeros. Works on bytes and on UTF-16 alike: both spell these keys in ASCII.
template <typename Char>
NumberedKey classifyKey(std::basic_string_view<Char> key) {
    constexpr std::string_view words[2] = {"name", "hexstring"};
    for (unsigned char field = 1; field <= 2; ++field) {
        const std::string_view word = words[field - 1];
        if (key.size() <= word.size()) continue;
        bool match = true;
        for (std::size_t i = 0; i < word.size() && match; ++i) match = foldAscii(key[i]) == Char(word[i]);
        if (!match) continue;
        const auto digits = key.substr(word.size());
        // Up to 18 digits are filed by number; a longer number is an ordinary key.
        if (digits[0] < '1' || digits[0] > '9' || digits.size() > 18) return {};
        std::uint64_t k = 0;
        for (Char c : digits) {
            if (c < '0' || c > '9') return {};
            k = k * 10 + static_cast<std::uint64_t>(c - '0');
        }
        return {field, k};
    }
    return {};
}

template <typename Char>
std::u16string foldedKey(std::basic_string_view<Char> key) {
    std::u16string folded(key.begin(), key.end());
    for (auto& c : folded) c = foldAscii(c);
    return folded;
}

// Built in one pass at its exact size: a million-palette list makes two million of these, and
// zero-filling each one first is measurable.
std::u16string latin1Text(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return std::u16string(p, p + bytes.size());
}

// No branch per byte, so that the compiler can test many bytes at once.
bool isAscii(std::string_view bytes) {
    unsigned char seen = 0;
    for (char c : bytes) seen |= static_cast<unsigned char>(c);
    return seen < 0x80;
}

void appendUtf8(std::u16string& out, std::string_view bytes) {
    out.reserve(out.size() + bytes.size());  // never more units than bytes
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned b = *p;
        if (b < 0x80) {
            out.push_back(static_cast<char16_t>(b));
            ++p;
            continue;
        }
        // Length and the allowed range of the second byte, as in Unicode's table of well-formed
        // UTF-8; the third and fourth bytes are always 80..BF.
        int length = 0;
        unsigned lo = 0x80, hi = 0xBF;
        char32_t cp = 0;
        if (b >= 0xC2 && b <= 0xDF) { length = 2; cp = b & 0x1F; }
        else if (b == 0xE0) { length = 3; cp = b & 0x0F; lo = 0xA0; }
        else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF) { length = 3; cp = b & 0x0F; }
        else if (b == 0xED) { length = 3; cp = b & 0x0F; hi = 0x9F; }
        else if (b == 0xF0) { length = 4; cp = b & 0x07; lo = 0x90; }
        else if (b >= 0xF1 && b <= 0xF3) { length = 4; cp = b & 0x07; }
        else if (b == 0xF4) { length = 4; cp = b & 0x07; hi = 0x8F; }
        ++p;
        bool complete = length != 0;
        for (int i = 1; i < length; ++i) {
            if (p == end || *p < lo || *p > hi) { complete = false; break; }
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
            lo = 0x80;
            hi = 0xBF;
        }
        // Incomplete, the bytes taken so far are one maximal ill-formed subsequence; the byte that
        // broke it is decoded afresh.
        appendCodePoint(out, complete ? cp : U'\uFFFD');
    }
}

std::u16string decodedText(std::string_view bytes, bool utf8) {
    // ASCII reads the same in both encodings, and most values of a UTF-8 file are ASCII.
    if (!utf8 || isAscii(bytes)) return latin1Text(bytes);
    std::u16string out;
    appendUtf8(out, bytes);
    return out;
}

bool startsWithByteOrderMark(std::span<const char> bytes) {
    return bytes.size() >= 3 && std::memcmp(bytes.data(), "\xEF\xBB\xBF", 3) == 0;
}

std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Closes a file descriptor when it goes out of scope.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() { if (fd >= 0) ::close(fd); }
};

}  // namespace

std::u16string decodeUtf8(std::string_view bytes) {
    std::u16string out;
    appendUtf8(out, bytes);
    return out;
}

std::u16string decodeLatin1(std::string_view bytes) {
    return latin1Text(bytes);
}

// Files the lines of data that are complete; at the end of the file the last line is complete
// without its line end. Returns how many bytes were used, and sets stop at the first group line.
std::size_t ListFileReader::indexLines(std::span<const char> data, bool atEnd, bool utf8, bool& stop) {
    const char* p = data.data();
    const char* const end = p + data.size();
    // The next CR and the next LF, each searched once and reused until passed, so that files with
    // only one kind of line end stay linear.
    const char* nextLf = nullptr;
    const char* nextCr = nullptr;
    while (p < end) {
        if (nextLf < p) nextLf = static_cast<const char*>(std::memchr(p, '\n', end - p)), nextLf = nextLf ? nextLf : end;
        if (nextCr < p) nextCr = static_cast<const char*>(std::memchr(p, '\r', end - p)), nextCr = nextCr ? nextCr : end;
        const char* eol = std::min(nextLf, nextCr);
        if (eol == end && !atEnd) break;  // the line goes on in the next read

        std::string_view line(p, eol - p);
        while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
        if (!line.empty()) {
            if (line.front() == '[') {
                stop = true;  // nothing after the first group line can be found
                return data.size();
            }
            if (line.front() != ';') {
                const std::size_t eq = line.find('=');
                if (eq == std::string_view::npos) {
                    addKeyLine(trimTrailingBlanks(line), {}, utf8);
                } else {
                    std::string_view value = line.substr(eq + 1);
                    while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
                    addKeyLine(trimTrailingBlanks(line.substr(0, eq)), trimTrailingBlanks(value), utf8);
                }
            }
        }
        p = eol;
        while (p < end && isLineEnd(*p)) ++p;
    }
    return static_cast<std::size_t>(p - data.data());
}

void ListFileReader::addKeyLine(std::string_view key, std::string_view value, bool utf8) {
    const NumberedKey numberedKey = classifyKey(key);
    if (numberedKey.field == 0) {
        const std::u16string decodedKey = decodedText(key, utf8);
        auto [it, inserted] = others_.try_emplace(foldedKey(std::u16string_view(decodedKey)));
        if (inserted) it->second = decodedText(value, utf8);
        return;
    }
    ++numberedLines_;
    const std::uint64_t k = numberedKey.number;
    // The table grows with the keys actually seen, so that one line with a huge number cannot make
    // it huge; keys beyond its reach wait in numberedSparse_, which is looked at first because its
    // lines always come earlier than any line filed in the table for the same key.
    if (k > numbered_.size()) {
        if (k > 2 * numberedLines_ + 1024) {
            auto [it, inserted] = numberedSparse_.try_emplace(k * 2 + (numberedKey.field - 1));
            if (inserted) it->second = decodedText(value, utf8);
            return;
        }
        if (k == numbered_.size() + 1) {  // the usual case: the next number, one slot more
            numbered_.emplace_back();
            present_.push_back(0);
        } else {
            numbered_.resize(k);
            present_.resize(k);
        }
    }
    unsigned char& present = present_[k - 1];
    if (present & numberedKey.field) return;  // the first occurrence wins
    present |= numberedKey.field;
    PaletteEntry& entry = numbered_[k - 1];
    (numberedKey.field == NameField ? entry.name : entry.hexString) = decodedText(value, utf8);
}

void ListFileReader::reserveForWholeFile(std::size_t bytesRead, std::uint64_t fileSize) {
    // Growing the table by doubling moves every palette several times; the first piece of the
    // file tells how many bytes a palette takes, so the table can be sized once. A wrong guess
    // costs nothing but the doubling it was meant to spare. A palette takes at least 7 bytes.
    if (numbered_.empty() || bytesRead == 0) return;
    const double perPalette = static_cast<double>(bytesRead) / static_cast<double>(numbered_.size());
    const auto estimate = static_cast<std::uint64_t>(static_cast<double>(fileSize) / perPalette * 1.02) + 16;
    numbered_.reserve(static_cast<std::size_t>(std::min(estimate, fileSize / 7 + 16)));
    present_.reserve(numbered_.capacity());
}

const std::u16string* ListFileReader::findNumbered(Field field, std::uint64_t k) const {
    return const_cast<ListFileReader*>(this)->findNumbered(field, k);
}

std::u16string* ListFileReader::findNumbered(Field field, std::uint64_t k) {
    if (!numberedSparse_.empty()) {
        const auto it = numberedSparse_.find(k * 2 + (field - 1));
        if (it != numberedSparse_.end()) return &it->second;
    }
    if (k == 0 || k > numbered_.size() || !(present_[k - 1] & field)) return nullptr;
    PaletteEntry& entry = numbered_[k - 1];
    return field == NameField ? &entry.name : &entry.hexString;
}

bool ListFileReader::open(const std::filesystem::path& fileName) {
    close();
    // O_NONBLOCK keeps a FIFO from blocking the open; anything but a regular file is refused.
    const FileDescriptor file{::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) return false;
    struct stat status {};
    if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) return false;

    // Read in pieces and file each complete line at once, so the whole file is never held twice.
    constexpr std::size_t pieceSize = std::size_t{1} << 20;
    try {
        std::unique_ptr<char[]> buffer;
        std::size_t capacity = 0, filled = 0, used = 0;
        bool started = false, utf8 = false, stop = false, reserved = false;
        for (;;) {
            if (capacity - filled < pieceSize) {
                if (used > 0) {  // drop the filed lines, keep the unfinished one
                    std::memmove(buffer.get(), buffer.get() + used, filled - used);
                    filled -= used;
                    used = 0;
                }
                if (capacity - filled < pieceSize) {
                    const std::size_t grown = std::max(capacity * 2, filled + pieceSize);
                    auto bigger = std::make_unique_for_overwrite<char[]>(grown);
                    if (filled > 0) std::memcpy(bigger.get(), buffer.get(), filled);
                    buffer = std::move(bigger);
                    capacity = grown;
                }
            }
            const ssize_t n = ::read(file.fd, buffer.get() + filled, capacity - filled);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                close();  // contents that cannot be read count as an empty file
                return true;
            }
            filled += static_cast<std::size_t>(n);
            const bool atEnd = n == 0;
            if (!started) {
                if (filled < 3 && !atEnd) continue;
                started = true;
                utf8 = startsWithByteOrderMark({buffer.get(), filled});
                used = utf8 ? 3 : 0;
            }
            used += indexLines(std::span<const char>(buffer.get() + used, filled - used), atEnd, utf8, stop);
            if (stop || atEnd) return true;
            if (!reserved) {
                reserveForWholeFile(used, static_cast<std::uint64_t>(status.st_size));
                reserved = true;
            }
        }
    } catch (const std::bad_alloc&) {
        close();  // too large to hold: an empty file
        return true;
    }
}

void ListFileReader::openBytes(std::span<const char> bytes) {
    close();
    const bool utf8 = startsWithByteOrderMark(bytes);
    bool stop = false;
    indexLines(bytes.subspan(utf8 ? 3 : 0), /*atEnd=*/true, utf8, stop);
}

std::u16string ListFileReader::readString(std::u16string_view key, std::u16string_view defaultText) const {
    const NumberedKey numberedKey = classifyKey(key);
    if (numberedKey.field != 0) {
        const std::u16string* value = findNumbered(static_cast<Field>(numberedKey.field), numberedKey.number);
        return value ? *value : std::u16string(defaultText);
    }
    const auto it = others_.find(foldedKey(key));
    return it != others_.end() ? it->second : std::u16string(defaultText);
}

void ListFileReader::close() {
    numbered_ = {};
    present_ = {};
    numberedSparse_ = {};
    others_ = {};
    numberedLines_ = 0;
}

PaletteList ListFileReader::takePalettes() {
    PaletteList list;
    constexpr std::uint64_t maxCount = std::numeric_limits<std::int32_t>::max();
    if (numberedSparse_.empty()) {
        // Every palette key is in the table: the list is its first slots, up to the first number
        // with neither a name nor codes.
        std::size_t count = 0;
        while (count < numbered_.size() && count < maxCount &&
               !(numbered_[count].name.empty() && numbered_[count].hexString.empty()))
            ++count;
        numbered_.resize(count);
        list = std::move(numbered_);
    } else {
        for (std::uint64_t k = 1; k <= maxCount; ++k) {
            std::u16string* name = findNumbered(NameField, k);
            std::u16string* hex = findNumbered(HexField, k);
            const bool hasName = name && !name->empty();
            const bool hasHex = hex && !hex->empty();
            if (!hasName && !hasHex) break;
            list.push_back({hasName ? std::move(*name) : std::u16string(), hasHex ? std::move(*hex) : std::u16string()});
        }
    }
    close();
    return list;
}

std::optional<PaletteList> loadPaletteList(const std::filesystem::path& file) {
    ListFileReader reader;
    if (!reader.open(file)) return std::nullopt;
    return reader.takePalettes();
}

std::int32_t paletteCount(const PaletteList& list) {
    return static_cast<std::int32_t>(std::min<std::size_t>(list.size(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace palette
