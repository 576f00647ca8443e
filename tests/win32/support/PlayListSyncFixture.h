#pragma once
// The playlist window against the emulated host, as the sync and Unicode tests see it:
// its rows as other programs read them, and the songs of tests/data/unicode.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>
#include "PluginFixture.h"
#include "base/Text_win.h"
#include "playlist/PlayList_win.h"

class PlayListSync : public TPluginTest {
protected:
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }

    // The rows as any program reads a list box.
    std::vector<std::string> Rows() {
        FinishReading();
        HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
        std::vector<std::string> out;
        int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char buffer[4096] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            out.push_back(buffer);
        }
        return out;
    }
    // The rows as they are, titles still out included.
    std::vector<std::string> RowsNow() {
        HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
        std::vector<std::string> out;
        for (int i = 0, n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            char buffer[512] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            out.push_back(buffer);
        }
        return out;
    }
    void Command(UINT id) { SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // The rows as a Unicode program reads them.
    std::vector<std::wstring> WideRows() {
        FinishReading();
        HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
        std::vector<std::wstring> out;
        for (int i = 0, n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            out.push_back(text);
        }
        return out;
    }
    // The songs of tests/data/unicode with the titles their tags hold (written by
    // mutagen): their names and titles, in the order of titles.txt, .mp3 only.
    void UnicodeSongs(std::vector<std::string>& names, std::vector<std::wstring>& titles) {
        const std::string dir = std::string(VL_TEST_DATA_DIR) + "/unicode/";
        std::ifstream in(dir + "titles.txt", std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string::npos || line.compare(tab - 4, 4, ".mp3") != 0) continue;
            names.push_back(dir + line.substr(0, tab));
            titles.push_back(Utf8ToWide(line.substr(tab + 1)));
        }
        ASSERT_EQ(names.size(), 7u);
    }
    // Every title as its tag wrote it, on any code page; a sort by title in the
    // system's Unicode order; the caption of the playing one.
    void ExpectUnicodeTitles(const std::vector<std::wstring>& titles) {
        EXPECT_EQ(WideRows(), titles);
        Command(PopupItemSortTitle);
        std::vector<std::wstring> sorted = titles;
        std::sort(sorted.begin(), sorted.end(), [](const std::wstring& x, const std::wstring& y) {
            return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.c_str(), -1, y.c_str(), -1) == CSTR_LESS_THAN;
        });
        EXPECT_EQ(WideRows(), sorted);
        host->SetPosition(0);
        wchar_t caption[256] = {};
        GetWindowTextW(PlayListWindow(), caption, 256);
        EXPECT_EQ(std::wstring(caption), sorted[0] + L" - VelvetLister");
    }
    std::wstring Caption() {
        FinishReading();
        wchar_t buffer[512] = {};
        GetWindowTextW(PlayListWindow(), buffer, 512);
        return buffer;
    }
};

// A host of version 5.3: its playlist is kept in UTF-16.
class PlayListSyncUnicode : public PlayListSync {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
    TTestHostOptions HostOptions() override {
        TTestHostOptions o;
        o.Version = 0x5030;
        return o;
    }
    std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }  // ASCII only
    // A tagged file under a name the code page may not hold.
    std::wstring WriteWideMp3(const std::wstring& name, const std::string& title) {
        const std::wstring path = Wide(Dir()) + L"\\" + name;
        EXPECT_TRUE(MoveFileExW(Wide(WriteMp3("wide.tmp", title)).c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
        made_.insert(made_.begin(), path);
        return path;
    }
    // The fixture's clean-up goes by 8-bit names, which cannot name these.
    void TearDown() override {
        PlayListSync::TearDown();
        for (const std::wstring& p : made_) DeleteFileW(p.c_str());
        RemoveDirectoryW((Wide(Dir()) + L"\\Ελλάδα").c_str());
        RemoveDirectoryW(Wide(Dir()).c_str());
    }
    std::vector<std::wstring> made_;
};
