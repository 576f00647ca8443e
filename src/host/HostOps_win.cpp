#include "host/HostOps_win.h"
#include "host/PluginState_win.h"

namespace {
LRESULT SendUser(WPARAM wp, LPARAM op) { return SendMessageA(Plugin.HostMainWindow, WM_USER, wp, op); }
void SendCommand(WORD id) { SendMessageA(Plugin.HostMainWindow, WM_COMMAND, id, 0); }
void PostCommand(WORD id) { PostMessageA(Plugin.HostMainWindow, WM_COMMAND, id, 0); }
void BringMainToFront() { SetForegroundWindow(Plugin.HostMainWindow); }
}  // namespace

int HostGetVersion() { return HostGetVersionOf(Plugin.HostMainWindow); }

int HostGetVersionOf(HWND hostMainWindow) {
    return static_cast<int>(SendMessageA(hostMainWindow, WM_USER, 0, HostIpc::GetVersion));
}

void HostTogglePlaylistEditor() {
    if (Plugin.HostGone) return;
    SendCommand(HostIpc::CmdTogglePlaylistEditor);
}

void HostSetEqualizerVisible(bool visible) {
    if (!IsWindowVisible(Plugin.HostMainWindow)) return;
    if ((IsWindowVisible(Plugin.HostEqualizerWindow) != FALSE) == visible) return;
    SendCommand(HostIpc::CmdToggleEqualizer);
}

void HostMaskPlaylistEditor(bool show) {
    if (!show) {
        if (Plugin.PlaylistEditorRegion) return;
        Plugin.PlaylistEditorRegion = CreateRectRgn(0, 0, 0, 0);
        // From here on the region belongs to the system.
        SetWindowRgn(Plugin.HostPlaylistEditorWindow, Plugin.PlaylistEditorRegion, TRUE);
    } else {
        if (!Plugin.PlaylistEditorRegion) return;
        SetWindowRgn(Plugin.HostPlaylistEditorWindow, nullptr, TRUE);
        Plugin.PlaylistEditorRegion = nullptr;
    }
}

void HostClearPlaylist() {
    if (Plugin.HostGone) return;
    SendUser(0, HostIpc::ClearPlaylist);
}

void HostAddFile(const std::string& path) { HostAddFile(path.c_str(), path.size()); }

void HostAddFile(const char* path, std::size_t length) {
    if (Plugin.HostGone) return;
    COPYDATASTRUCT cds{};
    cds.dwData = HostIpc::CopyDataAddFile;
    cds.cbData = static_cast<DWORD>(length + 1);
    cds.lpData = const_cast<char*>(path);
    SendMessageA(Plugin.HostMainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

void HostAddFileW(const wchar_t* path, std::size_t length) {
    if (Plugin.HostGone) return;
    COPYDATASTRUCT cds{};
    cds.dwData = HostIpc::CopyDataAddFileW;
    cds.cbData = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
    cds.lpData = const_cast<wchar_t*>(path);
    SendMessageA(Plugin.HostMainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

void HostSetPlaylistPosition(int index) {
    if (Plugin.HostGone) return;
    SendUser(static_cast<WPARAM>(index), HostIpc::SetPlaylistPos);
}

void HostPlayEntry(int index) {
    if (Plugin.HostGone) return;
    SendUser(static_cast<WPARAM>(index), HostIpc::SetPlaylistPos);
    if (Plugin.HostGone) return;
    SendCommand(HostIpc::CmdPlay);
}

int HostGetPlayTime() {
    if (Plugin.HostGone) return -1;
    LRESULT state = SendUser(0, HostIpc::IsPlaying);
    if (state == 1) return static_cast<int>(SendUser(0, HostIpc::GetOutputTime));
    if (state == 3) return -static_cast<int>(SendUser(0, HostIpc::GetOutputTime));
    return -1;
}

int HostGetTrackLength() {
    if (Plugin.HostGone) return -1;
    return static_cast<int>(SendUser(1, HostIpc::GetOutputTime));
}

void HostTransport(int k) {
    static const WORD ids[7] = {HostIpc::CmdPrevious, HostIpc::CmdRewind, HostIpc::CmdPlay, HostIpc::CmdPause,
                                HostIpc::CmdStop,     HostIpc::CmdForward, HostIpc::CmdNext};
    if (Plugin.HostGone || k < 0 || k > 6) return;
    SendCommand(ids[k]);
}

bool HostGetSkin(std::string& skinDirectory) {
    if (Plugin.HostGone) return false;
    char buffer[280] = {};
    LRESULT r = SendUser(reinterpret_cast<WPARAM>(buffer), HostIpc::GetSkin);
    if (r == 0) return false;
    buffer[277] = '\0';
    skinDirectory.assign(buffer);
    return true;
}

int HostGetListLength() {
    if (Plugin.HostGone) return -1;
    return static_cast<int>(SendUser(0, HostIpc::GetListLength));
}

std::string HostGetPlaylistFile(int index) {
    std::string name;
    HostGetPlaylistFile(index, name);
    return name;
}

bool HostGetPlaylistFile(int index, std::string& out) {
    out.clear();
    if (Plugin.HostGone) return false;
    auto* p = reinterpret_cast<const char*>(SendUser(static_cast<WPARAM>(index), HostIpc::GetPlaylistFile));
    if (!p) return false;
    // The host hands out its own buffer; copy at most a long path's worth of it.
    size_t n = 0;
    while (n < 4096 && p[n]) ++n;
    out.assign(p, n);
    return n > 0;
}

std::wstring HostGetPlaylistFileW(int index) {
    if (Plugin.HostGone || !Plugin.HostUnicodeNames) return {};
    const LRESULT r = SendUser(static_cast<WPARAM>(index), HostIpc::GetPlaylistFileW);
    if (r == 1) {  // "not implemented": the host keeps 8-bit names after all
        Plugin.HostUnicodeNames = false;
        return {};
    }
    if (r == 0) return {};  // no such entry
    const auto* p = reinterpret_cast<const wchar_t*>(r);
    size_t n = 0;
    while (n < 4096 && p[n]) ++n;
    return std::wstring(p, n);
}

void HostShowSkinSelector() {
    BringMainToFront();
    PostCommand(HostIpc::CmdSkinSelector);
}

void HostShowPreferences() { PostCommand(HostIpc::CmdPreferences); }

void HostToggleDoubleSize() { PostCommand(HostIpc::CmdDoubleSize); }

void HostShowFileInfo() {
    BringMainToFront();
    PostCommand(HostIpc::CmdFileInfo);
}

void HostClickMainWindow() {
    const LPARAM pos = MAKELPARAM(1, 40);
    PostMessageA(Plugin.HostMainWindow, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    PostMessageA(Plugin.HostMainWindow, WM_LBUTTONUP, MK_LBUTTON, pos);
}

void HostPostWindowHandle(HWND playListWindow) {
    PostMessageA(Plugin.HostMainWindow, HostIpc::PostWindowHandle, 7, reinterpret_cast<LPARAM>(playListWindow));
}

void HostNudgeEqualizer() {
    const LPARAM pos = MAKELPARAM(5, 5);
    SendMessageA(Plugin.HostEqualizerWindow, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    SendMessageA(Plugin.HostEqualizerWindow, WM_MOUSEMOVE, MK_LBUTTON, pos);
    SendMessageA(Plugin.HostEqualizerWindow, WM_LBUTTONUP, MK_LBUTTON, pos);
}
