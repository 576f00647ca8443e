// Every song-length reader on arbitrary bytes: a length of -1 or more, and a
// bounded amount read (the frame search's window, the Ogg tail, a few headers).
#include "TagFuzz.h"
#include "fileinfo/SongLength.h"
#include "fileinfo/TagReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (TTagReader kind : {TTagReader::Id3v1, TTagReader::RiffInfo, TTagReader::Flac, TTagReader::Ogg,
                            TTagReader::Ape, TTagReader::Mp4, TTagReader::Asf}) {
        TCountingSource source(data, size);
        Check(ReadSongLength(source, kind) >= -1);
        Check(source.Delivered <= 8 * std::uint64_t(size) + 8 * 4096);
    }
    return 0;
}
