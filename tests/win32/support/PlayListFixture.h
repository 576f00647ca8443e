#pragma once
// A started plug-in with its playlist window open, and the user's ways into
// the list: its rows, keys with their modifiers, menu commands.
#include <string>
#include <vector>
#include "PluginFixture.h"

class TPlayListTest : public TPluginTest {
protected:
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }

    HWND List() const;
    std::vector<std::string> Rows() const;
    void Key(WORD vk, bool shift = false, bool ctrl = false, bool alt = false);
    void Menu(UINT id);
    // n songs "Song 0".. in the host's playlist, plug-in started (English
    // captions, or the default Japanese ones).
    std::vector<std::string> StartWith(int n, bool english = true);
};
