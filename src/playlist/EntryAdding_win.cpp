// Entries coming into the list: paths and what they name (folders, playlist
// files), the host's entries, dropped and chosen names.
#include "playlist/EntryAdding_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"
#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include "base/Errors.h"
#include "base/FileExists_win.h"
#include "base/Text_win.h"
#include "fileinfo/TagReaders.h"
#include "host/CommonLib_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "reading/FolderScan_win.h"
#include "reading/TagReaderThread_win.h"
#include "fileinfo/PlaylistFile.h"
#include "entries/TitleFormat.h"
#include "fileinfo/EntryNames_win.h"
#include "playlist/SkinApply_win.h"
#include "skin/WatermarkSkin_win.h"

namespace {
bool EqualsNoCase(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

std::string FullPathOf(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return path;
    return std::string(buffer, n);
}

// Skin files among dropped or chosen files: ".wsc", "VelvetLister.txt" or ".bmp".
bool IsSkinFile(const std::string& path) {
    std::string ext = FileExtension(path, &AnsiLeadByte);
    return EqualsNoCase(ext, ".wsc") || EqualsNoCase(FileNamePart(path, &AnsiLeadByte), "VelvetLister.txt") ||
           EqualsNoCase(ext, ".bmp");
}

// A fresh record filled from its file; opened by the wide name when there is one.
std::unique_ptr<TMP3FileInfo> ReadEntryInfo(const std::string& path, const std::wstring& wide) {
    auto rec = std::make_unique<TMP3FileInfo>();
    FillEntryFileNameFields(*rec, path, CodePageNames(), WideToU16(wide));
    if (const TTagReaderEntry* reader = FindTagReader(FileExtension(path, &AnsiLeadByte))) {
        if (wide.empty())
            ReadTagsOfFile(path, *reader, *rec, Option.PreferID3v2);
        else
            ReadTagsOfFile(wide, *reader, *rec, Option.PreferID3v2);
    }
    return rec;
}

DWORD AttributesOf(const std::string& path, const std::wstring& wide) {
    return wide.empty() ? GetFileAttributesA(path.c_str()) : GetFileAttributesW(wide.c_str());
}

}  // namespace

// The press is taken out of the queue, so that the list does not act on it
// later. Sent messages are not run unless a key message is waiting.
bool EscapeKeyPressed() {
    if (HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY) {
        MSG m;
        if (PeekMessageW(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && m.wParam == VK_ESCAPE) {
            PeekMessageW(&m, m.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
            return true;
        }
    }
    HWND front = GetForegroundWindow();
    return front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId() &&
           GetAsyncKeyState(VK_ESCAPE) < 0;
}

namespace {

// Looking for Esc asks the system for the queue and the key state: once every
// so many entries costs nothing beside reading them, and keeps a scan's
// reaction the same however busy the machine is.
constexpr int kEscapeCheckEvery = 16;
}  // namespace

bool IsSkinFileName(const std::string& path) { return IsSkinFile(path); }

std::unique_ptr<TMP3FileInfo> NewEntryToRead(const std::string& path, const std::wstring& wide) {
    auto rec = std::make_unique<TMP3FileInfo>();
    FillEntryFileNameFields(*rec, path, CodePageNames(), WideToU16(wide));
    rec->ToRead = true;
    return rec;
}

TDirectoryScan::TDirectoryScan() = default;

bool TDirectoryScan::Cancelled() {
    // Once seen, Esc stops the whole scan, even when the key is up again by the
    // time the outer folders look.
    if (cancelled_) return true;
    if (++calls_ % kEscapeCheckEvery != 0) return false;
    cancelled_ = EscapeKeyPressed();
    return cancelled_;
}

bool TDirectoryScan::CancelledNow() {
    if (!cancelled_) {
        calls_ = 0;
        cancelled_ = EscapeKeyPressed();
    }
    return cancelled_;
}

TScanScope::TScanScope(TEntryAdding& adding) : adding_(adding), wait_(adding.scan_ == nullptr) {
    if (!adding_.scan_) {
        own_ = std::make_unique<TDirectoryScan>();
        adding_.scan_ = own_.get();
    }
}

TScanScope::~TScanScope() {
    if (own_) adding_.scan_ = nullptr;
}

namespace {
std::string ReadWholeFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw EInOutError("I/O error: cannot read " + WideToUtf8(AnsiToWide(file)));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw EInOutError("I/O error: cannot read " + WideToUtf8(AnsiToWide(file)));
    return bytes;
}

bool IsAbsoluteWide(const std::wstring& p) {
    return (p.size() >= 3 && p[1] == L':' && (p[2] == L'\\' || p[2] == L'/')) ||
           (p.size() >= 2 && (p[0] == L'\\' || p[0] == L'/') && (p[1] == L'\\' || p[1] == L'/'));
}

// A UTF-8 name in the ANSI code page, for a host without Unicode names (one
// with them reads listed names by their wide form): as it is when the code
// page holds it, else the file's short (8.3) name seen from base, when the file
// system gives one that it holds; empty otherwise.
std::string AnsiNameOf(const std::string& base, std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(std::string(utf8));
    std::string ansi;
    if (WideToAnsiExact(wide, ansi)) return ansi;
    std::wstring full = wide;
    if (!IsAbsoluteWide(wide)) {
        const std::wstring folder = AnsiToWide(base);
        if (!wide.empty() && (wide[0] == L'\\' || wide[0] == L'/'))
            full = folder.substr(0, 2) + wide;  // rooted: on the playlist's drive
        else
            full = (!folder.empty() && folder.back() == L'\\' ? folder : folder + L"\\") + wide;
    }
    std::vector<wchar_t> normal(32768), shortName(32768);
    const DWORD m = GetFullPathNameW(full.c_str(), static_cast<DWORD>(normal.size()), normal.data(), nullptr);
    if (m == 0 || m >= normal.size()) return {};
    const DWORD n = GetShortPathNameW(normal.data(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (n == 0 || n >= shortName.size()) return {};
    if (!WideToAnsiExact(std::wstring(shortName.data(), n), ansi)) return {};
    return ansi;
}
}  // namespace

bool IsDotName(const std::string& path, const std::wstring& wide) {
    return path == "." || path == ".." || wide == L"." || wide == L"..";
}

bool IsFolderName(const TFoundFile& name) {
    // The name first: "." and ".." are folders to the system, and add nothing.
    if (IsDotName(name.Path, name.Wide)) return false;
    const DWORD attr = AttributesOf(name.Path, name.Wide);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) && !(attr & 0x8 /* volume label */);
}

int TEntryAdding::AddPath(TEntryList& target, const std::string& path, bool expand, const std::wstring& wide) {
    if (IsDotName(path, wide)) return 0;
    DWORD attr = AttributesOf(path, wide);
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & 0x8 /* volume label */)) return 0;
    if (attr & FILE_ATTRIBUTE_DIRECTORY) return wide.empty() ? AddDirectory(target, path) : AddDirectory(target, wide);
    std::string ext = LowerAscii(FileExtension(path, &AnsiLeadByte), &AnsiLeadByte);
    if (PlaylistTypeOfExtension(ext) != TPlaylistType::None) return expand ? AddPlaylistFile(target, path, wide) : 0;
    if (!form_.audioExtensions_.Contains(ext)) return 0;
    auto rec = NewEntryToRead(path, wide);
    std::string title = EntryTitle(*rec);
    target.Add(std::move(title), std::move(rec));
    return 1;
}

bool TEntryAdding::IsReadableAudioFile(const std::string& path, const std::wstring& wide) const {
    if (IsDotName(path, wide) || IsStreamName(path)) return false;
    // The extension first: a foreign type costs no look at the disk.
    const std::string ext = LowerAscii(FileExtension(path, &AnsiLeadByte), &AnsiLeadByte);
    if (PlaylistTypeOfExtension(ext) != TPlaylistType::None || !form_.audioExtensions_.Contains(ext)) return false;
    // The host's wide name may name a file that its 8-bit name (with "?") does not.
    const DWORD attr = AttributesOf(path, wide);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & (0x8 /* volume label */ | FILE_ATTRIBUTE_DIRECTORY));
}

void TEntryAdding::AddHostEntry(TEntryList& target, const std::string& name, const std::wstring& wide,
                                 const TMP3FileInfo* earlier) {
    std::unique_ptr<TMP3FileInfo> rec;
    const std::string ext = LowerAscii(FileExtension(name, &AnsiLeadByte), &AnsiLeadByte);
    // Whether it is a file is the reader's to find out: a rebuild costs no look at the disk.
    if (!IsDotName(name, wide) && !IsStreamName(name) && PlaylistTypeOfExtension(ext) == TPlaylistType::None &&
        form_.audioExtensions_.Contains(ext)) {
        if (earlier && !earlier->Kept) {
            // The tags the list showed for this name stay until the file is read again.
            rec = std::make_unique<TMP3FileInfo>(*earlier);
            rec->Selected = false;
            rec->ToRead = true;
        } else {
            rec = NewEntryToRead(name, wide);
        }
    } else {
        rec = std::make_unique<TMP3FileInfo>();
        FillKeptEntryFields(*rec, name, CodePageNames(), WideToU16(wide));
    }
    std::string title = EntryTitle(*rec);
    target.Add(std::move(title), std::move(rec));
}

bool TEntryAdding::ReadKeptEntryIfPresent(int i) {
    TEntryLockGuard lock(form_.entryLock_);
    TMP3FileInfo* rec = form_.Record(i);
    if (!rec || !rec->Kept) return false;
    const std::string name(rec->FileName());
    const std::wstring wide = U16ToWide(rec->WideFileName());
    if (!IsReadableAudioFile(name, wide)) return false;
    // Read in place: whoever refers to the record sees the file's tags now; what
    // the host told the entry stays.
    std::unique_ptr<TMP3FileInfo> fresh = ReadEntryInfo(name, wide);
    fresh->SongLength = rec->SongLength;
    fresh->SetSongLengthText(rec->SongLengthText());
    fresh->Selected = rec->Selected;
    *rec = std::move(*fresh);
    form_.listBox_->SetText(i, EntryTitle(*rec));
    return true;
}

int TEntryAdding::AddDirectory(TEntryList& target, const std::string& dir) {
    TScanScope scope(*this);
    return ScanFolder(
        TFolderScan{dir, {}, form_.audioExtensions_}, [&] { return !scope.Scan().Cancelled(); },
        [&](TFoundFile f) { AddFoundFile(target, f); });
}

int TEntryAdding::AddDirectory(TEntryList& target, const std::wstring& dir) {
    // As the 8-bit scan, by wide names: a Unicode host gets every name whole.
    TScanScope scope(*this);
    return ScanFolder(
        TFolderScan{{}, dir, form_.audioExtensions_}, [&] { return !scope.Scan().Cancelled(); },
        [&](TFoundFile f) { AddFoundFile(target, f); });
}

void TEntryAdding::AddFoundFile(TEntryList& target, const TFoundFile& f) {
    auto rec = NewEntryToRead(f.Path, f.Wide);
    std::string title = EntryTitle(*rec);
    target.Add(std::move(title), std::move(rec));
}

int TEntryAdding::AddListedName(TEntryList& target, const std::string& base, const std::string& name) {
    // A NUL would cut the name short and find another file.
    if (name.empty() || name.find('\0') != std::string::npos) return 0;
    const std::string candidate = PathSeenFrom(base, name, AnsiPathText());
    if (!FileExists(candidate)) return 0;  // comments, info lines, missing files
    // ResolvePath follows folders, not a drive's current folder: a rooted
    // line would lose its root there and a drive-relative one would land in
    // the drive's root. Those add exactly the file found.
    std::string resolved;
    if (IsRootedOrDriveRelative(name)) resolved = FullPathOf(candidate);
    else if (!ResolvePath(base, name, resolved)) resolved = candidate;
    return AddPath(target, resolved, false);
}

int TEntryAdding::AddPlaylistFile(TEntryList& target, const std::string& file, const std::wstring& wide) {
    if (Plugin.HostUnicodeNames) return AddPlaylistFileWide(target, wide.empty() ? AnsiToWide(file) : wide);
    if (!FileExists(file)) return 0;
    const std::string bytes = ReadWholeFile(file);
    // The full path has "\" separators only; a drive's root keeps its "\".
    const std::string base = ExtractPathFolder(FullPathOf(file), AnsiPathText());
    int c = 0;
    switch (PlaylistTypeOfExtension(FileExtension(file, &AnsiLeadByte))) {
    case TPlaylistType::M3u8:
        for (std::string_view name : ReadM3u8Names(bytes)) c += AddListedName(target, base, AnsiNameOf(base, name));
        break;
    case TPlaylistType::Pls: {
        const TPlsNames pls = ReadPlsNames(bytes);
        for (std::string_view name : pls.Names)
            c += AddListedName(target, base, pls.Utf8 ? AnsiNameOf(base, name) : std::string(name));
        break;
    }
    default:
        // Every line: header and info lines name no file and are skipped there.
        for (std::string_view line : SplitPlaylistLines(bytes)) c += AddListedName(target, base, std::string(line));
        break;
    }
    return c;
}

std::vector<TFoundFile> TEntryAdding::DroppedNames(HDROP drop, std::string& skinFile) {
    struct TFinish {
        HDROP d;
        ~TFinish() { DragFinish(d); }
    } finish{drop};
    std::vector<TFoundFile> names;
    const UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT k = 0; k < n; ++k) {
        TFoundFile name;
        if (Plugin.HostUnicodeNames) {
            // The drop's wide names reach a Unicode host whole.
            wchar_t wide[1025] = {};
            DragQueryFileW(drop, k, wide, 1024);
            name.Wide = wide;
            name.Path = WideToAnsiName(wide);
        } else {
            char path[1025] = {};
            DragQueryFileA(drop, k, path, 1024);
            name.Path = path;
        }
        if (IsSkinFile(name.Path))
            skinFile = name.Path;
        else
            names.push_back(std::move(name));
    }
    return names;
}

int TEntryAdding::AddDropped(const std::vector<TFoundFile>& names, int at, bool replace) {
    // A folder is walked on the reader thread, the window going on with its
    // messages; files and playlists alone are taken at once.
    if (std::any_of(names.begin(), names.end(), IsFolderName)) {
        TUndoStep step(form_);
        const int added = AddInBackground(names, at, replace);
        if (Plugin.HostGone || !form_.listBox_) return 0;
        step.Commit();
        return added;
    }
    TEntryList collected;
    {
        TScanScope scope(*this);
        for (std::size_t k = 0; k < names.size() && !scope.Scan().Cancelled(); ++k)
            AddPath(collected, names[k].Path, true, names[k].Wide);
    }
    const int added = collected.Count();
    if (added == 0) return 0;
    if (replace) {
        form_.ReplaceEntries(collected.Take());
        // The old mark names a row of the old list: no push may send the host there.
        form_.playingIndex_ = -1;
    } else {
        form_.InsertEntries(at, collected.Take());
    }
    return added;
}
