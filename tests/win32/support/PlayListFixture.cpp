#include "PlayListFixture.h"

HWND TPlayListTest::List() const { return FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr); }

std::vector<std::string> TPlayListTest::Rows() const {
    // Titles are read in the background: the rows are looked at once all are in.
    FinishReading();
    std::vector<std::string> out;
    const int n = static_cast<int>(SendMessageA(List(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buffer[1024] = {};
        SendMessageA(List(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
        out.push_back(buffer);
    }
    return out;
}

void TPlayListTest::Key(WORD vk, bool shift, bool ctrl, bool alt) {
    SetModifiers(shift, ctrl, alt);
    SendMessageW(List(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? (1 << 29) : 0);
    SetModifiers(false, false, false);
    Pump();
}

void TPlayListTest::Menu(UINT id) {
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

std::vector<std::string> TPlayListTest::StartWith(int n, bool english) {
    if (english) WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    std::vector<std::string> files;
    for (int i = 0; i < n; ++i) files.push_back(WriteMp3("s" + std::to_string(i) + ".mp3", "Song " + std::to_string(i)));
    StartHost();
    host->Playlist = files;
    StartPlugin();
    return files;
}
