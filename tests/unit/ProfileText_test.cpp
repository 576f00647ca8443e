#include "base/ProfileText.h"

#include <gtest/gtest.h>

TEST(ProfileText, MatchesNamesWithoutCaseAndStripsValues) {
    TProfileText ini("\xEF\xBB\xBF[Other]\nkey=other\r\n"
                     "[ VelvetLister PLUG-IN ]\r\n"
                     "  Key = value with  blanks  \r\n"
                     "dq=\" inner \"\n"
                     "sq=' inner '\n"
                     "mixed=\"abc'\n"
                     "lone=\"\n"
                     "empty=\n"
                     "novalue\n"
                     "a=b=c\n"
                     "key=second\n"
                     "[velvetlister plug-in]\nlate=1\n");
    auto read = ini.Reader("VelvetLister Plug-in");
    EXPECT_EQ(read("KEY"), "value with  blanks");
    EXPECT_EQ(read("dq"), " inner ");
    EXPECT_EQ(read("sq"), " inner ");
    EXPECT_EQ(read("mixed"), "\"abc'");
    EXPECT_EQ(read("lone"), "\"");
    EXPECT_EQ(read("empty"), "");
    EXPECT_EQ(read("novalue"), std::nullopt);
    EXPECT_EQ(read("a"), "b=c");
    EXPECT_EQ(read("late"), std::nullopt);  // only the first section of a name is read
    EXPECT_EQ(ini.Read("other", "key"), "other");
    EXPECT_EQ(ini.Read("missing", "key"), std::nullopt);
}

TEST(ProfileText, CutsLongValuesLikeTheCallersBuffer) {
    std::string longValue(3000, 'x');
    EXPECT_EQ(StripProfileValue(longValue).size(), kProfileValueLimit);
    // Too long to fit: the opening quote goes, the closing one is cut off.
    EXPECT_EQ(StripProfileValue("\"" + longValue + "\""), std::string(kProfileValueLimit, 'x'));
    EXPECT_EQ(StripProfileValue("\"" + std::string(kProfileValueLimit, 'y') + "\""),
              std::string(kProfileValueLimit, 'y'));
}

TEST(ProfileText, ProtectedValuesReadBackAsWritten) {
    for (const char* value : {"plain", "\"\"", "\"a\",\"b\"", "'x'", " lead", "trail\t", "\"", "", "a\"b"})
        EXPECT_EQ(StripProfileValue(ProtectProfileValue(value)), value) << value;
    EXPECT_EQ(ProtectProfileValue("plain"), "plain");  // nothing added where nothing is needed
}
