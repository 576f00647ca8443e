// MP4 reader on arbitrary bytes: no crash, no hang, no read outside the input,
// no allocation from a size the input merely claims (the fuzz script sets a
// small malloc limit), a bounded amount read, values trimmed and never empty
// over a preset field.
#include "TagFuzz.h"
#include "fileinfo/Mp4Tags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TCountingSource source(data, size);
    TMP3FileInfo info;
    info.SetTitle("file name");
    TTagReadOptions options;
    options.Text = &AsciiOnly;
    const bool found = ReadMp4Tags(source, info, options);
    Check(!found || size >= 16);
    CheckRecord(info);
    // Blocks of 4 KiB for the headers, each value once.
    Check(source.Delivered <= 4 * std::uint64_t(size) + 4 * 4096);
    return 0;
}
