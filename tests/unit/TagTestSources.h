#pragma once
// What the tag readers' unit tests share: a UTF-8 "code page", so that expected
// texts can be written plainly (U+FFFD shows as "?" as it does in every ANSI
// code page), and an in-memory source that counts what the reader asked for.
#include <cstdint>
#include <string>
#include <string_view>

#include "fileinfo/ByteSource.h"

inline std::string ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c == 0xFFFD) { out += '?'; continue; }
        if (c < 0x80) { out += char(c); continue; }
        if (c < 0x800) { out += char(0xC0 | c >> 6); }
        else if (c < 0x10000) { out += char(0xE0 | c >> 12); out += char(0x80 | (c >> 6 & 0x3F)); }
        else { out += char(0xF0 | c >> 18); out += char(0x80 | (c >> 12 & 0x3F)); out += char(0x80 | (c >> 6 & 0x3F)); }
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

class TCountingSource : public TMemorySource {
public:
    using TMemorySource::TMemorySource;
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override {
        const std::size_t got = TMemorySource::ReadAt(position, buffer, count);
        Delivered += got;
        return got;
    }
    std::uint64_t Delivered = 0;
};
