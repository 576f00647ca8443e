#pragma once
// Case folding of 8-bit text in one code page, as a table built once from what
// the system says about every character of the code page (single bytes and, in
// a double-byte code page, every lead-trail pair): its case-folded form and
// whether it separates words. Folding a text is then a table look-up per
// character: two names are equal ignoring case when their folded bytes are
// equal. A fold never changes a character's byte length or turns a byte into a
// lead byte, so character boundaries stay where they were, and the trail byte of
// a double-byte character is never folded on its own: "\" never stands for half
// of "表".
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the code page says about one character.
struct TFoldChar {
    unsigned Folded = 0;  // the character with its case folded (same byte length); 0: itself
    bool Blank = false;   // separates words
};

// Appends the case-folded form of a UTF-16 text to out: what TCaseFold::Fold is
// for 8-bit text, for the host's wide names.
using TWideFold = std::function<void(std::u16string_view text, std::u16string& out)>;

class TCaseFold {
public:
    using TIsLeadByte = std::function<bool(unsigned char)>;
    // code: a single byte (< 0x100), or lead << 8 | trail for a double-byte character.
    using TQuery = std::function<TFoldChar(unsigned code)>;
    // Asks query about every single byte and every double-byte character; no
    // isLeadByte: a single-byte code page.
    TCaseFold(const TIsLeadByte& isLeadByte, const TQuery& query);

    bool IsLead(unsigned char c) const { return lead_[c]; }
    bool HasLeadBytes() const { return !double_.empty(); }
    // Appends the folded form of text to out, character by character; a lead
    // byte with nothing after it stands alone.
    void Fold(std::string_view text, std::string& out) const;
    std::string Folded(std::string_view text) const;
    // The folded words of a text, split at blanks.
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
