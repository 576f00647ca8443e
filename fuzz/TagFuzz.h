#pragma once
// What the tag readers' fuzz targets share: the abort that marks a finding, a
// one-byte "code page", the unit tests' source that counts what it delivered,
// and the shape every value of the record must keep.
#include <cstdlib>
#include <string>
#include <string_view>

#include "../tests/unit/TagTestSources.h"
#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"

inline void Check(bool ok) {
    if (!ok) std::abort();
}

// ASCII as it is, everything else "?".
inline std::string AsciiOnly(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

inline void CheckTrimmed(std::string_view s) {
    if (!s.empty()) Check(static_cast<unsigned char>(s.front()) > 32 && static_cast<unsigned char>(s.back()) > 32);
}

// A preset title is never emptied; every tag field is trimmed.
inline void CheckRecord(const TMP3FileInfo& info) {
    Check(!info.Title().empty());
    for (int f = static_cast<int>(TInfoField::Title); f < kInfoFieldCount; ++f)
        CheckTrimmed(info.Get(static_cast<TInfoField>(f)));
}
