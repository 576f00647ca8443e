#include "fileinfo/MpegAudio.h"

#include "fileinfo/FileSource_win.h"
#include "fileinfo/TagText_win.h"

bool ReadId3v1Tag(const std::string& fileName, TMP3FileInfo& info) {
    TId3v1Bytes tag;
    bool present;
    {
        TFile file = OpenForSharedRead(fileName);
        if (!file) return false;
        TWinFileSource source(file.get());
        present = ReadId3v1Bytes(source, tag);
    }  // closed before parsing
    return present && ParseId3v1Tag(tag, info, RecordTextCodec());
}
