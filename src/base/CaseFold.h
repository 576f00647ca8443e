#pragma once
// Case folding of 8-bit text in one code page, as a table built once from the
// system's own upper-casing of every character of the code page (single bytes
// and, in a double-byte code page, every lead-trail pair). Folding a text is
// then a table look-up per character: two names are equal ignoring case when
// their folded bytes are equal. The trail byte of a double-byte character is
// never folded on its own, so "\" never stands for half of "表".
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TCaseFold {
public:
    using TIsLeadByte = std::function<bool(unsigned char)>;
    // Upper-cases one character (one or two bytes) as the system does; returns
    // the character itself when the system has no other form of the same length.
    using TUpperCharacter = std::function<std::string(std::string_view)>;

    TCaseFold(const TIsLeadByte& isLeadByte, const TUpperCharacter& upper);

    // Appends the folded form of text to out.
    void Fold(std::string_view text, std::string& out) const;
    std::string Folded(std::string_view text) const {
        std::string out;
        Fold(text, out);
        return out;
    }

private:
    bool lead_[256] = {};
    unsigned char single_[256] = {};
    // Per lead byte with a table: the folded pair of each trail byte (hi << 8 | lo).
    std::vector<std::vector<std::uint16_t>> pairs_;
};
