#include "PluginFixture.h"
#include <fstream>

namespace {
std::string ExeDir() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string s(exe);
    return s.substr(0, s.find_last_of('\\'));
}
}  // namespace

void TPluginTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':') c = '_';
    dir_ = TempDir() + "vl-" + name + "-" + std::to_string(GetCurrentProcessId());
    RemoveTree(dir_);
    CreateDirectoryA(dir_.c_str(), nullptr);
    std::string src = ExeDir() + "\\" + DllBuild();
    std::string dst = PathIn("gen_VelvetLister.dll");
    ASSERT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE)) << "copy " << src;
    dllCopy_.assign(dst.begin(), dst.end());
    std::string ini = HostIni();
    DeleteFileA(TTestHost::IniPath().c_str());
    if (!ini.empty()) {
        std::ofstream out(TTestHost::IniPath(), std::ios::binary);
        out << ini;
    }
}

TTestSeam* TPluginTest::Seam() const {
    using TGetSeam = TTestSeam* (*)();
    auto get = host && host->Module()
                   ? reinterpret_cast<TGetSeam>(reinterpret_cast<void*>(GetProcAddress(host->Module(), "VelvetListerTestSeam")))
                   : nullptr;
    return get ? get() : nullptr;
}

void TPluginTest::TearDown() {
    if (host) {
        host->DestroyWindows();
        host->UnloadPlugin();
        host.reset();
    }
    Pump();
    DeleteFileA(TTestHost::IniPath().c_str());
    RemoveTree(dir_);
}

void TPluginTest::StartHost() {
    if (!host) host = std::make_unique<TTestHost>(HostOptions());
}

bool TPluginTest::Load() {
    StartHost();
    return host->LoadPlugin(dllCopy_);
}

int TPluginTest::Init() {
    int r = host->Init();
    Pump();
    return r;
}

void TPluginTest::StartPlugin() {
    ASSERT_TRUE(Load());
    ASSERT_EQ(Init(), 0);
}

namespace {
BOOL CALLBACK FindPlayList(HWND h, LPARAM lp) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (lstrcmpW(cls, L"TFormPlayList") == 0) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void TPluginTest::Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    // What the pending messages added is read by now, and its titles shown.
    FinishReading();
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void TPluginTest::FinishReading() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindPlayList, reinterpret_cast<LPARAM>(&found));
    // The window's own message: it waits for the reader and installs every title.
    if (found) SendMessageW(found, WM_APP + 0x3C2, 0, 0);
}

void TPluginTest::SetModifiers(bool shift, bool ctrl, bool alt) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(keys);
}

void TPluginTest::WriteFile(const std::string& name, const std::string& bytes) const {
    WriteBytes(name.find(':') != std::string::npos ? name : PathIn(name), bytes, true);
}

std::string TPluginTest::WriteMp3(const std::string& name, const std::string& title, const std::string& artist) const {
    std::string bytes(256, '\xFF');
    std::string tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, std::min<size_t>(30, title.size()), title.substr(0, 30));
    tag.replace(33, std::min<size_t>(30, artist.size()), artist.substr(0, 30));
    tag[127] = static_cast<char>(255);
    std::string path = PathIn(name);
    WriteBytes(path, bytes + tag, true);
    return path;
}

namespace {
}  // namespace

HWND TPluginTest::PlayListWindow() const {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindPlayList, reinterpret_cast<LPARAM>(&found));
    return found;
}
