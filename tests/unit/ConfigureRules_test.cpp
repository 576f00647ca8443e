// The preferences dialog's window-free rules: the extension edit's text, the
// token grid's column split, and the row under a point.
#include <gtest/gtest.h>
#include "preferences/ConfigureRules.h"

namespace {
// Shift-JIS lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool SjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
}  // namespace

TEST(NormalizeExtensionInput, AddsTheDotAndLowerCases) {
    EXPECT_EQ(NormalizeExtensionInput("MP3"), ".mp3");
    EXPECT_EQ(NormalizeExtensionInput(".Wav"), ".wav");
    EXPECT_EQ(NormalizeExtensionInput("  ogg\t"), ".ogg");
    EXPECT_EQ(NormalizeExtensionInput(" .MID "), ".mid");
}

TEST(NormalizeExtensionInput, BlankTextGivesNothing) {
    EXPECT_EQ(NormalizeExtensionInput(""), "");
    EXPECT_EQ(NormalizeExtensionInput("   "), "");
    EXPECT_EQ(NormalizeExtensionInput("\t\r\n"), "");
}

TEST(NormalizeExtensionInput, KeepsInnerBlanksAndALoneDot) {
    EXPECT_EQ(NormalizeExtensionInput("m p3"), ".m p3");
    EXPECT_EQ(NormalizeExtensionInput("."), ".");
}

TEST(NormalizeExtensionInput, LeavesTheTrailByteOfADoubleByteCharacter) {
    // 0x83 0x41 is a katakana in Shift-JIS; its second byte is the code of 'A'.
    EXPECT_EQ(NormalizeExtensionInput("\x83\x41X", &SjisLead), ".\x83\x41x");
    EXPECT_EQ(NormalizeExtensionInput("\x83\x41X"), ".\x83\x61x") << "without the code page every 'A' is a letter";
}

TEST(SplitTokenColumns, SharesInProportionToTheWidestTexts) {
    EXPECT_EQ(SplitTokenColumns(60, 30, 300), std::make_pair(200, 100));
    EXPECT_EQ(SplitTokenColumns(50, 50, 331), std::make_pair(165, 165)) << "integer division drops the rest";
    EXPECT_EQ(SplitTokenColumns(0, 40, 100), std::make_pair(0, 100));
}

TEST(SplitTokenColumns, NoTextOrNoRoomNeverDividesByZero) {
    EXPECT_EQ(SplitTokenColumns(0, 0, 300), std::make_pair(0, 0));
    EXPECT_EQ(SplitTokenColumns(10, 20, 0), std::make_pair(0, 0));
    EXPECT_EQ(SplitTokenColumns(10, 20, -5), std::make_pair(0, 0));
    EXPECT_EQ(SplitTokenColumns(-3, 20, 40), std::make_pair(0, 40));
}

TEST(SplitTokenColumns, LargeWidthsDoNotOverflow) {
    auto [a, b] = SplitTokenColumns(2000000000, 2000000000, 2000000000);
    EXPECT_EQ(a, 1000000000);
    EXPECT_EQ(b, 1000000000);
}

TEST(GridRowAt, FindsTheRowUnderAPoint) {
    EXPECT_EQ(GridRowAt(0, 16, 0, 9), 0);
    EXPECT_EQ(GridRowAt(15, 16, 0, 9), 0);
    EXPECT_EQ(GridRowAt(16, 16, 0, 9), 1);
    EXPECT_EQ(GridRowAt(143, 16, 0, 9), 8);
    EXPECT_EQ(GridRowAt(5, 16, 3, 9), 3) << "scrolled: the top row is 3";
}

TEST(GridRowAt, OutsideEveryRowIsNone) {
    EXPECT_EQ(GridRowAt(144, 16, 0, 9), -1) << "below the last row";
    EXPECT_EQ(GridRowAt(-1, 16, 0, 9), -1);
    EXPECT_EQ(GridRowAt(10, 0, 0, 9), -1);
    EXPECT_EQ(GridRowAt(10, 16, -1, 9), -1);
    EXPECT_EQ(GridRowAt(100, 16, 5, 9), -1);
}
