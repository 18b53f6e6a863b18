// SPDX-License-Identifier: MIT
// UTF-16 helpers shared by the list reader and the colour codes; not part of the library's interface.
#pragma once

#include <string>

namespace palette {

// Appends one code point, as a surrogate pair beyond U+FFFF.
inline void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

}  // namespace palette
