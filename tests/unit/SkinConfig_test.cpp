#include "skin/SkinConfig.h"
#include "skin/PlEditText.h"

#include <gtest/gtest.h>

namespace {

TSkinConfiguration Read(const std::string& body) {
    TProfileText ini("[VelvetLister Plug-in]\r\n" + body);
    return ReadSkinConfigurationValues(ini.Reader(kSkinConfigSection));
}

}  // namespace

TEST(SkinConfig, FileWithoutKeysChangesNothing) {
    TSkinConfiguration c = Read("[Elsewhere]\r\nFont.Face=Arial\r\n");
    EXPECT_FALSE(c.WindowLeft || c.WindowTop || c.WindowWidth || c.WindowHeight);
    EXPECT_FALSE(c.FontFace || c.FontPoint || c.FontBold || c.FontItalic);
    EXPECT_FALSE(c.PlayColor || c.SelectColor || c.NormalColor || c.ShadowColor);
    EXPECT_FALSE(c.ForegroundPath || c.BackgroundPath);
    EXPECT_EQ(c.EqualizerLayout, 0);
    EXPECT_EQ(std::vector<int>({c.EqualizerOffsetX, c.EqualizerOffsetY, c.EqualizerZorder}), std::vector<int>(3, 0));
    EXPECT_EQ(SkinWindowBounds(c, true, true, {10, 20, 300, 400}, 1024, 768), std::nullopt);
}

TEST(SkinConfig, ReadsEveryKeyWithoutRegardToCase) {
    TSkinConfiguration c = Read("window.position.x=0x10\r\nWINDOW.POSITION.Y=-5\r\nWindow.Size.Width=wide\r\n"
                                "font.face=\"MS UI Gothic\"\r\nFont.Point=-9\r\nFont.Style.Bold=0\r\n"
                                "Font.Style.Italic=3\r\nfont.color.play=255.0.0\r\nFont.Color.Select=\r\n"
                                "Font.Color.Shadow=0.0.255 shadow\r\nOption.WatermarkSkin.FG=images\\fg.bmp\r\n"
                                "Option.WatermarkSkin.BG=\r\nlayout.winamp.equalizer=Relative\r\n"
                                "Layout.Winamp.Equalizer.Offset.X=10\r\nLayout.Winamp.Equalizer.Offset.Y=-4\r\n"
                                "Layout.Winamp.Equalizer.Zorder=x\r\n");
    EXPECT_EQ(c.WindowLeft, 16);
    EXPECT_EQ(c.WindowTop, -5);
    EXPECT_EQ(c.WindowWidth, std::nullopt);  // not a number counts as absent
    EXPECT_EQ(c.FontFace, "MS UI Gothic");
    EXPECT_EQ(c.FontPoint, -9);
    EXPECT_EQ(c.FontBold, false);
    EXPECT_EQ(c.FontItalic, true);
    EXPECT_EQ(c.PlayColor, 0x0000FFu);
    EXPECT_EQ(c.SelectColor, 0u);  // present but empty: black
    EXPECT_EQ(c.NormalColor, std::nullopt);
    EXPECT_EQ(c.ShadowColor, 0xFF0000u);
    EXPECT_EQ(c.ForegroundPath, "images\\fg.bmp");
    EXPECT_EQ(c.BackgroundPath, "");  // present and empty: remove the picture
    EXPECT_EQ(c.EqualizerLayout, EqualizerLayoutRelative);
    EXPECT_EQ(c.EqualizerOffsetX, 10);
    EXPECT_EQ(c.EqualizerOffsetY, -4);
    EXPECT_EQ(c.EqualizerZorder, 0);
}

TEST(SkinConfig, NoneKeepsThePicture) {
    EXPECT_EQ(Read("Option.WatermarkSkin.FG=::none::\r\n").ForegroundPath, std::nullopt);
    EXPECT_EQ(Read("Option.WatermarkSkin.BG=\"::none::\"\r\n").BackgroundPath, std::nullopt);
    EXPECT_EQ(Read("Option.WatermarkSkin.FG=::NONE::\r\n").ForegroundPath, "::NONE::");
}

TEST(SkinConfig, LayoutKeywords) {
    const std::pair<const char*, int> cases[] = {
        {"inherit", 0}, {"Left", 1}, {"RIGHT", 2}, {"above", 3}, {"Below", 4}, {"Overwrap", 5},
        {"OVERWRAP", 5}, {"oVeRwRaP", 5}, {"relative", 6}, {"centre", 0}, {"", 0}, {"left ", 0}};
    for (const auto& [word, value] : cases)
        EXPECT_EQ(EqualizerLayoutFromKeyword(word), value) << word;
}

TEST(SkinConfig, WindowBoundsFollowTheOverrideOptions) {
    const TBounds current{10, 20, 300, 400};
    TSkinConfiguration c = Read("Window.Position.X=-7\r\nWindow.Position.Y=30\r\nWindow.Size.Width=5000\r\n");
    EXPECT_EQ(SkinWindowBounds(c, false, false, current, 1024, 768), std::nullopt);
    EXPECT_EQ(SkinWindowBounds(c, true, false, current, 1024, 768), (TBounds{0, 30, 300, 400}));
    EXPECT_EQ(SkinWindowBounds(c, false, true, current, 1024, 768), (TBounds{0, 20, 1024, 400}));
    EXPECT_EQ(SkinWindowBounds(c, true, true, current, 1024, 768), (TBounds{0, 30, 1024, 400}));
}

// ---- the player's skin's pledit.txt

TEST(PlEditText, OnlySixHexDigitsMakeAColour) {
    EXPECT_EQ(ParsePlEditColour(" '0000c6' "), 0xC60000u) << "written red first";
    for (const char* bad : {"#00FF0", "00FF000", "#GG0000", "", "#", "0x00FF00", "00 FF 00"})
        EXPECT_EQ(ParsePlEditColour(bad), std::nullopt) << bad;
    const TInheritedLook none = ReadPlEditText(TProfileText("[Text]\r\nNormal=green\r\nFont=\r\n").Reader(kPlEditTextSection));
    EXPECT_EQ(none, TInheritedLook{});
}

TEST(PlEditText, WhatTheSkinConfigurationSetsWins) {
    const TInheritedLook all{1u, 2u, 3u, 4u, "Arial"};
    EXPECT_EQ(WithoutConfigured(all, Read("Font.Color.Normal=1.2.3\r\nFont.Color.Shadow=#000000\r\n")),
              (TInheritedLook{std::nullopt, 2u, std::nullopt, 4u, "Arial"}));
    EXPECT_EQ(WithoutConfigured(all, Read("Font.Color.Play=1.2.3\r\nFont.Color.Select=1.1.1\r\nFont.Face=X\r\n")),
              (TInheritedLook{1u, std::nullopt, 3u, std::nullopt, std::nullopt}));
}

TEST(PlEditText, SelectedRowsOnTheBarKeepTheirUnselectedColour) {
    const TListColours own{0x000000, 0x0000FF, 0xFF0000, 0xFFFFFF, std::nullopt};
    const TListColours shown = ShownColours(own, TInheritedLook{0x00FF00u, std::nullopt, 0x000000u, 0x800000u, {}});
    EXPECT_EQ(RowColours(shown, true, true, false).Title, 0x0000FFu) << "our play colour where the skin gives none";
    EXPECT_EQ(RowColours(shown, false, false, true).Title, 0x007F00u) << "kept: half way to the lent background";
}
