// FLAC reader (VORBIS_COMMENT block) on arbitrary bytes; see TagReaderFuzz.h.
#include "TagReaderFuzz.h"
#include "fileinfo/Flac.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzTagReader(&ReadFlacTags, data, size);
    return 0;
}
