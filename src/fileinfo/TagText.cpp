#include "fileinfo/TagText.h"

#include <cstring>

#include "base/Utf.h"

namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string ToTrimmedText(std::u16string& text, const TTagTextCodec& codec) {
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    return text.empty() ? std::string() : TrimTagText(codec(text));
}
}  // namespace

std::string TrimTagText(std::string_view bytes) {
    std::size_t first = 0, last = bytes.size();
    while (first < last && IsTrimmed(bytes[first])) ++first;
    while (last > first && IsTrimmed(bytes[last - 1])) --last;
    return std::string(bytes.substr(first, last - first));
}

std::u16string Utf8ToUtf16(const std::uint8_t* p, std::size_t n) {
    return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(p), n));
}

std::string TTagTextCodec::operator()(std::u16string_view text) const {
    return FromUtf16 ? FromUtf16(text) : Utf16ToUtf8(text);
}

std::string CodePageTagText(std::string_view bytes, const TTagTextCodec& codec) {
    std::string text = TrimTagText(bytes);
    return text.empty() ? text : codec.CodePage(text);
}

void FixSurrogates(std::u16string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool high = s[i] >= 0xD800 && s[i] <= 0xDBFF;
        const bool low = s[i] >= 0xDC00 && s[i] <= 0xDFFF;
        if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) { ++i; continue; }
        if (high || low) s[i] = 0xFFFD;
    }
}

std::string Utf8TagText(std::string_view utf8, const TTagTextCodec& codec, bool cutShort) {
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
    return ToTrimmedText(text, codec);
}

std::string Utf16LeTagText(std::string_view bytes, const TTagTextCodec& codec, bool cutShort) {
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
    return ToTrimmedText(text, codec);
}
