// RIFF INFO reader on arbitrary bytes: no crash, no read outside the input, no
// allocation beyond the input's size (the fuzz script sets a small malloc limit),
// and the buffered path gives the same record as the direct one.
#include <cstdlib>

#include "fileinfo/WaveForm.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
bool SameRecord(const TMP3FileInfo& a, const TMP3FileInfo& b) {
    for (int f = 0; f < kInfoFieldCount; ++f)
        if (a.Get(static_cast<TInfoField>(f)) != b.Get(static_cast<TInfoField>(f))) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMemorySource direct(data, size);
    TMP3FileInfo a;
    const bool foundA = ReadRiffInfoTag(direct, a);

    TMemorySource inner(data, size);
    TBufferedSource buffered(inner);
    TMP3FileInfo b;
    const bool foundB = ReadRiffInfoTag(buffered, b);
    Check(foundA == foundB && SameRecord(a, b));

    for (int f = static_cast<int>(TInfoField::Title); f < kInfoFieldCount; ++f) {
        const std::string_view s = a.Get(static_cast<TInfoField>(f));
        Check(s.size() + 20 <= size || s.empty());
        Check(s.find('\0') == std::string_view::npos);
        if (!s.empty()) Check(static_cast<unsigned char>(s.front()) > 32 && static_cast<unsigned char>(s.back()) > 32);
    }
    return 0;
}
