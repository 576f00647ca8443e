#include "fileinfo/TagReaders.h"

#include "fileinfo/FileSource_win.h"
#include "fileinfo/TagText_win.h"

bool ReadTagsOfFile(const std::string& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2) {
    TFile file = OpenForSharedRead(fileName);
    if (!file) return false;
    TWinFileSource source(file.get());
    TTagReadOptions options;
    options.ToAnsi = &Utf16ToAnsiCodePage;
    options.PreferId3v2 = preferId3v2;
    return reader.Read(source, info, options);
}
