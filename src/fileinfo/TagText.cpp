#include "fileinfo/TagText.h"

#include <cstring>

namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

void AppendUtf16(std::u16string& out, std::uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(char16_t(cp));
    }
}

std::string ToTrimmedAnsi(std::u16string& text, TUtf16ToAnsi toAnsi) {
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    return text.empty() ? std::string() : TrimTagText(toAnsi(text));
}
}  // namespace

std::string TrimTagText(std::string_view bytes) {
    std::size_t first = 0, last = bytes.size();
    while (first < last && IsTrimmed(bytes[first])) ++first;
    while (last > first && IsTrimmed(bytes[last - 1])) --last;
    return std::string(bytes.substr(first, last - first));
}

std::u16string Utf8ToUtf16(const std::uint8_t* p, std::size_t n) {
    std::u16string out;
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

void FixSurrogates(std::u16string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool high = s[i] >= 0xD800 && s[i] <= 0xDBFF;
        const bool low = s[i] >= 0xDC00 && s[i] <= 0xDFFF;
        if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) { ++i; continue; }
        if (high || low) s[i] = 0xFFFD;
    }
}

std::string Utf8TagText(std::string_view utf8, TUtf16ToAnsi toAnsi, bool cutShort) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(utf8.data());
    std::size_t n = utf8.size();
    if (n == 0) return {};
    if (n > kMaxTagValueBytes) {
        n = kMaxTagValueBytes;
        cutShort = true;
    }
    if (const void* nul = std::memchr(p, 0, n)) {
        n = std::size_t(static_cast<const std::uint8_t*>(nul) - p);
        cutShort = false;
    }
    if (cutShort) {
        // Back to the lead byte of the last character; keep it only when complete.
        std::size_t lead = n;
        while (lead > 0 && n - lead < 3 && (p[lead - 1] & 0xC0) == 0x80) --lead;
        if (lead > 0 && p[lead - 1] >= 0xC0) {
            const std::uint8_t c = p[lead - 1];
            const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            if (n - (lead - 1) < length) n = lead - 1;
        }
    }
    std::u16string text = Utf8ToUtf16(p, n);
    return ToTrimmedAnsi(text, toAnsi);
}

std::string Utf16LeTagText(std::string_view bytes, TUtf16ToAnsi toAnsi, bool cutShort) {
    std::size_t n = bytes.size();
    if (n > kMaxTagValueBytes) {
        n = kMaxTagValueBytes;
        cutShort = true;
    }
    std::u16string text;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        const char16_t c = char16_t(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8);
        if (c == 0) {
            cutShort = false;
            break;
        }
        text.push_back(c);
    }
    if (cutShort && !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
    FixSurrogates(text);
    return ToTrimmedAnsi(text, toAnsi);
}
