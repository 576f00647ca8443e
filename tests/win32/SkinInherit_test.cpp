// The "Inherit" option in the real plug-in: the host's skin folder's pledit.txt
// colouring the list (its pixels), skin changes, hostile files, the preferences page.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include "ConfigureDriver.h"
#include "PluginFixture.h"
#include "playlist/PlayList_win.h"
#include "preferences/Configure_win.h"
#include "resources/resource.h"
#include "skin/WatermarkSkin_win.h"

namespace {
const char kPlEdit[] = "[Text]\r\nnormal=#00FF00\r\nCURRENT=FFFFFF\r\nNormalBG=\"#000000\"\r\nSelectedBG=#0000C6\r\nFont=Tahoma\r\n";

class InheritSkin : public TPluginTest {
protected:
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }
    void SetUp() override {
        TPluginTest::SetUp();
        CreateDirectoryA(PathIn("skin").c_str(), nullptr);
        CreateDirectoryA(PathIn("plain").c_str(), nullptr);
    }
    // The host with two tracks, the first playing, its skin folder "skin" holding `plEdit`.
    void Start(const std::string& pluginIni, const std::string& plEdit = kPlEdit) {
        WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.EnableDrawFontShadow=0\r\n" + pluginIni);
        WriteFile("skin\\pledit.txt", plEdit);
        StartHost();
        host->Playlist = {WriteMp3("a.mp3", "AAAA"), WriteMp3("b.mp3", "BBBB")};
        host->SkinDirectory = PathIn("skin");
        StartPlugin();
        host->SetPosition(0);
        Pump();
    }
    TFormPlayList& Pl() { return *static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA))); }
    HWND List() { return Pl().ListBox()->Handle(); }
    void ChangeSkin(const std::string& folder) {
        host->SkinDirectory = PathIn(folder);
        COPYDATASTRUCT cds{10650, 0, nullptr};  // the host's skin notification
        SendMessageW(PlayListWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    }
    // The pixels of a row across the list, freshly painted.
    std::vector<COLORREF> Row(int row) {
        RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r{};
        SendMessageW(List(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        std::vector<COLORREF> out;
        HDC dc = GetDC(List());
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) out.push_back(GetPixel(dc, x, y));
        ReleaseDC(List(), dc);
        return out;
    }
    static bool Has(const std::vector<COLORREF>& px, COLORREF c) { return std::find(px.begin(), px.end(), c) != px.end(); }
    std::string ShownFace() {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return lf.lfFaceName;
    }
};
}  // namespace

TEST_F(InheritSkin, PlEditColoursTheListUntilTheSkinChangesAndNothingIsStored) {
    Start("Option.InheritSkinColors=1\r\nFont.Face=DejaVu Sans\r\nFont.Color.Normal=#102030\r\n");
    SendMessageW(List(), LB_SETSEL, TRUE, 1);
    const std::vector<COLORREF> selected = Row(1);
    EXPECT_EQ(selected.back(), RGB(0, 0, 0xC6)) << "the bar spans the row";
    EXPECT_TRUE(Has(selected, RGB(0, 255, 0))) << "text on the bar in the normal colour";
    EXPECT_TRUE(Has(Row(0), RGB(255, 255, 255))) << "the playing entry";
    EXPECT_EQ(Row(0).back(), RGB(0, 0, 0)) << "the background";
    EXPECT_EQ(ShownFace(), "Tahoma");

    ChangeSkin("plain");  // a skin without pledit.txt: our own look at once
    EXPECT_FALSE(Has(Row(1), RGB(0, 0, 0xC6)));
    EXPECT_NE(Row(0).back(), RGB(0, 0, 0));
    EXPECT_EQ(ShownFace(), "DejaVu Sans");
    ChangeSkin("skin");
    host->DestroyWindows();  // the save keeps our own colour and face
    char text[64] = {};
    GetPrivateProfileStringA("VelvetLister Plug-in", "Font.Color.Normal", "", text, sizeof text, PluginIniPath().c_str());
    EXPECT_STREQ(text, "16.32.48");
    GetPrivateProfileStringA("VelvetLister Plug-in", "Font.Face", "", text, sizeof text, PluginIniPath().c_str());
    EXPECT_STREQ(text, "DejaVu Sans");
}

TEST_F(InheritSkin, WhatAVelvetListerTxtBesideItSetsWins) {
    WriteFile("skin\\VelvetLister.txt", "[VelvetLister Plug-in]\r\nFont.Color.Normal=#FF00FF\r\nFont.Face=DejaVu Sans\r\n");
    Start("Option.InheritSkinColors=1\r\n");
    EXPECT_EQ(Pl().Skin()->ShownColours().Normal, RGB(255, 0, 255));
    EXPECT_EQ(Pl().Skin()->ShownColours().Background, 0u) << "pledit.txt fills the rest";
    EXPECT_EQ(ShownFace(), "DejaVu Sans");
}

TEST_F(InheritSkin, HostileFilesGiveWhatTheyCanAndNeverFail) {
    std::string binary(10 << 20, '\0'), utf16("\xFF\xFE");
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 2654435761u >> 13);
    for (char c : std::string("[Text]\r\nNormal=#123456\r\n")) utf16 += std::string{c, '\0'};
    const std::pair<std::string, std::optional<std::uint32_t>> cases[] = {{utf16, 0x563412u},
        {"[Text]\r\nNormal=" + std::string(100000, '7') + "\r\n", std::nullopt}, {"Normal=#00FF00\r\n", std::nullopt},
        {std::string(100000, '=') + "\r\n[Text]\r\nNormal=#00FF00\r\n", 0x00FF00u}};
    Start("Option.InheritSkinColors=1\r\n", binary);
    EXPECT_EQ(Pl().Skin()->Inherited(), TInheritedLook{});
    for (const auto& [bytes, normal] : cases) {
        WriteFile("skin\\pledit.txt", bytes);
        ChangeSkin("skin");
        EXPECT_EQ(Pl().Skin()->Inherited().NormalColor, normal) << bytes.substr(0, 20);
    }
    EXPECT_EQ(Pl().EntryCount(), 2);
}

TEST_F(InheritSkin, ThePageNamesTheFileAndUpdateTurnsTheLookOnAndOffAtOnce) {
    Start("Option.Locale=0409\r\nFont.Face=DejaVu Sans\r\n");
    host->Config();
    Pump();
    ChangeSkin("skin");  // the option off: our own look across skin changes
    EXPECT_NE(Row(0).back(), RGB(0, 0, 0));
    TConfigureDriver d(FindPreferences());
    d.ClickPage(TFormConfigure::TabSheetInherit);
    const std::string file = PathIn("skin\\pledit.txt");
    EXPECT_EQ(d.Text(IDC_LABEL_INHERIT_FILE), std::wstring(file.begin(), file.end()));
    d.Click(IDC_CHECK_INHERIT_SKIN);
    d.Click(IDC_CONFIG_UPDATE);
    EXPECT_EQ(Row(0).back(), RGB(0, 0, 0));
    EXPECT_EQ(ShownFace(), "Tahoma");
    d.Click(IDC_CHECK_INHERIT_SKIN);
    d.Click(IDC_CONFIG_OK);
    EXPECT_NE(Row(0).back(), RGB(0, 0, 0));
    EXPECT_EQ(ShownFace(), "DejaVu Sans");
}
