// Ogg reader (the comment packet of the first stream, across pages) on arbitrary
// bytes; see TagReaderFuzz.h.
#include "TagReaderFuzz.h"
#include "fileinfo/Ogg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzTagReader(&ReadOggTags, data, size);
    return 0;
}
