#pragma once
// Value rules of the plug-in's settings and of skin configuration files: the
// integer rule, booleans, the title format's quotes, the locale switch, and the
// default audio file extensions (their set and its comma text are in base).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Extensions.h"

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

inline constexpr const char* kDefaultAudioExtensions =
    ".669,.cda,.dsm,.far,.it,.med,.mid,.mod,.mp2,.mp3,.mpg,.mtm,.rmp,.s3m,.stm,.ult,.voc,.vqf,.wav,.xm";
