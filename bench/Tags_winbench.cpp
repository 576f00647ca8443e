// The plug-in's ID3v1 reader by file name (deny-write open, size, last 128 bytes,
// close, parse) against the bare floor of CreateFileA, a seek to 128 bytes before
// the end, one ReadFile and CloseHandle: 10,000 small tagged files, same run,
// alternating rounds. Prints both times and the ratio (reader / floor). Then the
// same for ID3v2 files, with and without a picture behind the text frames,
// against opening each, reading its first 4 KiB and last 128 bytes, closing.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Id3v2BenchFile.h"
#include "TagBench.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/MpegAudio.h"

namespace {

constexpr int kFiles = 10000;

// ReadMp3Tags by file name on ID3v2 files against the floor.
void BenchId3v2(const std::string& dir, std::size_t picture) {
    std::vector<std::string> names;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(dir + "\\v2song" + std::to_string(i) + ".mp3");
        const std::vector<std::uint8_t> bytes = Id3v2File(i, picture);
        HANDLE h = CreateFileA(names.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return;
        DWORD done;
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &done, nullptr);
        CloseHandle(h);
    }
    long checksum = 0;
    auto reader = [&] {
        for (const std::string& name : names) {
            TMP3FileInfo info;
            if (ReadMp3Tags(name, info, false)) checksum += long(info.Title().size() + info.Genre().size());
        }
    };
    auto floor = [&] {
        for (const std::string& name : names) {
            HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            char head[4096], tag[128];
            DWORD got = 0;
            if (ReadFile(h, head, sizeof head, &got, nullptr) && got > 0) checksum += head[0];
            if (SetFilePointer(h, -128, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                ReadFile(h, tag, 128, &got, nullptr) && got == 128)
                checksum += tag[0];
            CloseHandle(h);
        }
    };
    const TBestTimes t = AlternatingRounds(3, floor, reader);
    for (const std::string& name : names) DeleteFileA(name.c_str());
    const double ratio = t.Ratio();
    std::printf("ID3v2.3 tags of %d files by name, %u-byte picture after the text (best of 3, checksum %ld)\n",
                kFiles, unsigned(picture), checksum);
    std::printf("  open + first 4 KiB + last 128 bytes + close : %7.1f ms\n", t.Floor * 1000);
    std::printf("  ReadMp3Tags                                  : %7.1f ms\n", t.Reader * 1000);
    std::printf("  ratio ID3v2 reader/floor: %.2f (target <= 1.5)%s\n", ratio, ratio > 1.5 ? " MISSED" : "");
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "vl_tags_winbench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    std::vector<std::string> names;
    std::string body(2048, '\xFF');
    for (int i = 0; i < kFiles; ++i) {
        char tag[128] = {'T', 'A', 'G'};
        std::snprintf(tag + 3, 30, "Title %d", i);
        std::memcpy(tag + 33, "Artist", 6);
        tag[127] = char(i % 150);
        names.push_back(dir + "\\song" + std::to_string(i) + ".mp3");
        HANDLE h = CreateFileA(names.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 1;
        DWORD done;
        WriteFile(h, body.data(), DWORD(body.size()), &done, nullptr);
        WriteFile(h, tag, sizeof tag, &done, nullptr);
        CloseHandle(h);
    }

    long checksum = 0;
    auto reader = [&] {
        for (const std::string& name : names) {
            TMP3FileInfo info;
            if (ReadId3v1Tag(name, info)) checksum += long(info.Title().size() + info.Genre().size());
        }
    };
    auto floor = [&] {
        for (const std::string& name : names) {
            HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            char tag[128];
            DWORD got = 0;
            if (SetFilePointer(h, -128, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                ReadFile(h, tag, 128, &got, nullptr) && got == 128)
                checksum += tag[0];
            CloseHandle(h);
        }
    };
    const TBestTimes t = AlternatingRounds(3, floor, reader);
    for (const std::string& name : names) DeleteFileA(name.c_str());
    BenchId3v2(dir, 0);
    BenchId3v2(dir, 64 * 1024);
    RemoveDirectoryA(dir.c_str());

    std::printf("ID3v1 tags of %d files by name under Win32 (best of 3, checksum %ld)\n", kFiles, checksum);
    std::printf("  open + last 128 bytes + close : %7.1f ms\n", t.Floor * 1000);
    std::printf("  ReadId3v1Tag                  : %7.1f ms\n", t.Reader * 1000);
    std::printf("  ratio reader/floor: %.2f (target <= 1.2)\n", t.Ratio());
    return 0;
}
