// The portable profile reader against the platform's: both must read the same
// file to the same values, or settings and skins would behave differently in
// the unit tests than in the plug-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "base/ProfileFile_win.h"
#include "host/SettingsTable.h"

namespace {

std::string TempIni(const char* name) { return TempName(name) + ".ini"; }

const char kText[] =
    "before=1\r\n"
    "[Other]\r\nkey=other\r\n"
    "[ VelvetLister PLUG-IN ]\r\n"
    "  Key = value with  blanks  \r\n"
    "dq=\" inner \"\r\n"
    "sq=' inner '\r\n"
    "mixed=\"abc'\r\n"
    "lone=\"\r\n"
    "empty=\r\n"
    "novalue\r\n"
    "a=b=c\r\n"
    "tabbed=\tx\t\r\n"
    "key=second\r\n"
    "Option.Playlist.Format=\"\"${INAM}\"\"\r\n"
    ";comment=1\r\n"
    "[broken\r\n"
    "afterbroken=2\r\n"
    " = nokey\r\n"
    "ctl=\x01x\x1a\r\n"
    "[velvetlister plug-in]\r\nlate=1\r\n";

}  // namespace

TEST(ProfileFile, ReadsLikeThePortableReader) {
    std::string path = TempIni("vl_profile_");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    WriteFile(h, kText, sizeof kText - 1, &done, nullptr);
    CloseHandle(h);

    TProfileText portable(kText);
    TProfileReader platform = ProfileFileReader(path, "VelvetLister Plug-in");
    for (const char* key : {"KEY", "dq", "sq", "mixed", "lone", "empty", "novalue", "a", "tabbed", "late",
                            "Option.Playlist.Format", "missing", ";comment",
                            "[broken", "afterbroken", "", "ctl", "before"})
        EXPECT_EQ(platform(key), portable.Read("VelvetLister Plug-in", key)) << key;
    EXPECT_EQ(platform("empty"), "");
    EXPECT_EQ(platform("missing"), std::nullopt);
    EXPECT_EQ(ProfileFileReader(path, "Nowhere")("key"), std::nullopt);
    EXPECT_EQ(ProfileFileReader(path + ".none", "Other")("key"), std::nullopt);
    DeleteFileA(path.c_str());
}

// Settings written through the platform read back to the same values, blanks
// and quotes of the title format and of the extension list included.
TEST(ProfileFile, SettingsSurviveThePlatformsProfileFunctions) {
    std::string path = TempIni("vl_settings_");
    TPluginSettings s;
    s.WindowLeft = -50, s.FontFace = "Arial", s.PlayColor = 0x0080FF, s.JapaneseCaptions = false;
    s.PlaylistFormat = " \"${INAM}\" ";
    s.WatermarkFG = "..\\Pictures\\fg.bmp";
    s.AudioExtensions.Assign({".MP3", ".a b", ".q\"q", ".c,d"});
    for (const auto& [key, value] : SavePluginSettings(s))
        ASSERT_TRUE(WritePrivateProfileStringA(kPluginSettingsSection, key.c_str(), value.c_str(), path.c_str()));
    TPluginSettings back;
    back.WindowLeft = 7;
    LoadPluginSettings(ProfileFileReader(path, kPluginSettingsSection), back);
    EXPECT_EQ(back.WindowLeft, -50);
    EXPECT_EQ(back.PlaylistFormat, s.PlaylistFormat);
    EXPECT_EQ(back.AudioExtensions, s.AudioExtensions);
    EXPECT_EQ(SavePluginSettings(back), SavePluginSettings(s));
    DeleteFileA(path.c_str());
}
