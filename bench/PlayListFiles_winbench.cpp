// Playlist files side by side in one run inside the emulated host, at 100,000
// entries:
//   save:  "Save list" as each type (the text written in pieces into a new file
//          beside the target, flushed and moved over it) against creating the
//          file and writing the same bytes with one WriteFile call; for
//          reference also against the same write followed by a flush (the save
//          must flush), and its two parts alone: making the text, and the
//          replacement of the file with text already made;
//   read:  a 100,000-line ".m3u8" dropped on the list against the ".m3u" of
//          the same names (every name is read as an entry, tags included).
// Every line ends in "met", "MISSED" or "reported" (no target).
//
//   PlayListFiles_winbench.exe [folder [count [save]]]   ("save": the saves only)
// The folder holds song0.mp3 ... song<count-1>.mp3 written beforehand (scripts/bench
// writes them from the native side); without one the bench writes 10,000 itself.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestHost.h"
#include "base/AtomicFile_win.h"
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"

namespace {
double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// One WriteFile call of the whole text into a new file; a flush before closing when asked.
bool WriteOnce(const std::wstring& path, const std::string& bytes, bool flush) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (flush) FlushFileBuffers(h);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadAll(const std::wstring& path) {
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(h, nullptr));
    DWORD got = 0;
    ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    out.resize(got);
    CloseHandle(h);
    return out;
}

void Ratio(const std::string& what, double measured, double floor, double target) {
    const double ratio = floor > 0 ? measured / floor : 0.0;
    char goal[32] = "";
    if (target > 0) std::snprintf(goal, sizeof goal, "target <= %.1f", target);
    std::printf("  %-30s %9.1f ms  floor %9.1f ms  ratio %6.2f  %-14s %s\n", what.c_str(), measured * 1000,
                floor * 1000, ratio, goal, target <= 0 ? "reported" : ratio <= target ? "met" : "MISSED");
    std::fflush(stdout);
}

// Entries as the list holds them after adding the files: what a save writes.
std::vector<TEntryRow> Rows(const std::vector<std::string>& files) {
    TEntryList entries;
    for (size_t i = 0; i < files.size(); ++i) {
        auto rec = std::make_unique<TMP3FileInfo>();
        rec->SetFileName(files[i]);
        rec->SongLength = i % 3 ? static_cast<int>(120 + i % 300) : -1;
        entries.Add("Artist " + std::to_string(i % 97) + " - Song number " + std::to_string(i), std::move(rec));
    }
    return entries.Take();
}
}  // namespace

int main(int argc, char** argv) {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    const bool ownFiles = argc < 2;
    const std::string dir = ownFiles ? std::string(cwd) + "\\playlist-files-bench" : std::string(argv[1]);
    const int n = ownFiles ? 10000 : (argc > 2 ? std::max(1000, std::atoi(argv[2])) : 100000);
    std::vector<std::string> files;
    if (ownFiles) CreateDirectoryA(dir.c_str(), nullptr);
    for (int i = 0; i < n; ++i) {
        files.push_back(dir + "\\song" + std::to_string(i) + ".mp3");
        if (ownFiles && GetFileAttributesA(files.back().c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::string bytes(512, '\0');
            bytes += "TAG" + ("Song number " + std::to_string(i)) + std::string(128, '\0');
            bytes.resize(640);
            WriteOnce(AnsiToWide(files.back()), bytes, false);
        }
    }
    if (GetFileAttributesA(files.back().c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("missing %s\n", files.back().c_str());
        return 1;
    }

    TTestHost host;
    Plugin.HostMainWindow = host.Main();
    Plugin.HostPlaylistEditorWindow = host.PlaylistEditor();
    auto* form = new TFormPlayList();
    if (!form->Create()) return 1;
    {
        TExtensionSet mp3 = form->AudioExtensions();
        mp3.Assign({".mp3"});
        form->SetAudioExtensions(std::move(mp3));
    }
    Pump();
    const std::string at = " " + std::to_string(n);
    std::printf("playlist files against their floors (best of the rounds)\n");

    // ---- save each type against one WriteFile of the same bytes
    form->ReplaceEntries(Rows(files));
    const std::wstring target = AnsiToWide(std::string(cwd)) + L"\\bench-list", floorFile = target + L"-floor";
    for (const TPlaylistType type : {TPlaylistType::M3u, TPlaylistType::M3u8, TPlaylistType::Pls}) {
        const std::wstring path = target + AnsiToWide(PlaylistExtension(type));
        if (!form->Files().SaveListTo(path, type)) return 1;
        const std::string bytes = ReadAll(path);
        double save = 1e9, floor = 1e9, flushed = 1e9, text = 1e9, replace = 1e9;
        for (int round = 0; round < 6; ++round) {
            for (int which = 0; which < 5; ++which) {
                const double t0 = Now();
                switch ((which + round) % 5) {
                case 0: form->Files().SaveListTo(path, type); save = std::min(save, Now() - t0); break;
                case 1: WriteOnce(floorFile, bytes, false); floor = std::min(floor, Now() - t0); break;
                case 2: WriteOnce(floorFile, bytes, true); flushed = std::min(flushed, Now() - t0); break;
                case 3: {
                    // The parts: the text alone (from the list's records, handed to a sink
                    // that keeps nothing), and the replacement alone.
                    size_t bytesMade = 0;
                    TPlaylistWriter writer(type, [&](std::string_view b) { return bytesMade += b.size(), true; },
                                           [](std::string_view s) { return WideToUtf8(AnsiToWide(std::string(s))); },
                                           &AnsiLeadByte);
                    for (int i = 0; i < form->EntryCount(); ++i)
                        writer.Add({form->Record(i)->FileName(), form->ListBox()->Text(i), form->Record(i)->SongLength});
                    writer.Finish();
                    text = std::min(text, Now() - t0);
                    if (bytesMade != bytes.size()) return 1;
                    break;
                }
                default: {
                    DWORD error = 0;
                    ReplaceFileContents(floorFile, bytes, error);
                    replace = std::min(replace, Now() - t0);
                    break;
                }
                }
            }
        }
        if (ReadAll(path) != bytes) {
            std::printf("the saved list changed between rounds\n");
            return 1;
        }
        const std::string what = std::string("save ") + PlaylistExtension(type) + at;
        Ratio(what, save, floor, 1.5);
        Ratio("  (against a flushed write)", save, flushed, 0);
        Ratio("  (the text alone)", text, floor, 0);
        Ratio("  (the replacement alone)", replace, flushed, 0);
        DeleteFileW(path.c_str());
        DeleteFileW(floorFile.c_str());
    }

    // ---- read: the same names as ".m3u8" and as ".m3u"
    if (argc < 4 || std::string(argv[3]) != "save") {
        std::vector<TPlaylistEntry> entries;
        for (const std::string& f : files) entries.push_back({f, "x", -1});
        const std::wstring m3u = target + L".m3u", m3u8 = target + L".m3u8";
        WriteOnce(m3u, WritePlaylist(TPlaylistType::M3u, entries), false);
        WriteOnce(m3u8, "\xEF\xBB\xBF" + WritePlaylist(TPlaylistType::M3u8, entries, [](std::string_view s) {
                            return WideToUtf8(AnsiToWide(std::string(s)));
                        }), false);
        double read8 = 1e9, read = 1e9;
        for (int round = 0; round < 2; ++round) {
            for (int which = 0; which < 2; ++which) {
                TEntryList collected;
                const bool utf8 = (which + round) % 2 == 0;
                const double t0 = Now();
                form->Adding().AddPath(collected, WideToAnsi(utf8 ? m3u8 : m3u), true);
                const double t = Now() - t0;
                if (collected.Count() != n) {
                    std::printf("read %d entries, not %d\n", collected.Count(), n);
                    return 1;
                }
                (utf8 ? read8 : read) = std::min(utf8 ? read8 : read, t);
            }
        }
        Ratio("read .m3u8 against .m3u" + at, read8, read, 1.2);
        DeleteFileW(m3u.c_str());
        DeleteFileW(m3u8.c_str());
    }

    form->Release();
    Pump();
    DestroyPendingWindows();
    host.DestroyWindows();
    if (ownFiles) {
        for (const auto& f : files) DeleteFileA(f.c_str());
        RemoveDirectoryA(dir.c_str());
    }
    return 0;
}
