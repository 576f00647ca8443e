// The case folding and the jump matcher over a small double-byte code page shaped like Shift-JIS:
// lead bytes 0x81-0x9F and 0xE0-0xFC, ASCII and full-width letters folding,
// the ideographic space 0x8140 a blank.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entries/JumpMatch.h"

namespace {

bool Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TFoldChar Query(unsigned code) {
    TFoldChar info;
    if (code >= 'A' && code <= 'Z') info.Folded = code + 0x20;
    if (code >= 0x8260 && code <= 0x8279) info.Folded = code + 0x21;  // full-width A-Z to a-z
    if (code == 0x8145) info.Folded = 0x41;  // a fold that would change the character's length: left out
    info.Blank = code == ' ' || code == '\t' || code == 0x8140;
    return info;
}

struct TEntry {
    std::string Title, FileName;
};

class JumpMatch : public ::testing::Test {
protected:
    std::vector<int> Match(const std::vector<TEntry>& entries, const std::string& text) {
        index.Assign(
            static_cast<int>(entries.size()), [&](int i) { return std::string_view(entries[i].Title); },
            [&](int i) { return std::string_view(entries[i].FileName); });
        return index.Match(text);
    }
    TCaseFold folding{&Lead, &Query};
    TJumpIndex index{folding};
};

const std::string kHyo = "\x95\x5C";       // 表: its trail byte is the byte of "\"
const std::string kSo = "\x83\x5C";        // ソ
const std::string kFullA = "\x82\x60";     // Ａ
const std::string kFullSmallA = "\x82\x81";  // ａ

}  // namespace

TEST_F(JumpMatch, WordsMatchInTitleOrFileNameIgnoringCaseInListOrder) {
    const std::vector<TEntry> entries = {
        {"Blue Moon", "C:\\Jazz\\blue.mp3"},
        {"Red Sky", "C:\\Rock\\Blue Sky.mp3"},
        {"Green", "C:\\Jazz\\green.mp3"},
    };
    EXPECT_EQ(Match(entries, "BLUE"), (std::vector<int>{0, 1}));
    EXPECT_EQ(Match(entries, "jazz  blue"), (std::vector<int>{0}));  // one word in each text
    EXPECT_EQ(Match(entries, "sky\tRED"), (std::vector<int>{1}));
    EXPECT_EQ(Match(entries, "blue green"), (std::vector<int>{}));  // every word must occur
    EXPECT_EQ(Match(entries, "mp3 rock.mp3"), (std::vector<int>{}));  // "rock.mp3" occurs nowhere
    EXPECT_EQ(Match(entries, " \t "), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Match(entries, ""), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Match({}, "a"), (std::vector<int>{}));
}

TEST_F(JumpMatch, FullWidthLettersFoldAndTheIdeographicSpaceSeparatesWords) {
    const std::vector<TEntry> entries = {
        {kFullA + "BC", "x.mp3"},
        {kFullSmallA + "bc", "y.mp3"},
        {"abc", "z.mp3"},
    };
    EXPECT_EQ(Match(entries, kFullSmallA + "B"), (std::vector<int>{0, 1}));
    EXPECT_EQ(Match(entries, kFullA), (std::vector<int>{0, 1}));
    EXPECT_EQ(Match(entries, "abc"), (std::vector<int>{2}));  // a full-width letter is not its ASCII twin
    EXPECT_EQ(Match(entries, "x\x81\x40" "bc"), (std::vector<int>{0}));
    EXPECT_EQ(folding.Folded("\x81\x45"), "\x81\x45");  // a length-changing fold is not taken
}

TEST_F(JumpMatch, MatchesStartAndEndOnCharacterBoundariesOnly) {
    const std::vector<TEntry> entries = {
        {kHyo + kSo, "song.mp3"},             // no real "\"
        {"a" + kHyo, "C:\\music\\b.mp3"},     // a real "\" in the path
        {"\x83\x60\x83\x41", "q.mp3"},       // trail bytes "`" and "A"
        {"x" + kHyo + "y", "r.mp3"},
    };
    EXPECT_EQ(Match(entries, "\\"), (std::vector<int>{1}));
    EXPECT_EQ(Match(entries, kHyo), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(Match(entries, "`"), (std::vector<int>{}));
    EXPECT_EQ(Match(entries, "a"), (std::vector<int>{1}));
    EXPECT_EQ(Match(entries, "\\y"), (std::vector<int>{}));       // would begin on a trail byte
    EXPECT_EQ(Match(entries, "x\x95"), (std::vector<int>{}));     // would end inside 表
    EXPECT_EQ(Match(entries, "\x5C" + kSo), (std::vector<int>{}));
    EXPECT_EQ(Match(entries, kSo + " song"), (std::vector<int>{0}));
    // A lead byte with nothing after it stands alone and folds to itself.
    EXPECT_EQ(Match({{"end\x95", "e.mp3"}}, "\x95"), (std::vector<int>{0}));
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
