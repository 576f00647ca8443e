#include "fileinfo/TagReaders.h"

#include "base/ProfileText.h"
#include "fileinfo/Ape.h"
#include "fileinfo/AsfTags.h"
#include "fileinfo/Flac.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/Mp4Tags.h"
#include "fileinfo/Ogg.h"
#include "fileinfo/WaveForm.h"

namespace {

// ID3v1 and, where it can still give something, ID3v2.
bool ReadMp3(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options) {
    return ReadMp3Tags(source, info, options.PreferId3v2, options.Text);
}

// The chunk walk reads many small headers: a block at a time.
bool ReadRiff(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options) {
    TBufferedSource buffered(source);
    return ReadRiffInfoTag(buffered, info, options.Text);
}

constexpr TTagReaderEntry kReaders[] = {
    {".mp3", TTagReader::Id3v1, &ReadMp3},
    {".rmp", TTagReader::RiffInfo, &ReadRiff},
    {".flac", TTagReader::Flac, &ReadFlacTags},
    {".ogg", TTagReader::Ogg, &ReadOggTags},
    {".oga", TTagReader::Ogg, &ReadOggTags},
    {".opus", TTagReader::Ogg, &ReadOggTags},
    {".spx", TTagReader::Ogg, &ReadOggTags},
    {".ape", TTagReader::Ape, &ReadApeTags},
    {".mpc", TTagReader::Ape, &ReadApeTags},
    {".wv", TTagReader::Ape, &ReadApeTags},
    {".m4a", TTagReader::Mp4, &ReadMp4Tags},
    {".m4b", TTagReader::Mp4, &ReadMp4Tags},
    {".mp4", TTagReader::Mp4, &ReadMp4Tags},
    {".wma", TTagReader::Asf, &ReadAsfTags},
    {".asf", TTagReader::Asf, &ReadAsfTags},
};

}  // namespace

const TTagReaderEntry* FindTagReader(std::string_view extension) {
    for (const TTagReaderEntry& r : kReaders)
        if (EqualsIgnoringAsciiCase(extension, r.Extension)) return &r;
    return nullptr;
}
