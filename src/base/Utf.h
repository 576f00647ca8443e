#pragma once
// UTF-8 and UTF-16 without the system: the records keep their texts in UTF-8,
// the windows and the tags speak UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Bad sequences (a stray continuation byte, a cut or overlong form, a surrogate
// encoded in UTF-8) become U+FFFD, one per bad stretch.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
void AppendUtf8(std::string& out, std::u16string_view text);

// The length of a prefix of text of at most maxBytes that ends on a character
// boundary (never inside a sequence).
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes);

inline bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
