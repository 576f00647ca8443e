#pragma once
// Files opened for the tag readers: read access, others may read but not write.
#include <windows.h>

#include <string>

#include "base/Handles_win.h"
#include "fileinfo/ByteSource.h"

TFile OpenForSharedRead(const std::string& fileName);
TFile OpenForSharedRead(const std::wstring& fileName);

struct TTagReaderEntry;
class TMP3FileInfo;
// The tags of a file opened by the caller (who keeps the handle); false when none were found.
// With readLength the file's length goes into info.SongLength too, in the same visit.
bool ReadTagsOfOpenFile(HANDLE file, const TTagReaderEntry& reader, TMP3FileInfo& info, bool preferId3v2,
                        bool readLength = false);

// Reads through an open handle (not owned).
class TWinFileSource : public IByteSource {
public:
    explicit TWinFileSource(HANDLE file) : file_(file) {}
    bool Size(std::uint64_t& size) override;
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override;
private:
    HANDLE file_;
};
