#pragma once
// Reading profile (INI) text the way the platform's profile functions read it,
// so that portable code and its tests see values exactly as the Win32 side's
// GetPrivateProfileStringA hands them over:
//  - "[name]" starts a section; section and key names match without regard to
//    ASCII case and without their surrounding blanks;
//  - "key=value": the first "=" splits, blanks around key and value are dropped;
//    a line without "=" holds no value;
//  - the first section of a name and the first key of a name in it win;
//  - a value that starts and ends with the same quote (" or ') loses that pair;
//  - a value is cut at kProfileValueLimit bytes (the callers' buffer size).
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Gives the value of a key of one section, or nothing when the key is absent.
// The Win32 side builds one from GetPrivateProfileStringA.
using TProfileReader = std::function<std::optional<std::string>(const std::string& key)>;

inline constexpr std::size_t kProfileValueLimit = 2047;

// The value part of a "key=value" line as the profile functions return it:
// surrounding blanks removed, then one pair of enclosing quotes, then the cut.
std::string StripProfileValue(std::string_view raw);

// The text to store so that reading gives `value` back: a value the reader would
// change (one with surrounding blanks, or enclosed in a pair of quotes, such as
// comma text that starts and ends with a quoted item) is put between one more
// pair of double quotes, which the reader removes again.
std::string ProtectProfileValue(std::string value);

class TProfileText {
public:
    explicit TProfileText(std::string_view text);

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // A reader bound to one section; it refers to this object, which must outlive it.
    TProfileReader Reader(std::string section) const;

private:
    struct TEntry {
        std::string Key;
        std::string Value;  // raw, blanks already trimmed
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };
    std::vector<TSection> Sections;
};

// ASCII-only case-insensitive equality, as profile key matching is done.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
