#include "fileinfo/TagReaders.h"

#include "fileinfo/FileSource_win.h"
#include "fileinfo/TagText_win.h"

bool ReadTagsOfOpenFile(HANDLE file, const TTagReaderEntry& reader, TMP3FileInfo& info, bool preferId3v2) {
    if (!file || file == INVALID_HANDLE_VALUE) return false;
    TWinFileSource source(file);
    TTagReadOptions options;
    options.ToAnsi = &Utf16ToAnsiCodePage;
    options.PreferId3v2 = preferId3v2;
    return reader.Read(source, info, options);
}

bool ReadTagsOfFile(const std::string& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2) {
    return ReadTagsOfOpenFile(OpenForSharedRead(fileName).get(), reader, info, preferId3v2);
}

bool ReadTagsOfFile(const std::wstring& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2) {
    return ReadTagsOfOpenFile(OpenForSharedRead(fileName).get(), reader, info, preferId3v2);
}
