#include "TestHost.h"
#include <shellapi.h>
#include <shlwapi.h>
#include <algorithm>

TTestHost* TTestHost::current_ = nullptr;

namespace {
constexpr char kMainClass[] = "Winamp v1.x";
constexpr char kEditorClass[] = "Winamp PE";
constexpr char kEqualizerClass[] = "Winamp EQ";
const char kSkinName[] = "TestSkin";

void RegisterOnce(const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &wc)) return;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}
}  // namespace

TTestHost::TTestHost(const TTestHostOptions& o) : Version(o.Version), DoubleSize(o.DoubleSize) {
    current_ = this;
    RegisterOnce(kMainClass, &TTestHost::MainProc);
    RegisterOnce(kEditorClass, &TTestHost::EditorProc);
    RegisterOnce(kEqualizerClass, &TTestHost::EqualizerProc);
    const int w = DoubleSize ? 550 : 275, h = DoubleSize ? 232 : 116;
    const int x = o.MainPosition.x, y = o.MainPosition.y;
    if (o.MainWindow)
        main_ = CreateWindowExA(0, kMainClass, "Winamp 2.91", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, x, y, w, h,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (o.Equalizer)
        eq_ = CreateWindowExA(0, kEqualizerClass, "Winamp Equalizer", WS_POPUP, x, y + h, w, h, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    if (o.PlaylistEditor)
        pe_ = CreateWindowExA(0, kEditorClass, "Winamp Playlist Editor", WS_POPUP, x, y + 232, 275, 116, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    if (main_ && o.MainVisible) ShowWindow(main_, SW_SHOWNOACTIVATE);
    if (eq_ && o.EqualizerVisible) ShowWindow(eq_, SW_SHOWNOACTIVATE);
    if (pe_ && o.PlaylistEditorVisible) ShowWindow(pe_, SW_SHOWNOACTIVATE);
    Messages.clear();
}

TTestHost::~TTestHost() {
    DestroyWindows();
    UnloadPlugin();
    if (current_ == this) current_ = nullptr;
}

std::string TTestHost::IniPath() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    // The shell's path functions step over double-byte characters.
    PathRenameExtensionA(exe, ".ini");
    return exe;
}

int TTestHost::Length() const {
    return static_cast<int>(UnicodeNames() ? WidePlaylist.size() : Playlist.size());
}

std::string TTestHost::AnsiName(int i) const {
    if (i < 0 || i >= Length()) return {};
    if (!UnicodeNames()) return Playlist[static_cast<size_t>(i)];
    const std::wstring& w = WidePlaylist[static_cast<size_t>(i)];
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), out.data(), n, "?", nullptr);
    return out;
}

void TTestHost::Record(HWND w, UINT m, WPARAM wp, LPARAM lp, const std::string& path) {
    Messages.push_back({w, m, wp, lp, path});
}

std::vector<TRecordedMessage> TTestHost::MessagesTo(HWND window, UINT message) const {
    std::vector<TRecordedMessage> out;
    for (const auto& m : Messages)
        if (m.Window == window && m.Message == message) out.push_back(m);
    return out;
}

int TTestHost::CountOf(HWND window, UINT message) const {
    return static_cast<int>(MessagesTo(window, message).size());
}

void TTestHost::NotifyEditor() {
    if (main_) InvalidateRect(main_, nullptr, TRUE);
    if (pe_) SendMessageA(pe_, WM_USER, 0, Position);
}

void TTestHost::SetPosition(int index) {
    if (index < 0 || index >= Length()) return;
    Position = index;
    NotifyEditor();
}

void TTestHost::Play() {
    if (Length() == 0) return;
    if (Position >= Length()) Position = 0;
    State = TPlayState::Playing;
    ElapsedMs = 0;
    NotifyEditor();
}

void TTestHost::Next() {
    if (Position + 1 < Length()) {
        ++Position;
        ElapsedMs = 0;
        NotifyEditor();
    }
}

void TTestHost::Previous() {
    if (Position > 0 && Length() > 0) {
        --Position;
        ElapsedMs = 0;
        NotifyEditor();
    }
}

int TTestHost::TrackLengthOfCurrent() const {
    if (Position < 0 || Position >= Length()) return -1;
    auto it = TrackLengths.find(AnsiName(Position));
    return it == TrackLengths.end() ? -1 : it->second;
}

void TTestHost::AdvanceClock(int ms) {
    if (State != TPlayState::Playing) return;
    ElapsedMs += ms;
    int len = TrackLengthOfCurrent();
    if (len >= 0 && ElapsedMs >= len * 1000) {
        ElapsedMs = 0;
        if (Position + 1 < Length()) {
            ++Position;
            NotifyEditor();
        } else {
            State = TPlayState::Stopped;
        }
    }
}

void TTestHost::SetDoubleSize(bool on) {
    DoubleSize = on;
    // Like the player with its equaliser linked to double size: both windows grow.
    for (HWND w : {main_, eq_})
        if (w) SetWindowPos(w, nullptr, 0, 0, on ? 550 : 275, on ? 232 : 116, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TTestHost::OnUser(WPARAM wp, LPARAM lp) {
    switch (lp) {
    case 0: return Version;
    case 101:
        Playlist.clear();
        WidePlaylist.clear();
        Position = 0;
        return 0;
    case 104: return static_cast<LRESULT>(State);
    case 105:
        if (wp == 0) return State == TPlayState::Stopped ? -1 : ElapsedMs;
        return TrackLengthOfCurrent();
    case 121: SetPosition(static_cast<int>(wp)); return 0;
    case 124: return static_cast<LRESULT>(Length());
    case 125: return Position;
    case 201: {
        if (SkinDirectory.empty()) return 0;
        char* buffer = reinterpret_cast<char*>(wp);
        if (buffer) lstrcpynA(buffer, SkinDirectory.c_str(), 278);
        return reinterpret_cast<LRESULT>(kSkinName);
    }
    case 211: {
        int i = static_cast<int>(wp);
        if (i < 0 || i >= Length()) return 0;
        fileBuffer_ = AnsiName(i);
        return reinterpret_cast<LRESULT>(fileBuffer_.c_str());
    }
    case 214: {
        int i = static_cast<int>(wp);
        if (!UnicodeNames() || i < 0 || i >= Length()) return 0;
        wideBuffer_ = WidePlaylist[static_cast<size_t>(i)];
        return reinterpret_cast<LRESULT>(wideBuffer_.c_str());
    }
    default: return 0;
    }
}

void TTestHost::OnCommand(WORD id) {
    switch (id) {
    case 40045: Play(); break;
    case 40046:
        if (State == TPlayState::Playing) State = TPlayState::Paused;
        else if (State == TPlayState::Paused) State = TPlayState::Playing;
        break;
    case 40047: State = TPlayState::Stopped; ElapsedMs = 0; break;
    case 40044: Previous(); break;
    case 40048: Next(); break;
    case 40061: ElapsedMs = std::max(0, ElapsedMs - 5000); break;
    case 40060: ElapsedMs += 5000; break;
    case 40040:
        if (pe_) ShowWindow(pe_, IsWindowVisible(pe_) ? SW_HIDE : SW_SHOWNOACTIVATE);
        break;
    case 40036:
        if (eq_) ShowWindow(eq_, IsWindowVisible(eq_) ? SW_HIDE : SW_SHOWNOACTIVATE);
        break;
    case 40165: SetDoubleSize(!DoubleSize); break;
    default: break;  // preferences, file info, skin selector: recorded only
    }
}

LRESULT TTestHost::OnMain(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_USER: {
        Record(hwnd, msg, wp, lp);
        return OnUser(wp, lp);
    }
    case WM_COPYDATA: {
        auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        std::string path;
        if (cds && cds->dwData == 100 && cds->lpData && cds->cbData > 0) {
            const char* p = static_cast<const char*>(cds->lpData);
            path.assign(p, strnlen(p, cds->cbData));
            if (UnicodeNames()) {
                const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
                std::wstring w(static_cast<size_t>(std::max(n, 0)), L'\0');
                if (n > 0) MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), w.data(), n);
                WidePlaylist.push_back(w);
            } else {
                Playlist.push_back(path);
            }
        } else if (cds && cds->dwData == 1100 && UnicodeNames() && cds->lpData && cds->cbData >= sizeof(wchar_t)) {
            const wchar_t* p = static_cast<const wchar_t*>(cds->lpData);
            WidePlaylist.push_back(std::wstring(p, wcsnlen(p, cds->cbData / sizeof(wchar_t))));
            path = AnsiName(Length() - 1);
        }
        Record(hwnd, msg, wp, lp, path);
        if (OnFileAdded && !path.empty()) OnFileAdded(Length());
        return TRUE;
    }
    case WM_COMMAND:
        Record(hwnd, msg, wp, lp);
        OnCommand(LOWORD(wp));
        return 0;
    case WM_DROPFILES: {
        Record(hwnd, msg, wp, lp);
        HDROP drop = reinterpret_cast<HDROP>(wp);
        UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char name[MAX_PATH * 4] = {};
            DragQueryFileA(drop, i, name, sizeof name);
            DroppedOnHost.push_back(name);
        }
        DragFinish(drop);
        return 0;
    }
    case WM_PAINT: {
        Record(hwnd, msg, wp, lp);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r{};
        GetClientRect(hwnd, &r);
        HBRUSH bg = CreateSolidBrush(RGB(30, 30, 46));
        FillRect(dc, &r, bg);
        DeleteObject(bg);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 220, 120));
        std::string line1 = "Emulated player (test host)";
        std::string line2 = State == TPlayState::Playing ? "Playing" : State == TPlayState::Paused ? "Paused" : "Stopped";
        if (Position >= 0 && Position < Length()) {
            line2 += ": " + std::string(PathFindFileNameA(AnsiName(Position).c_str()));
        }
        TextOutA(dc, 8, 8, line1.c_str(), static_cast<int>(line1.size()));
        TextOutA(dc, 8, 30, line2.c_str(), static_cast<int>(line2.size()));
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        Record(hwnd, msg, wp, lp);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK TTestHost::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!current_) return DefWindowProcA(hwnd, msg, wp, lp);
    return current_->OnMain(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TTestHost::EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (current_) current_->Record(hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TTestHost::EqualizerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (current_) current_->Record(hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool TTestHost::LoadPlugin(const std::wstring& dllPath) {
    module_ = LoadLibraryW(dllPath.c_str());
    if (!module_) return false;
    using GetPlugin = TGeneralPurposePlugin* (*)();
    auto get = reinterpret_cast<GetPlugin>(reinterpret_cast<void*>(GetProcAddress(module_, "winampGetGeneralPurposePlugin")));
    if (!get) return false;
    record_ = get();
    if (!record_) return false;
    record_->hwndParent = main_;
    record_->hDllInstance = module_;
    return true;
}

int TTestHost::Init() { return record_ ? record_->init() : 1; }
void TTestHost::Config() { if (record_) record_->config(); }
void TTestHost::Quit() { if (record_) record_->quit(); }

void TTestHost::DestroyMainWindow() {
    HWND w = main_;
    main_ = nullptr;
    if (w) DestroyWindow(w);
}

void TTestHost::DestroyWindows() {
    if (main_) { DestroyWindow(main_); main_ = nullptr; }
    if (eq_) { DestroyWindow(eq_); eq_ = nullptr; }
    if (pe_) { DestroyWindow(pe_); pe_ = nullptr; }
    // Let deferred work (the plug-in's window releases) run before anything is unloaded.
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void TTestHost::UnloadPlugin() {
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
        record_ = nullptr;
    }
}
