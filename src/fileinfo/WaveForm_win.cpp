#include "fileinfo/WaveForm.h"

#include "fileinfo/FileSource_win.h"
#include "fileinfo/TagText_win.h"

bool ReadRiffInfoTag(const std::string& fileName, TMP3FileInfo& info) {
    TFile file = OpenForSharedRead(fileName);
    if (!file) return false;
    TWinFileSource source(file.get());
    TBufferedSource buffered(source);
    return ReadRiffInfoTag(buffered, info, RecordTextCodec());
}
