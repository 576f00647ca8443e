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
    return a.Title == b.Title && a.Artist == b.Artist && a.Album == b.Album && a.Comment == b.Comment &&
           a.Genre == b.Genre && a.Year == b.Year && a.Copyright == b.Copyright && a.Engineer == b.Engineer &&
           a.Source == b.Source && a.Software == b.Software;
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

    for (const std::string* s : {&a.Title, &a.Artist, &a.Album, &a.Comment, &a.Genre, &a.Year, &a.Copyright,
                                 &a.Engineer, &a.Source, &a.Software}) {
        Check(s->size() + 20 <= size || s->empty());
        Check(s->find('\0') == std::string::npos);
        if (!s->empty())
            Check(static_cast<unsigned char>(s->front()) > 32 && static_cast<unsigned char>(s->back()) > 32);
    }
    return 0;
}
