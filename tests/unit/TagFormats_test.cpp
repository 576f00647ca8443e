// The text and field rules that every reader of the tag-reader table shares.
#include <gtest/gtest.h>

#include <string>

#include "fileinfo/TagFields.h"
#include "fileinfo/TagText.h"

namespace {

// The test's "code page" is UTF-8, so that expected texts can be written plainly;
// U+FFFD shows as "?" as it does in every ANSI code page.
std::string ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c == 0xFFFD) { out += '?'; continue; }
        if (c < 0x80) { out += char(c); continue; }
        if (c < 0x800) { out += char(0xC0 | c >> 6); }
        else if (c < 0x10000) { out += char(0xE0 | c >> 12); out += char(0x80 | (c >> 6 & 0x3F)); }
        else { out += char(0xF0 | c >> 18); out += char(0x80 | (c >> 12 & 0x3F)); out += char(0x80 | (c >> 6 & 0x3F)); }
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

std::string Utf16Le(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------- shared rules

TEST(TagText, UnicodeValuesEndAtNulLoseTheMarkAndAreTrimmed) {
    EXPECT_EQ(Utf8TagText("  日本語 \0second", &ToUtf8), "日本語");
    EXPECT_EQ(Utf8TagText(std::string_view("\xEF\xBB\xBF" "Caf\xC3\xA9\t", 8), &ToUtf8), "Café");
    EXPECT_EQ(Utf8TagText("bad \xFF byte", &ToUtf8), "bad ? byte");
    EXPECT_EQ(Utf8TagText(std::string_view("\0after", 6), &ToUtf8), "");
    EXPECT_EQ(Utf16LeTagText(Utf16Le(u"\uFEFF タイトル ") + std::string("\0\0more", 6), &ToUtf8), "タイトル");
    EXPECT_EQ(Utf16LeTagText(Utf16Le(u"a\xD800z") + "x", &ToUtf8), "a?z");  // lone surrogate, odd byte
}

TEST(TagText, LongValuesAreCutAt64KiBOnACharacterBoundary) {
    // 65,535 ASCII bytes and then "日": the cut falls inside the character.
    const std::string longText = std::string(kMaxTagValueBytes - 1, 'a') + "日本";
    const std::string cut = Utf8TagText(longText, &ToUtf8);
    EXPECT_EQ(cut, std::string(kMaxTagValueBytes - 1, 'a'));
    // A reader that read only the first bytes says so; a complete value keeps its end.
    EXPECT_EQ(Utf8TagText("ab\xE6\x97", &ToUtf8, true), "ab");
    EXPECT_EQ(Utf8TagText("ab\xE6\x97\xA5", &ToUtf8, true), "ab日");
    EXPECT_EQ(Utf8TagText("ab\xE6\x97", &ToUtf8), "ab?");
    const std::string wide = Utf16Le(std::u16string(kMaxTagValueBytes / 2 - 1, u'b') + u"\U0001F600");
    EXPECT_EQ(Utf16LeTagText(wide, &ToUtf8), std::string(kMaxTagValueBytes / 2 - 1, 'b'));
}

TEST(TagFields, FirstValueCountsBetterRankWinsEmptyValuesDoNot) {
    TTagKey key{};
    ASSERT_TRUE(CommonTagKey("description", key));
    EXPECT_EQ(key.Field, TInfoField::Comment);
    TTagFields fields;
    fields.Offer(key.Field, "from description", key.Rank);
    ASSERT_TRUE(CommonTagKey("Comment", key));
    EXPECT_TRUE(fields.Wants(key.Field, key.Rank));
    fields.Offer(key.Field, "from comment", key.Rank);
    fields.Offer(key.Field, "second comment", key.Rank);
    ASSERT_TRUE(CommonTagKey("YEAR", key));
    fields.Offer(key.Field, "1999", key.Rank);
    ASSERT_TRUE(CommonTagKey("date", key));
    fields.Offer(key.Field, "2001-05-06", key.Rank);
    ASSERT_TRUE(CommonTagKey("ENCODED-BY", key));
    fields.Offer(key.Field, "first tool", key.Rank);
    ASSERT_TRUE(CommonTagKey("encoder", key));
    EXPECT_FALSE(fields.Wants(key.Field, key.Rank));  // equal rank: the first found counts
    fields.Offer(TInfoField::Title, "");
    fields.Offer(TInfoField::Title, "Title");
    EXPECT_FALSE(CommonTagKey("TITLEX", key));
    EXPECT_FALSE(CommonTagKey("METADATA_BLOCK_PICTURE", key));

    TMP3FileInfo info;
    info.SetTitle("file name");
    info.SetArtist("kept");
    EXPECT_TRUE(fields.StoreInto(info));
    EXPECT_EQ(info.Title(), "Title");
    EXPECT_EQ(info.Artist(), "kept");
    EXPECT_EQ(info.Comment(), "from comment");
    EXPECT_EQ(info.Year(), "2001-05-06");
    EXPECT_EQ(info.Software(), "first tool");
    EXPECT_FALSE(TTagFields().StoreInto(info));
}
