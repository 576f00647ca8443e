#include "base/Utf.h"

namespace {
void AppendUtf16(std::u16string& out, std::uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(char16_t(cp));
    }
}

void AppendCodePoint(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
        return;
    }
    if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
    } else {
        out.push_back(char(0xF0 | c >> 18));
        out.push_back(char(0x80 | (c >> 12 & 0x3F)));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
    }
    out.push_back(char(0x80 | (c & 0x3F)));
}
}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const std::size_t n = utf8.size();
    std::u16string out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t c = p[i];
        int extra;
        std::uint32_t cp, min;
        if (c < 0x80) { out.push_back(c); ++i; continue; }
        if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; min = 0x80; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; min = 0x800; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; min = 0x10000; }
        else { out.push_back(0xFFFD); ++i; continue; }
        int k = 1;
        for (; k <= extra && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k) cp = cp << 6 | (p[i + k] & 0x3F);
        if (k <= extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            i += std::size_t(k);  // the lead byte and the continuation bytes it took
            continue;
        }
        AppendUtf16(out, cp);
        i += std::size_t(extra) + 1;
    }
    return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        AppendCodePoint(out, c);
    }
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t n = maxBytes;
    // Back over continuation bytes to the start of the character that crosses the limit.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}
