#pragma once
// One wrapper per message the plug-in sends or posts to the host. Once the host's
// main window is being destroyed (HostGone) each does nothing or returns its
// neutral value.
#include <windows.h>
#include <string>

int HostGetVersion();
int HostGetVersionOf(HWND hostMainWindow);  // before HostMainWindow is known
void HostTogglePlaylistEditor();
void HostSetEqualizerVisible(bool visible);
void HostMaskPlaylistEditor(bool show);
void HostClearPlaylist();
void HostAddFile(const std::string& path);
// path[length] must be the terminating NUL.
void HostAddFile(const char* path, std::size_t length);
void HostSetPlaylistPosition(int index);
void HostPlayEntry(int index);
int HostGetPlayTime();       // ms if playing, -ms if paused, -1 otherwise
int HostGetTrackLength();    // seconds; negative: none
void HostTransport(int k);   // 0 previous, 1 rewind, 2 play, 3 pause, 4 stop, 5 forward, 6 next
bool HostGetSkin(std::string& skinDirectory);
int HostGetListLength();
std::string HostGetPlaylistFile(int index);
// The same into out, whose buffer is kept for the next entry; false (out empty) where none.
bool HostGetPlaylistFile(int index, std::string& out);
// Hosts from 5.3 on (version 0x5030) keep names in Unicode: the wide name of an
// entry, empty where the host has none for it (no such entry, not answered).
std::wstring HostGetPlaylistFileW(int index);
// Appends an entry by its wide name; path[length] must be the terminating NUL.
void HostAddFileW(const wchar_t* path, std::size_t length);
void HostShowSkinSelector();
void HostShowPreferences();
void HostToggleDoubleSize();
void HostShowFileInfo();
void HostClickMainWindow();
void HostPostWindowHandle(HWND playListWindow);
void HostNudgeEqualizer();

// Message numbers and command ids of the host's interface.
namespace HostIpc {
constexpr UINT GetVersion = 0, ClearPlaylist = 101, IsPlaying = 104, GetOutputTime = 105, SetPlaylistPos = 121,
               GetListLength = 124, GetSkin = 201, GetPlaylistFile = 211, GetPlaylistFileW = 214,
               PostWindowHandle = 1126;
constexpr ULONG_PTR CopyDataAddFile = 100, CopyDataAddFileW = 1100;
// The first host version that keeps its playlist's names in Unicode.
constexpr int UnicodeNamesVersion = 0x5030;
constexpr WORD CmdTogglePlaylistEditor = 40040, CmdToggleEqualizer = 40036, CmdPrevious = 40044,
               CmdPlay = 40045, CmdPause = 40046, CmdStop = 40047, CmdNext = 40048, CmdForward = 40060,
               CmdRewind = 40061, CmdPreferences = 40012, CmdDoubleSize = 40165, CmdFileInfo = 40188,
               CmdSkinSelector = 40219;
}  // namespace HostIpc
