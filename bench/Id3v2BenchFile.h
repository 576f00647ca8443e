#pragma once
// The ID3v2 files both tag benchmarks read.
#include <cstdint>
#include <string>
#include <vector>

// An ID3v2.3 file as taggers write it: UTF-16 text frames, then (when
// `picture` > 0) a picture of that many bytes, 1 KiB of padding, the audio; no
// ID3v1 tag, so every field comes from ID3v2.
inline std::vector<std::uint8_t> Id3v2File(int i, std::size_t picture) {
    std::vector<std::uint8_t> frames = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
    auto frame = [&](const char* id, const std::vector<std::uint8_t>& body) {
        const std::size_t n = body.size();
        frames.insert(frames.end(), id, id + 4);
        for (int shift : {24, 16, 8, 0}) frames.push_back(std::uint8_t(n >> shift));
        frames.insert(frames.end(), {0, 0});
        frames.insert(frames.end(), body.begin(), body.end());
    };
    auto utf16 = [](const std::string& text) {
        std::vector<std::uint8_t> b = {1, 0xFF, 0xFE};
        for (char c : text) b.insert(b.end(), {std::uint8_t(c), 0});
        return b;
    };
    frame("TIT2", utf16("Title number " + std::to_string(i)));
    frame("TPE1", utf16("Artist " + std::to_string(i % 97)));
    frame("TALB", utf16("Album " + std::to_string(i % 13)));
    frame("TCON", utf16("(17)"));
    if (picture > 0) {
        std::vector<std::uint8_t> body = {0, 'i', 'm', 'a', 'g', 'e', '/', 'j', 'p', 'e', 'g', 0, 3, 0};
        body.resize(body.size() + picture, 0xD8);
        frame("APIC", body);
    }
    frames.resize(frames.size() + 1024, 0);
    const std::size_t n = frames.size() - 10;
    for (int k = 0; k < 4; ++k) frames[6 + k] = std::uint8_t(n >> (21 - 7 * k) & 0x7F);
    frames.resize(frames.size() + 2048, 0xFF);
    return frames;
}

