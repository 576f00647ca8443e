#pragma once
// Finding entries by the words typed into "Jump to file". Text is 8-bit in the
// ANSI code page; case is folded as the system's case-insensitive comparison
// folds it there (ASCII, accented and full-width letters alike), from a table
// built once per code page. A match starts and ends on character boundaries
// only: a trail byte never begins or ends one, so "\" (0x5C) is never found
// inside a double-byte character whose second byte is 0x5C.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the code page says about one character.
struct TJumpChar {
    unsigned Folded = 0;  // the character with its case folded (same byte length), or itself
    bool Blank = false;   // separates words
};

class TJumpFolding {
public:
    using TIsLead = std::function<bool(unsigned char)>;
    // code: a single byte (< 0x100), or lead << 8 | trail for a double-byte character.
    using TQuery = std::function<TJumpChar(unsigned code)>;
    // Asks query about every single byte and every double-byte character.
    TJumpFolding(const TIsLead& isLead, const TQuery& query);

    bool IsLead(unsigned char c) const { return lead_[c]; }
    bool HasLeadBytes() const { return !double_.empty(); }
    // Character by character; a lead byte with nothing after it stands alone.
    void FoldInto(std::string_view text, std::string& out) const;
    std::string Fold(std::string_view text) const;
    // The folded words of an edit text, split at blanks.
    std::vector<std::string> Words(std::string_view text) const;
    // The byte length of the character at text[at] (1 or 2).
    std::size_t CharLength(std::string_view text, std::size_t at) const {
        return lead_[static_cast<unsigned char>(text[at])] && at + 1 < text.size() && text[at + 1] != '\0' ? 2 : 1;
    }

private:
    std::array<bool, 256> lead_{};
    std::array<unsigned char, 256> single_{};
    std::array<bool, 256> singleBlank_{};
    // Indexed by lead << 8 | trail; empty where the code page has no lead bytes.
    std::vector<std::uint16_t> double_;
    std::vector<bool> doubleBlank_;
};

// The entries' titles and file names, folded once, searched on every key press.
class TJumpIndex {
public:
    using TText = std::function<std::string_view(int)>;
    explicit TJumpIndex(const TJumpFolding& folding) : folding_(folding) {}

    void Assign(int count, const TText& title, const TText& fileName);
    int Count() const { return static_cast<int>(start_.empty() ? 0 : start_.size() - 1); }
    // The entries, in list order, whose title or file name holds every word of
    // text (each word in either); every entry for a text without words.
    std::vector<int> Match(std::string_view text) const;

private:
    bool Holds(int entry, const std::string& word) const;
    // Whether [at, at + length) of entry's texts starts and ends on character boundaries.
    bool OnBoundaries(int entry, std::size_t at, std::size_t length) const;

    const TJumpFolding& folding_;
    // Per entry: its folded title, '\0', its folded file name, '\0'.
    std::string text_;
    std::vector<std::uint32_t> start_;  // Count() + 1 offsets into text_
    std::vector<bool> multiByte_;       // the entry's texts hold a lead byte
};
