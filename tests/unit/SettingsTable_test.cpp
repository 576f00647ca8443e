#include "host/SettingsTable.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TPluginSettings LoadFrom(const std::string& sectionBody) {
    TProfileText ini("[VelvetLister Plug-in]\r\n" + sectionBody);
    TPluginSettings s;
    LoadPluginSettings(ini.Reader(kPluginSettingsSection), s);
    return s;
}

std::string AsProfileText(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string text = "[VelvetLister Plug-in]\r\n";
    for (const auto& [key, value] : pairs)
        text += key + "=" + value + "\r\n";
    return text;
}

}  // namespace

TEST(PluginSettings, NoSectionGivesEveryDefault) {
    THostSettings host;
    host.EditorTop = 11, host.EditorLeft = 12, host.EditorWidth = 300, host.EditorHeight = 200;
    host.ShowNumbersInPlaylist = true;
    TPluginSettings s;
    ApplyHostDefaults(host, s);
    std::vector<std::string> asked;
    LoadPluginSettings([&](const std::string& key) { asked.push_back(key); return std::nullopt; }, s);

    EXPECT_EQ(std::vector<int>({s.WindowTop, s.WindowLeft, s.WindowWidth, s.WindowHeight}),
              std::vector<int>({11, 12, 300, 200}));
    EXPECT_TRUE(s.JapaneseCaptions);
    EXPECT_TRUE(s.ShowControlPanel && s.SongAddLast && s.EnableEqualizerRelocation && s.EnableAboutWinamp);
    EXPECT_TRUE(s.ShowSongNumber);
    EXPECT_FALSE(s.ShowSongTime || s.AutomaticShowPL || s.AutomaticShowEQ || s.EnableDrawFontShadow || s.PreferID3v2);
    EXPECT_EQ(s.PlaylistFormat, "${INAM}");
    EXPECT_EQ(s.AudioExtensions.ToCommaText(), kDefaultAudioExtensions);
    EXPECT_FALSE(s.ShadowColor);
    // Every key is asked for once, the shadow colour right after the normal one.
    ASSERT_EQ(asked.size(), PluginSettingKeys().size());
    EXPECT_EQ(asked[11], "Font.Color.Shadow");
    EXPECT_EQ(asked[12], "Option.Locale");
}

TEST(PluginSettings, LocaleOnlyExactly0411) {
    EXPECT_TRUE(LoadFrom("Option.Locale= 0411 \r\n").JapaneseCaptions);
    for (const char* value : {"0000", "041", "\"0411 \"", "0x19B"})
        EXPECT_FALSE(LoadFrom(std::string("Option.Locale=") + value + "\r\n").JapaneseCaptions) << value;
}

TEST(PluginSettings, FormatKeepsBlanksInsideQuotes) {
    EXPECT_EQ(LoadFrom("Option.Playlist.Format=\" ${IART} - ${INAM} \"\r\n").PlaylistFormat, " ${IART} - ${INAM} ");
    EXPECT_EQ(LoadFrom("Option.Playlist.Format=\"\r\n").PlaylistFormat, "");
    EXPECT_EQ(LoadFrom("Option.Playlist.Format=${FNAM}\r\n").PlaylistFormat, "${FNAM}");
}

TEST(PluginSettings, ValuesOfEachType) {
    TPluginSettings s = LoadFrom("Window.Position.X=-50\r\nWindow.Position.Y=12px\r\nFont.Point=$C\r\n"
                                 "Font.Style.Bold=2\r\nFont.Color.Play=255.128.0\r\nFont.Color.Shadow=\r\n"
                                 "Option.SongAddLast=no\r\nOption.AudioFileExtensions=.MP3,.Wav\r\n");
    EXPECT_EQ(s.WindowLeft, -50);  // pulled onto the screen later, by the window
    EXPECT_EQ(s.WindowTop, 0);     // not a number: the default stays
    EXPECT_EQ(s.FontPoint, 12);
    EXPECT_TRUE(s.FontBold);
    EXPECT_EQ(s.PlayColor, 0x0080FFu);
    EXPECT_FALSE(s.ShadowColor);
    EXPECT_TRUE(s.SongAddLast);
    EXPECT_EQ(s.AudioExtensions.Values(), (std::vector<std::string>{".mp3", ".wav"}));
    EXPECT_EQ(LoadFrom("Font.Color.Shadow=0.0.255\r\n").ShadowColor, 0xFF0000u);
}

TEST(PluginSettings, SaveWritesExactlyTheTableInOrder) {
    TPluginSettings s;
    s.JapaneseCaptions = false;
    s.PlaylistFormat = " ${INAM} ";
    s.ShadowColor = 5;
    s.SelectColor = 0x0080FF;
    s.AudioExtensions.Assign({".a b", ".c,d", ""});
    auto saved = SavePluginSettings(s);
    const std::vector<std::string> expectedKeys = {
        "Window.Position.Y", "Window.Position.X", "Window.Size.Width", "Window.Size.Height", "Font.Face",
        "Font.Point", "Font.Style.Bold", "Font.Style.Italic", "Font.Color.Play", "Font.Color.Select",
        "Font.Color.Normal", "Option.Locale", "Option.ShowControlPanel", "Option.AutomaticShowPL",
        "Option.AutomaticShowEQ", "Option.AlwaysOnTop", "Option.SongAddLast", "Option.ShowSongNumber",
        "Option.ShowSongTime", "Option.WindowPositionOverrideByWSC", "Option.WindowSizeOverrideByWSC",
        "Option.InheritSkinColors", "Option.EnableEqualizerRelocation", "Option.EnableDrawFontShadow", "Option.PreferID3v2", "Option.ReadSongLength",
        "Option.Playlist.Format", "Option.EnableAboutWinamp", "Option.WatermarkSkin.FG", "Option.WatermarkSkin.BG",
        "Option.AudioFileExtensions"};
    std::vector<std::string> keys;
    std::map<std::string, std::string> byKey;
    for (const auto& [key, value] : saved)
        keys.push_back(key), byKey[key] = value;
    EXPECT_EQ(keys, expectedKeys);
    EXPECT_EQ(byKey["Option.Locale"], "0000");
    EXPECT_EQ(byKey["Option.Playlist.Format"], "\" ${INAM} \"");
    EXPECT_EQ(byKey["Font.Color.Select"], "255.128.0");
    EXPECT_EQ(byKey["Option.ShowControlPanel"], "1");
    EXPECT_EQ(byKey["Option.AutomaticShowPL"], "0");
    EXPECT_EQ(byKey["Option.InheritSkinColors"], "0") << "off unless chosen";
    // The comma text "",".a b",".c,d" gets one more pair of quotes, which the
    // profile reader takes off again.
    EXPECT_EQ(byKey["Option.AudioFileExtensions"], "\"\"\",\".a b\",\".c,d\"\"");
}

TEST(PluginSettings, SavedSectionLoadsBackUnchanged) {
    TPluginSettings s;
    s.WindowTop = -3, s.WindowLeft = 40, s.WindowWidth = 500, s.WindowHeight = 321;
    s.FontFace = "MS UI Gothic", s.FontPoint = 9, s.FontItalic = true;
    s.PlayColor = 0x123456, s.NormalColor = 0xFFFFFF;
    s.JapaneseCaptions = false, s.ShowControlPanel = false, s.AlwaysOnTop = true, s.ShowSongTime = true;
    s.PlaylistFormat = "  ${IART} \"${INAM}\"  ";
    s.WatermarkFG = "skins\\fg.bmp";
    s.AudioExtensions.Assign({".a b", ".mp3", ".q\"q"});  // quoted first and last items
    TPluginSettings back;
    LoadPluginSettings(TProfileText(AsProfileText(SavePluginSettings(s))).Reader(kPluginSettingsSection), back);
    EXPECT_EQ(SavePluginSettings(back), SavePluginSettings(s));
    // Quotes of the format's own at its ends survive too.
    for (const char* format : {"\"${INAM}\"", "\"", "a\"\""}) {
        s.PlaylistFormat = format;
        LoadPluginSettings(TProfileText(AsProfileText(SavePluginSettings(s))).Reader(kPluginSettingsSection), back);
        EXPECT_EQ(back.PlaylistFormat, format);
    }
}

TEST(PluginSettings, OneEmptyExtensionAndQuotedNamesReadBack) {
    for (std::vector<std::string> items : {std::vector<std::string>{""}, std::vector<std::string>{"'a", "b'"}}) {
        TPluginSettings s;
        s.AudioExtensions.Assign(items);
        s.FontFace = " 'odd' ";
        TPluginSettings back;
        LoadPluginSettings(TProfileText(AsProfileText(SavePluginSettings(s))).Reader(kPluginSettingsSection), back);
        EXPECT_EQ(back.AudioExtensions.Values(), items);
        EXPECT_EQ(back.FontFace, " 'odd' ");
    }
}

TEST(PluginSettings, LineBreaksCannotInjectKeys) {
    TPluginSettings s;
    s.PlaylistFormat = "${INAM}\r\nOption.Locale=0411";
    s.JapaneseCaptions = false;
    TPluginSettings back;
    LoadPluginSettings(TProfileText(AsProfileText(SavePluginSettings(s))).Reader(kPluginSettingsSection), back);
    EXPECT_FALSE(back.JapaneseCaptions);
    EXPECT_EQ(back.PlaylistFormat, "${INAM}  Option.Locale=0411");
}

TEST(HostSettings, ReadsWinampSectionOverCallerDefaults) {
    TProfileText ini("[Winamp]\r\npe_wx=5\r\npe_open=1\r\npilp=$A\r\nsnaplen=-8\r\npe_height=tall\r\n");
    THostSettings h;
    h.EditorHeight = 116;
    LoadHostSettings(ini.Reader(kHostSettingsSection), h);
    EXPECT_EQ(h.EditorLeft, 5);
    EXPECT_EQ(h.EditorHeight, 116);
    EXPECT_TRUE(h.EditorOpen);
    EXPECT_EQ(h.PlaylistPosition, 10);
    EXPECT_EQ(h.SnapDistance(), 8);
    THostSettings none;
    LoadHostSettings([](const std::string&) { return std::nullopt; }, none);
    EXPECT_EQ(none.SnapDistance(), 10);
}
