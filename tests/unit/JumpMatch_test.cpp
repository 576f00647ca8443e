// The jump matcher over UTF-16 titles and names, with a stand-in for the
// system's lower-casing (ASCII and full-width A-Z), and the 8-bit case folding
// over a small double-byte code page shaped like Shift-JIS.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entries/JumpMatch.h"

namespace {

void Lower(std::u16string_view text, std::u16string& out) {
    for (char16_t c : text) {
        if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
        if (c >= 0xFF21 && c <= 0xFF3A) c = char16_t(c + 32);  // full-width A-Z
        out.push_back(c);
    }
}

struct TEntry {
    std::u16string Title, FileName;
};

class JumpMatch : public ::testing::Test {
protected:
    std::vector<int> Match(const std::vector<TEntry>& entries, const std::u16string& text) {
        index.Assign(
            static_cast<int>(entries.size()), [&](int i, std::u16string& out) { out += entries[i].Title; },
            [&](int i, std::u16string& out) { out += entries[i].FileName; });
        return index.Match(text);
    }
    TJumpIndex index{&Lower};
};

}  // namespace

TEST_F(JumpMatch, WordsMatchInTitleOrFileNameIgnoringCaseInListOrder) {
    const std::vector<TEntry> entries = {
        {u"Blue Moon", u"C:\\Jazz\\blue.mp3"},
        {u"Red Sky", u"C:\\Rock\\Blue Sky.mp3"},
        {u"Green", u"C:\\Jazz\\green.mp3"},
    };
    EXPECT_EQ(Match(entries, u"BLUE"), (std::vector<int>{0, 1}));
    EXPECT_EQ(Match(entries, u"jazz  blue"), (std::vector<int>{0}));  // one word in each text
    EXPECT_EQ(Match(entries, u"sky\tRED"), (std::vector<int>{1}));
    EXPECT_EQ(Match(entries, u"blue green"), (std::vector<int>{}));  // every word must occur
    EXPECT_EQ(Match(entries, u"mp3 rock.mp3"), (std::vector<int>{}));  // "rock.mp3" occurs nowhere
    EXPECT_EQ(Match(entries, u" \t "), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Match(entries, u""), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Match({}, u"a"), (std::vector<int>{}));
}

TEST_F(JumpMatch, EveryScriptMatchesAndFullWidthLettersFoldToThemselvesOnly) {
    const std::vector<TEntry> entries = {
        {u"\uFF21BC", u"x.mp3"},                         // Ａ BC
        {u"\uFF41bc", u"y.mp3"},                         // ａ bc
        {u"abc", u"z.mp3"},
        {u"\u6771\u4EAC\u30E9\u30D6", u"\uC11C\uC6B8.mp3"},  // 東京ラブ, 서울
        {u"\u0391\u03B8\u03AE\u03BD\u03B1 \u041C\u043E\u0441\u043A\u0432\u0430", u"H\u00E0 N\u1ED9i.mp3"},
    };
    EXPECT_EQ(Match(entries, u"\uFF41B"), (std::vector<int>{0, 1}));
    EXPECT_EQ(Match(entries, u"abc"), (std::vector<int>{2}));  // a full-width letter is not its ASCII twin
    EXPECT_EQ(Match(entries, u"x\u3000bc"), (std::vector<int>{0}));  // the ideographic space separates words
    EXPECT_EQ(Match(entries, u"\u4EAC \uC6B8"), (std::vector<int>{3}));
    EXPECT_EQ(Match(entries, u"\u041C\u043E\u0441 \u1ED9i"), (std::vector<int>{4}));
    EXPECT_EQ(Match(entries, u"noi"), (std::vector<int>{})) << "accents are not folded";
}

TEST_F(JumpMatch, MatchesNeverStartOrEndInsideASurrogatePair) {
    const std::u16string note = u"\U0001F3B5", other = u"\U0001F3B6";  // D83C DFB5, D83C DFB6
    const std::vector<TEntry> entries = {
        {u"a" + note + u"b", u"q.mp3"},
        {other + u"\u8868", u"C:\\m\\r.mp3"},  // 表 and a real "\\"
    };
    EXPECT_EQ(Match(entries, note), (std::vector<int>{0}));
    EXPECT_EQ(Match(entries, std::u16string(1, note[0])), (std::vector<int>{})) << "half a pair";
    EXPECT_EQ(Match(entries, std::u16string(1, note[1]) + u"b"), (std::vector<int>{}));
    EXPECT_EQ(Match(entries, u"\\"), (std::vector<int>{1}));
    EXPECT_EQ(Match(entries, other + u"\u8868"), (std::vector<int>{1}));
}

TEST(CaseFold, FoldsWholeCharactersOnlyAndKeepsWhatHasNoOtherCase) {
    // A double-byte code page of two lead bytes: 0x82 0x81 is a small letter whose
    // capital is 0x82 0x60; a single "a" folds too; 0x95 0x5C keeps its trail byte.
    const TCaseFold fold([](unsigned char c) { return c == 0x82 || c == 0x95; }, [](unsigned code) {
        TFoldChar info;
        if (code == 0x8281) info.Folded = 0x8260;
        if (code == 0x955C) info.Folded = 0x957C;  // a system answer that is no capital of it
        if (code == '\\') info.Folded = '|';
        if (code >= 'a' && code <= 'z') info.Folded = code - 32;
        return info;
    });
    EXPECT_EQ(fold.Folded("a\x82\x81" "b"), "A\x82\x60" "B");
    EXPECT_EQ(fold.Folded("\x95\x5C" "a\\"), "\x95\x7C" "A|") << "the pair folds as one character";
    EXPECT_EQ(fold.Folded("\x82"), "\x82") << "a lead byte at the end stays";
}
