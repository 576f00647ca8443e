#pragma once
// Value rules of the plug-in's settings and of skin configuration files: the
// integer rule, booleans, the title format's quotes, the locale switch, and the
// comma text that holds the audio file extensions.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Integer text: optional leading blanks, an optional sign, then decimal digits,
// or hexadecimal digits after "0x", "0X" or "$". Nothing may follow the digits.
// Decimal text must fit a 32-bit int; hexadecimal text may use all 32 bits and
// is read as their two's-complement value ($FFFFFFFF is -1). Anything else,
// including the empty text, is not a number.
std::optional<int> ParseSettingsInt(std::string_view text);

// The integer, or the default when the text is absent or not a number.
int ReadSettingsInt(const std::optional<std::string>& text, int defaultValue);
// A boolean is stored as an integer: any non-zero number is true.
bool ReadSettingsBool(const std::optional<std::string>& text, bool defaultValue);

// |value| that cannot overflow: the most negative int gives the largest one.
int SafeAbs(int value);

// The stored title format is written between double quotes; one leading and one
// trailing double quote are removed when it is read back.
std::string StripFormatQuotes(std::string value);

// Japanese captions are on only for the locale text "0411", exactly.
bool IsJapaneseLocale(std::string_view locale);
std::string LocaleText(bool japaneseCaptions);

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

inline constexpr const char* kDefaultAudioExtensions =
    ".669,.cda,.dsm,.far,.it,.med,.mid,.mod,.mp2,.mp3,.mpg,.mtm,.rmp,.s3m,.stm,.ult,.voc,.vqf,.wav,.xm";
