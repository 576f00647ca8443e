#pragma once
// The values one tag gives the entry record, collected while the tag is walked.
// Of several values for one field the first counts; a field can also be fed by
// keys of different rank (COMMENT before DESCRIPTION), where the better rank wins
// whatever the order in the file. Readers ask Wants() before reading a value, so
// a value that would not count is stepped over unread.
#include <array>
#include <string>
#include <string_view>

#include "fileinfo/MP3FileInfo.h"

class TTagFields {
public:
    // Rank 0 is the best. True when a value of this rank would still be taken.
    bool Wants(TInfoField field, int rank = 0) const;
    // Keeps `value` (already ANSI text, trimmed) if Wants(field, rank); an empty
    // value is ignored, so that the next non-empty one counts.
    void Offer(TInfoField field, std::string value, int rank = 0);
    // True while some field is still open for a value of rank 0.
    bool WantsAny() const;
    // Writes every value held into the record; the record's other fields keep
    // what they hold (the file-name title above all). True when any was written.
    bool StoreInto(TMP3FileInfo& info) const;

private:
    static constexpr int kNone = 1 << 30;
    std::array<std::string, kInfoFieldCount> values_;
    std::array<int, kInfoFieldCount> ranks_ = MakeRanks();
    static constexpr std::array<int, kInfoFieldCount> MakeRanks() {
        std::array<int, kInfoFieldCount> r{};
        for (int& x : r) x = kNone;
        return r;
    }
};

struct TTagKey {
    TInfoField Field;
    int Rank;
};

// The field a Vorbis-comment or APE key fills, ASCII case ignored: TITLE, ARTIST,
// ALBUM, COMMENT (else DESCRIPTION), GENRE, DATE (else YEAR), COPYRIGHT, and
// ENCODER or ENCODED-BY (equal: the first found counts). False for other keys.
bool CommonTagKey(std::string_view key, TTagKey& out);
