// ID3v2 reader on arbitrary bytes: no crash, no hang, no read outside the input,
// a bounded amount read, and values that keep the shape the reader promises.
#include <cstring>

#include "TagFuzz.h"
#include "fileinfo/Id3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        TCountingSource source(data, size);
        TId3v2Text text;
        const bool found = ReadId3v2Tag(source, text, &AsciiOnly);
        if (found) Check(size >= 10 && std::memcmp(data, "ID3", 3) == 0);
        else Check(text.Title.empty() && text.Genre.empty() && text.Year.empty());
        for (const std::string* s : {&text.Title, &text.Artist, &text.Album, &text.Comment, &text.Year, &text.Genre})
            CheckTrimmed(*s);
        // Each walk (two at most) reads a frame header or a frame once.
        Check(source.Delivered <= 2 * std::uint64_t(size) + 10);
    }
    for (bool prefer : {false, true}) {
        TCountingSource source(data, size);
        TMP3FileInfo info;
        info.SetTitle("file name");
        ReadMp3Tags(source, info, prefer, &AsciiOnly);
        Check(!info.Title().empty());
        CheckTrimmed(info.Artist());
        // Blocks of 4 KiB for the walks, the ID3v1 trailer once.
        Check(source.Delivered <= 4 * std::uint64_t(size) + 3 * 4096 + 128);
    }
    return 0;
}
