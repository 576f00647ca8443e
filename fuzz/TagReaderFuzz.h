#pragma once
// What a reader of the tag-reader table must keep on arbitrary bytes, besides
// TagFuzz.h's rules: the record untouched when no tag was found, values no
// longer than the input or the 64 KiB cap, and a bounded amount read.
#include "TagFuzz.h"
#include "fileinfo/TagReaders.h"

inline void FuzzTagReader(TTagReadFunction read, const std::uint8_t* data, std::size_t size) {
    TCountingSource source(data, size);
    TMP3FileInfo info;
    info.SetTitle("file name");
    TTagReadOptions options;
    options.Text = &AsciiOnly;
    const bool found = read(source, info, options);
    CheckRecord(info);
    if (!found) Check(info.Title() == "file name");
    for (int f = int(TInfoField::Artist); f < kInfoFieldCount; ++f) {
        const std::string_view s = info.Get(TInfoField(f));
        if (!found) Check(s.empty());
        Check(s.size() <= size && s.size() <= kMaxTagValueBytes);
    }
    // Forward walks through 4 KiB blocks, a few direct reads at the end.
    Check(source.Delivered <= 2 * std::uint64_t(size) + 3 * 4096);
}
