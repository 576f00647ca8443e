// APE tag reader (at the end, or before an ID3v1 trailer) on arbitrary bytes;
// see TagReaderFuzz.h.
#include "TagReaderFuzz.h"
#include "fileinfo/Ape.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzTagReader(&ReadApeTags, data, size);
    return 0;
}
