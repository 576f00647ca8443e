#include "fileinfo/Id3v2.h"

#include "fileinfo/FileSource_win.h"
#include "fileinfo/TagText_win.h"

bool ReadMp3Tags(const std::string& fileName, TMP3FileInfo& info, bool preferId3v2) {
    TFile file = OpenForSharedRead(fileName);
    if (!file) return false;
    TWinFileSource source(file.get());
    return ReadMp3Tags(source, info, preferId3v2, RecordTextCodec());
}
