#include "fileinfo/TagReaders.h"

#include "fileinfo/FileSource_win.h"
#include "fileinfo/SongLength.h"
#include "fileinfo/TagText_win.h"

bool ReadTagsOfOpenFile(HANDLE file, const TTagReaderEntry& reader, TMP3FileInfo& info, bool preferId3v2,
                        bool readLength) {
    if (!file || file == INVALID_HANDLE_VALUE) return false;
    TWinFileSource source(file);
    TTagReadOptions options;
    options.Text = RecordTextCodec();
    options.PreferId3v2 = preferId3v2;
    const bool found = reader.Read(source, info, options);
    if (readLength) info.SongLength = ReadSongLength(source, reader.Kind);
    return found;
}

bool ReadTagsOfFile(const std::string& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2) {
    return ReadTagsOfOpenFile(OpenForSharedRead(fileName).get(), reader, info, preferId3v2);
}

bool ReadTagsOfFile(const std::wstring& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2) {
    return ReadTagsOfOpenFile(OpenForSharedRead(fileName).get(), reader, info, preferId3v2);
}
