#pragma once
// ID3v1: the 128-byte trailer of MPEG audio files.
//   0 "TAG"  3 title[30]  33 artist[30]  63 album[30]  93 year[4]  97 comment[30]  127 genre
// The comment is taken whole (an ID3v1.1 track byte at 126 is not split off).
#include <array>
#include <cstdint>
#include <string>

#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagText.h"

inline constexpr int kGenreCount = 148;
// The ID3v1 genre list (0-79) and its extension (80-147), indexed by the genre byte.
extern const std::array<const char*, kGenreCount> GenreNames;

inline constexpr std::size_t kId3v1Size = 128;
using TId3v1Bytes = std::array<std::uint8_t, kId3v1Size>;

// The last 128 bytes of the source; false for a shorter source or a short read.
bool ReadId3v1Bytes(IByteSource& source, TId3v1Bytes& tag);

// Fills the record's non-empty fields from a trailer that starts with exactly "TAG";
// false (record untouched) otherwise.
bool ParseId3v1Tag(const TId3v1Bytes& tag, TMP3FileInfo& info, const TTagTextCodec& codec = {});

// Both steps on an open source.
bool ReadId3v1Tag(IByteSource& source, TMP3FileInfo& info, const TTagTextCodec& codec = {});

// By file name (Win32 layer): opened for reading with others allowed to read but
// not write, closed before the bytes are parsed. False when there is no tag.
bool ReadId3v1Tag(const std::string& fileName, TMP3FileInfo& info);
