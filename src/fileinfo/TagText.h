#pragma once
// Text handling shared by the tag readers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Drops every leading and trailing byte 0-32 (blanks, NULs, other control bytes);
// inner bytes, NULs included, stay as they are.
std::string TrimTagText(std::string_view bytes);

// Turns UTF-16 text into the system's ANSI code page; a character the code page
// cannot show becomes "?". Injected so that the parsers stay portable.
using TUtf16ToAnsi = std::string (*)(std::u16string_view text);

// Of any one value a reader looks at this many bytes at most: far more than any
// title needs, and a lying size costs no more than this.
inline constexpr std::size_t kMaxTagValueBytes = 64 * 1024;

// Bad sequences become U+FFFD, which no ANSI code page shows: a "?".
std::u16string Utf8ToUtf16(const std::uint8_t* p, std::size_t n);

// Unpaired surrogates become U+FFFD as well.
void FixSurrogates(std::u16string& s);

// A UTF-8 value as trimmed ANSI text: up to its first NUL (what follows is a
// further value, or junk), a leading byte-order mark dropped, at most
// kMaxTagValueBytes of it. `cutShort` says the bytes are only the start of a
// longer value, so that a character cut in two is dropped rather than shown as "?".
std::string Utf8TagText(std::string_view utf8, TUtf16ToAnsi toAnsi, bool cutShort = false);

// The same for UTF-16 little-endian bytes (an odd last byte is ignored).
std::string Utf16LeTagText(std::string_view bytes, TUtf16ToAnsi toAnsi, bool cutShort = false);
