#include "base/Extensions.h"

#include <gtest/gtest.h>

#include <random>

TEST(CommaText, ParsesSeparatorsQuotesAndEmptyItems) {
    using V = std::vector<std::string>;
    const std::pair<const char*, V> cases[] = {
        {"", V{}},
        {"  \t ", V{}},
        {".a,.b", V{".a", ".b"}},
        {" .a  .b\t\r\n.c ", V{".a", ".b", ".c"}},
        {".a , .b", V{".a", ".b"}},  // a comma among blanks is one separator
        {".a,,.b", V{".a", "", ".b"}},
        {",.a", V{"", ".a"}},
        {".a,", V{".a"}},
        {"\"\"", V{""}},
        {"\"a b\",\"c,d\"", V{"a b", "c,d"}},
        {"\"say \"\"hi\"\"\"", V{"say \"hi\""}},
        {"\"open ended", V{"open ended"}},
        {"\"a\"b", V{"a", "b"}},
        {"x\"y", V{"x\"y"}},
        {"\xE3\x81\x82,.b", V{"\xE3\x81\x82", ".b"}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(ParseCommaText(text), items) << text;
}

TEST(CommaText, WritesQuotedItemsOnlyWhereNeeded) {
    EXPECT_EQ(FormatCommaText({".mp3", ".wav"}), ".mp3,.wav");
    EXPECT_EQ(FormatCommaText({""}), "\"\"");
    EXPECT_EQ(FormatCommaText({}), "");
    EXPECT_EQ(FormatCommaText({"a b", "c,d", "q\"q", "t\tt"}), "\"a b\",\"c,d\",\"q\"\"q\",\"t\tt\"");
}

TEST(CommaText, RandomItemsSurviveARoundTrip) {
    std::mt19937 rng(12345);
    const std::string alphabet = std::string("ab.\" ,\t\x01\xff", 10);  // NUL included
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> items(rng() % 5);
        for (auto& item : items)
            for (unsigned n = rng() % 6; n > 0; --n)
                item += alphabet[rng() % alphabet.size()];
        EXPECT_EQ(ParseCommaText(FormatCommaText(items)), items) << FormatCommaText(items);
    }
}

TEST(ExtensionSet, LowerCasesSortsAndIgnoresDuplicates) {
    TExtensionSet set;
    set.AssignCommaText(".Wav,.MP3,.mp3");
    EXPECT_EQ(set.Values(), (std::vector<std::string>{".mp3", ".wav"}));
    EXPECT_TRUE(set.Contains(".WAV"));
    EXPECT_FALSE(set.Contains(".ogg"));
    EXPECT_FALSE(set.Add(".Mp3"));
    EXPECT_TRUE(set.Add(".OGG"));
    EXPECT_EQ(set.ToCommaText(), ".mp3,.ogg,.wav");
    EXPECT_TRUE(set.Remove(".WAV"));
    EXPECT_FALSE(set.Remove(".wav"));
    EXPECT_EQ(set.ToCommaText(), ".mp3,.ogg");
}

TEST(ExtensionSet, LeavesTrailBytesOfDoubleByteCharactersAlone) {
    // Shift-JIS 0x83 0x41 is one character whose trail byte is the code of "A".
    TExtensionSet set([](unsigned char c) { return c >= 0x81 && c <= 0x9F; });
    set.AssignCommaText(".\x83\x41X");
    EXPECT_EQ(set.Values(), std::vector<std::string>{".\x83\x41x"});
    EXPECT_EQ(LowerAscii(".\x83\x41X"), ".\x83\x61x");  // without the test every byte is ASCII-lowered
}
