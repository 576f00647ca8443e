#include "host/SettingsValues.h"

#include <gtest/gtest.h>

TEST(SettingsInt, AcceptsDecimalAndHexWithinRange) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0}, {"123", 123}, {"-50", -50}, {"+7", 7}, {" \t-3", -3}, {"00012", 12},
        {"0x1F", 31}, {"0X1f", 31}, {"$ff", 255}, {"-$10", -16}, {"$FFFFFFFF", -1},
        {"0x80000000", INT_MIN}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseSettingsInt(text), value) << text;
}

TEST(SettingsInt, RejectsEverythingElse) {
    for (const char* text : {"", " ", "-", "+", "$", "0x", "abc", "12abc", "42 ", "1.5", "0x-1", "--1",
                             "2147483648", "-2147483649", "0x100000000", "99999999999999999999", "1e3",
                             "0b101", "$ 1"})
        EXPECT_EQ(ParseSettingsInt(text), std::nullopt) << '"' << text << '"';
}

TEST(SettingsInt, DefaultsAndBooleans) {
    EXPECT_EQ(ReadSettingsInt(std::nullopt, 9), 9);
    EXPECT_EQ(ReadSettingsInt("junk", 9), 9);
    EXPECT_EQ(ReadSettingsInt("-8", 9), -8);
    EXPECT_TRUE(ReadSettingsBool("-1", false));
    EXPECT_TRUE(ReadSettingsBool("$10", false));
    EXPECT_FALSE(ReadSettingsBool("0x0", true));
    EXPECT_TRUE(ReadSettingsBool("yes", true));  // not a number: the default
    EXPECT_FALSE(ReadSettingsBool("yes", false));
    EXPECT_EQ(SafeAbs(-8), 8);
    EXPECT_EQ(SafeAbs(INT_MIN), INT_MAX);
}

TEST(SettingsValues, FormatQuotesAndLocale) {
    EXPECT_EQ(StripFormatQuotes("\" ${INAM} \""), " ${INAM} ");
    EXPECT_EQ(StripFormatQuotes("\""), "");
    EXPECT_EQ(StripFormatQuotes("\"\""), "");
    EXPECT_EQ(StripFormatQuotes("a\"b"), "a\"b");
    EXPECT_EQ(StripFormatQuotes("\"x"), "x");
    EXPECT_TRUE(IsJapaneseLocale("0411"));
    for (const char* other : {"0000", "041", "0411 ", " 0411", "04110", ""})
        EXPECT_FALSE(IsJapaneseLocale(other)) << other;
}
