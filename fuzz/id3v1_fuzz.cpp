// ID3v1 reader on arbitrary bytes: no crash, no read outside the input, and the
// values it stores keep the shape the reader promises.
#include <cstdlib>
#include <cstring>

#include "fileinfo/MpegAudio.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
void CheckTrimmed(std::string_view s, std::size_t maxLength) {
    Check(s.size() <= maxLength);
    if (!s.empty()) Check(static_cast<unsigned char>(s.front()) > 32 && static_cast<unsigned char>(s.back()) > 32);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMemorySource source(data, size);
    TMP3FileInfo info;
    const bool found = ReadId3v1Tag(source, info);
    if (!found) {
        Check(info.Title().empty() && info.Artist().empty() && info.Genre().empty() && info.Comment().empty());
        return 0;
    }
    Check(size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0);
    CheckTrimmed(info.Title(), 30);
    CheckTrimmed(info.Artist(), 30);
    CheckTrimmed(info.Album(), 30);
    CheckTrimmed(info.Year(), 4);
    CheckTrimmed(info.Comment(), 30);
    Check(info.Genre().empty() == (data[size - 1] >= kGenreCount));
    return 0;
}
