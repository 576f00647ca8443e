#pragma once
// Comma text, ASCII lower-casing that leaves double-byte characters alone, and
// the set of audio file extensions built on both.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Comma text. Items are separated by a comma or by a run of blanks and control
// characters (a comma inside such a run still makes one separator); two commas
// in a row enclose an empty item. An item that starts with a double quote runs
// to the closing one, a doubled double quote inside standing for one, so it may
// hold commas and blanks; a missing closing quote takes the rest of the text.
std::vector<std::string> ParseCommaText(std::string_view text);
// The items joined by commas; an item holding a blank, a control character, a
// comma or a double quote, and an empty item, is quoted with its quotes doubled.
std::string FormatCommaText(const std::vector<std::string>& items);

// Lower-cases ASCII letters only. Where isLeadByte is given, the byte after a
// lead byte of a double-byte character is left alone (in Shift-JIS it may be an
// ASCII letter's code).
using TLeadByteTest = bool (*)(unsigned char);
std::string LowerAscii(std::string_view text, TLeadByteTest isLeadByte = nullptr);

// The audio file extensions: lower-case items with their leading dot, kept
// sorted by byte value without duplicates and looked up without regard to case.
class TExtensionSet {
public:
    explicit TExtensionSet(TLeadByteTest isLeadByte = nullptr) : IsLeadByte(isLeadByte) {}

    // Replaces the contents with the items, lower-cased.
    void Assign(const std::vector<std::string>& items);
    // Adds one item, lower-cased; false if it was there already.
    bool Add(std::string_view item);
    bool Remove(std::string_view item);
    bool Contains(std::string_view item) const;
    void Clear() { Items.clear(); }
    // For later additions and lookups; items already held stay as they are.
    void SetLeadByteTest(TLeadByteTest isLeadByte) { IsLeadByte = isLeadByte; }

    const std::vector<std::string>& Values() const { return Items; }
    std::size_t Size() const { return Items.size(); }

    std::string ToCommaText() const { return FormatCommaText(Items); }
    void AssignCommaText(std::string_view text) { Assign(ParseCommaText(LowerAscii(text, IsLeadByte))); }

    friend bool operator==(const TExtensionSet& a, const TExtensionSet& b) { return a.Items == b.Items; }

private:
    TLeadByteTest IsLeadByte;
    std::vector<std::string> Items;
};
