// Each tag format's reader by file name, as the playlist calls it (through the
// reader table: deny-write open, size, reads, close), on 10,000 files of its kind
// against the floor of CreateFileA, one SetFilePointer and ReadFile per byte
// range that reader must read, and CloseHandle: same files, same run,
// alternating rounds. Prints both times and the ratio (reader / floor).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "TagBench.h"
#include "TagFormatFiles.h"
#include "fileinfo/TagReaders.h"

namespace {

constexpr int kFiles = 10000;
constexpr double kTarget = 1.3;

bool Bench(const std::string& dir, const TBenchFormat& format) {
    const TTagReaderEntry* entry = FindTagReader(format.Extension);
    if (!entry) {
        std::printf("%s: no reader for %s in this build\n", format.Name, format.Extension);
        return true;
    }
    std::vector<std::string> names;
    std::vector<TFloorRange> ranges;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(dir + "\\song" + std::to_string(i) + format.Extension);
        const TBenchFile file = format.Make(i);
        if (i == 0) ranges = file.Floor;
        HANDLE h = CreateFileA(names.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD done;
        WriteFile(h, file.Bytes.data(), DWORD(file.Bytes.size()), &done, nullptr);
        CloseHandle(h);
    }
    long checksum = 0;
    auto reader = [&] {
        for (const std::string& name : names) {
            TMP3FileInfo info;
            if (ReadTagsOfFile(name, *entry, info, false)) checksum += long(info.Title().size() + info.Album().size());
        }
    };
    std::vector<char> buffer;
    for (const TFloorRange& r : ranges) buffer.resize(std::max(buffer.size(), r.Length));
    auto floor = [&] {
        for (const std::string& name : names) {
            HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            for (const TFloorRange& r : ranges) {
                DWORD got = 0;
                if (SetFilePointer(h, LONG(r.Offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                    ReadFile(h, buffer.data(), DWORD(r.Length), &got, nullptr) && got > 0)
                    checksum += buffer[0];
            }
            CloseHandle(h);
        }
    };
    const TBestTimes t = AlternatingRounds(3, floor, reader);
    for (const std::string& name : names) DeleteFileA(name.c_str());
    const double ratio = t.Ratio();
    std::printf("%s of %d %s files by name under Win32 (best of 3, checksum %ld)\n", format.Name, kFiles,
                format.Extension, checksum);
    std::printf("  open + %u range(s) the reader must read + close : %7.1f ms\n", unsigned(ranges.size()),
                t.Floor * 1000);
    std::printf("  ReadTagsOfFile                                 : %7.1f ms\n", t.Reader * 1000);
    std::printf("  ratio %s reader/floor: %.2f (target <= %.1f)%s\n", format.Extension, ratio, kTarget,
                ratio > kTarget ? " MISSED" : "");
    return true;
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "vl_tagformats_winbench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    bool ok = true;
    for (const TBenchFormat& format : kBenchFormats) ok = Bench(dir, format) && ok;
    RemoveDirectoryA(dir.c_str());
    return ok ? 0 : 1;
}
