#pragma once
// Byte-building pieces shared by the ID3 readers' tests: a preset record and
// an ID3v1 trailer written field by field.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fileinfo/MpegAudio.h"

using TBytes = std::vector<std::uint8_t>;

inline TBytes Bytes(const std::string& s) { return TBytes(s.begin(), s.end()); }

inline void Append(TBytes& out, const TBytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// A record as the playlist presets it before a reader runs.
inline TMP3FileInfo Preset() {
    TMP3FileInfo info;
    info.SetFileName("C:\\Music\\song.mp3");
    info.SetTitle("song");
    return info;
}

struct TTagFields {
    std::string title, artist, album, year, comment;
    int genre = 255;
};

// A 128-byte trailer; fields are copied raw (shorter ones NUL-padded) so tests can
// put any bytes in them.
inline TBytes Id3v1(const TTagFields& f, const char* magic = "TAG") {
    TBytes t(128, 0);
    std::memcpy(t.data(), magic, 3);
    auto put = [&](std::size_t at, std::size_t len, const std::string& s) {
        std::memcpy(t.data() + at, s.data(), std::min(len, s.size()));
    };
    put(3, 30, f.title);
    put(33, 30, f.artist);
    put(63, 30, f.album);
    put(93, 4, f.year);
    put(97, 30, f.comment);
    t[127] = std::uint8_t(f.genre);
    return t;
}

inline TBytes Mp3(const TBytes& tag, std::size_t audio = 1000) {
    TBytes file(audio, 0xFF);
    Append(file, tag);
    return file;
}
