#pragma once
// Finding entries by the words typed into "Jump to file". Text is UTF-16; case
// is folded as the system lower-cases (ASCII and full-width letters alike, no
// folding of widths or accents), by the injected fold remove-duplicates uses for
// wide names too. A match never starts or ends inside a surrogate pair.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/CaseFold.h"

// The entries' titles and file names, folded once, searched on every key press.
class TJumpIndex {
public:
    // Appends entry's text, in UTF-16, to out.
    using TText = std::function<void(int entry, std::u16string& out)>;
    // No fold: ASCII letters only.
    explicit TJumpIndex(TWideFold fold = nullptr) : fold_(std::move(fold)) {}

    void Assign(int count, const TText& title, const TText& fileName);
    int Count() const { return static_cast<int>(start_.empty() ? 0 : start_.size() - 1); }
    // The entries, in list order, whose title or file name holds every word of
    // text (each word in either); every entry for a text without words.
    std::vector<int> Match(std::u16string_view text) const;
    // The folded words of a text, split at blanks (space, tab, U+3000, NUL).
    std::vector<std::u16string> Words(std::u16string_view text) const;

private:
    void Fold(std::u16string_view text, std::u16string& out) const;
    bool Holds(int entry, const std::u16string& word) const;
    // Whether [at, at + length) starts and ends outside surrogate pairs.
    bool OnBoundaries(std::size_t at, std::size_t length) const;

    TWideFold fold_;
    // Per entry: its folded title, U+0000, its folded file name, U+0000.
    std::u16string text_;
    std::vector<std::uint32_t> start_;  // Count() + 1 offsets into text_
};
