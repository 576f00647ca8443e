#pragma once
// Text handling shared by the tag readers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Drops every leading and trailing byte 0-32 (blanks, NULs, other control bytes);
// inner bytes, NULs included, stay as they are.
std::string TrimTagText(std::string_view bytes);

// How tag text becomes a record's text, injected so that the parsers stay
// portable: Unicode text (UTF-8 and UTF-16 tags) through FromUtf16; the 8-bit
// text of the system's code page (ID3v1, ID3v2 text not declared Unicode,
// APEv1, RIFF INFO) through FromCodePage, or as it is when that is unset. The
// player gives UTF-8 for both.
using TUtf16ToText = std::string (*)(std::u16string_view text);
using TCodePageToText = std::string (*)(std::string_view bytes);

struct TTagTextCodec {
    TTagTextCodec(TUtf16ToText fromUtf16 = nullptr,  // NOLINT(google-explicit-constructor)
                  TCodePageToText fromCodePage = nullptr)
        : FromUtf16(fromUtf16), FromCodePage(fromCodePage) {}
    // Without a converter Unicode text becomes UTF-8.
    std::string operator()(std::u16string_view text) const;
    std::string CodePage(std::string_view bytes) const {
        return FromCodePage ? FromCodePage(bytes) : std::string(bytes);
    }
    TUtf16ToText FromUtf16;
    TCodePageToText FromCodePage;
};

// Trimmed 8-bit text of the code page as the record's text.
std::string CodePageTagText(std::string_view bytes, const TTagTextCodec& codec);

// Of any one value a reader looks at this many bytes at most: far more than any
// title needs, and a lying size costs no more than this.
inline constexpr std::size_t kMaxTagValueBytes = 64 * 1024;

// Bad sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::uint8_t* p, std::size_t n);

// Unpaired surrogates become U+FFFD as well.
void FixSurrogates(std::u16string& s);

// A UTF-8 value as trimmed record text: up to its first NUL (what follows is a
// further value, or junk), a leading byte-order mark dropped, at most
// kMaxTagValueBytes of it. `cutShort` says the bytes are only the start of a
// longer value, so that a character cut in two is dropped rather than shown as "?".
std::string Utf8TagText(std::string_view utf8, const TTagTextCodec& codec, bool cutShort = false);

// The same for UTF-16 little-endian bytes (an odd last byte is ignored).
std::string Utf16LeTagText(std::string_view bytes, const TTagTextCodec& codec, bool cutShort = false);
