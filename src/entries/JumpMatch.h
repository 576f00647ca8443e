#pragma once
// Finding entries by the words typed into "Jump to file". Text is 8-bit in the
// ANSI code page; case is folded as the system's case-insensitive comparison
// folds it there (ASCII, accented and full-width letters alike), by the code
// page's TCaseFold, the table remove-duplicates uses too. A match starts and ends
// on character boundaries only: a trail byte never begins or ends one, so "\"
// (0x5C) is never found inside a double-byte character whose second byte is 0x5C.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/CaseFold.h"

// The entries' titles and file names, folded once, searched on every key press.
class TJumpIndex {
public:
    using TText = std::function<std::string_view(int)>;
    explicit TJumpIndex(const TCaseFold& folding) : folding_(folding) {}

    void Assign(int count, const TText& title, const TText& fileName);
    int Count() const { return static_cast<int>(start_.empty() ? 0 : start_.size() - 1); }
    // The entries, in list order, whose title or file name holds every word of
    // text (each word in either); every entry for a text without words.
    std::vector<int> Match(std::string_view text) const;

private:
    bool Holds(int entry, const std::string& word) const;
    // Whether [at, at + length) of entry's texts starts and ends on character boundaries.
    bool OnBoundaries(int entry, std::size_t at, std::size_t length) const;

    const TCaseFold& folding_;
    // Per entry: its folded title, '\0', its folded file name, '\0'.
    std::string text_;
    std::vector<std::uint32_t> start_;  // Count() + 1 offsets into text_
    std::vector<bool> multiByte_;       // the entry's texts hold a lead byte
};
