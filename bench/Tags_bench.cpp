// Reading the ID3v1 tags of 10,000 small tagged files against the bare floor of
// opening each file, reading its last 128 bytes and closing it: same files, same
// run, alternating rounds. Prints both times and the ratio (reader / floor).
// Then ID3v2 files, with and without a picture behind the text frames, against
// the floor of opening each, reading its first 4 KiB and last 128 bytes, closing.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "Id3v2BenchFile.h"
#include "TagBench.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/MpegAudio.h"

namespace {

constexpr int kFiles = 10000;

// ReadMp3Tags on ID3v2 files against opening each file, reading its first 4 KiB
// and its last 128 bytes, and closing it.
void BenchId3v2(const std::string& dir, std::size_t picture) {
    std::vector<std::string> names;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(dir + "/v2song" + std::to_string(i) + ".mp3");
        const std::vector<std::uint8_t> bytes = Id3v2File(i, picture);
        std::FILE* f = std::fopen(names.back().c_str(), "wb");
        if (!f) return;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    long checksum = 0;
    auto reader = [&] {
        for (const std::string& name : names) {
            std::FILE* f = std::fopen(name.c_str(), "rb");
            if (!f) continue;
            TStdFileSource source(f);
            TMP3FileInfo info;
            if (ReadMp3Tags(source, info, false, &AsciiOnly)) checksum += long(info.Title().size() + info.Genre().size());
            std::fclose(f);
        }
    };
    auto floor = [&] {
        for (const std::string& name : names) {
            std::FILE* f = std::fopen(name.c_str(), "rb");
            if (!f) continue;
            std::uint8_t head[4096], tag[128];
            if (std::fread(head, 1, sizeof head, f) > 0) checksum += head[0];
            if (std::fseek(f, -128, SEEK_END) == 0 && std::fread(tag, 1, 128, f) == 128) checksum += tag[0];
            std::fclose(f);
        }
    };
    const TBestTimes t = AlternatingRounds(5, floor, reader);
    for (const std::string& name : names) std::remove(name.c_str());
    const double ratio = t.Ratio();
    std::printf("ID3v2.3 tags of %d files, %zu-byte picture after the text (best of 5, checksum %ld)\n", kFiles,
                picture, checksum);
    std::printf("  open + first 4 KiB + last 128 bytes + close : %7.1f ms\n", t.Floor * 1000);
    std::printf("  ReadMp3Tags                                  : %7.1f ms\n", t.Reader * 1000);
    std::printf("  ratio ID3v2 reader/floor: %.2f (target <= 1.5)%s\n", ratio, ratio > 1.5 ? " MISSED" : "");
}

}  // namespace

int main() {
    char dirTemplate[] = "/tmp/vl_tags_bench_XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    std::vector<std::string> names;
    std::vector<std::uint8_t> body(2048, 0xFF);
    for (int i = 0; i < kFiles; ++i) {
        std::uint8_t tag[128] = {'T', 'A', 'G'};
        std::snprintf(reinterpret_cast<char*>(tag + 3), 30, "Title %d", i);
        std::memcpy(tag + 33, "Artist", 6);
        tag[127] = std::uint8_t(i % 150);
        names.push_back(dir + "/song" + std::to_string(i) + ".mp3");
        std::FILE* f = std::fopen(names.back().c_str(), "wb");
        if (!f) return 1;
        std::fwrite(body.data(), 1, body.size(), f);
        std::fwrite(tag, 1, sizeof tag, f);
        std::fclose(f);
    }

    long checksum = 0;
    auto reader = [&] {
        for (const std::string& name : names) {
            std::FILE* f = std::fopen(name.c_str(), "rb");
            if (!f) continue;
            TStdFileSource source(f);
            TId3v1Bytes bytes;
            const bool present = ReadId3v1Bytes(source, bytes);
            std::fclose(f);  // closed before parsing, as the plug-in does
            TMP3FileInfo info;
            if (present && ParseId3v1Tag(bytes, info)) checksum += long(info.Title().size() + info.Genre().size());
        }
    };
    auto floor = [&] {
        for (const std::string& name : names) {
            std::FILE* f = std::fopen(name.c_str(), "rb");
            if (!f) continue;
            std::uint8_t tag[128];
            if (std::fseek(f, -128, SEEK_END) == 0 && std::fread(tag, 1, 128, f) == 128) checksum += tag[0];
            std::fclose(f);
        }
    };
    const TBestTimes t = AlternatingRounds(5, floor, reader);
    for (const std::string& name : names) std::remove(name.c_str());
    BenchId3v2(dir, 0);
    BenchId3v2(dir, 64 * 1024);
    rmdir(dir.c_str());

    std::printf("ID3v1 tags of %d files of 2176 bytes (best of 5, checksum %ld)\n", kFiles, checksum);
    std::printf("  open + last 128 bytes + close : %7.1f ms\n", t.Floor * 1000);
    std::printf("  ReadId3v1Tag                  : %7.1f ms\n", t.Reader * 1000);
    std::printf("  ratio reader/floor: %.2f (target <= 1.2)\n", t.Ratio());
    return 0;
}
