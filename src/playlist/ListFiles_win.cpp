// Playlist files on the Win32 side: saving the list ("Save list..."), reading a
// playlist file by wide names for a host that keeps Unicode names, and "Add
// URL...". The file's bytes come from the portable writer and reader; a saved
// file is replaced only once the new one is whole.
#include "playlist/ListFiles_win.h"
#include "playlist/PlayList_win.h"
#include <optional>
#include <vector>
#include "base/AtomicFile_win.h"
#include "base/Errors.h"
#include "base/FileExists_win.h"
#include "base/Handles_win.h"
#include "base/Text_win.h"
#include "host/CommonLib_win.h"
#include "host/ListFileTexts_win.h"
#include "host/PluginState_win.h"
#include "playlist/AddURLDialog_win.h"
#include "playlist/SaveListDialog_win.h"

namespace {
std::string AnsiTextToUtf8(std::string_view ansi) { return WideToUtf8(AnsiToWide(std::string(ansi))); }

std::wstring CurrentDirectoryW() {
    std::vector<wchar_t> buffer(32768, L'\0');
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return n > 0 && n < buffer.size() ? std::wstring(buffer.data(), n) : std::wstring();
}

// The folder of a file: without its trailing "\" unless that follows a drive colon.
std::wstring FolderOfFile(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

bool IsBlank(const std::wstring& s) { return s.find_first_not_of(L" \t\r\n") == std::wstring::npos; }

std::wstring FullPathOf(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n >= buffer.size()) {
        buffer.resize(n);
        n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    return n > 0 && n < buffer.size() ? std::wstring(buffer.data(), n) : path;
}

// A playlist file that exists but cannot be read stops the whole addition.
std::string ReadWholeFile(const std::wstring& file) {
    TFile h(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) throw EInOutError("I/O error: cannot read " + WideToUtf8(file));
    std::string bytes;
    char piece[64 * 1024];
    DWORD got = 0;
    do {
        if (!ReadFile(h.get(), piece, sizeof piece, &got, nullptr))
            throw EInOutError("I/O error: cannot read " + WideToUtf8(file));
        bytes.append(piece, got);
    } while (got > 0);
    return bytes;
}

// The name an entry is saved under. A record with a wide name (a Unicode host)
// gives ".m3u8" that name whole, in UTF-8; the code-page types get its exact
// 8-bit form, else the file's short name where the code page holds that (it still
// names the file), else nothing: the "?" form would name no file.
std::optional<std::string_view> SavedNameOf(const TMP3FileInfo& rec, TPlaylistType type, std::string& scratch,
                                            bool& utf8) {
    utf8 = false;
    if (rec.Get(TInfoField::WideFileName).empty()) return rec.FileName();
    const std::wstring wide = U16ToWide(rec.WideFileName());
    if (type == TPlaylistType::M3u8) {
        scratch = WideToUtf8(wide);
        utf8 = true;
        return scratch;
    }
    if (WideToAnsiExact(wide, scratch)) return scratch;
    std::vector<wchar_t> shortName(wide.size() + MAX_PATH);
    const DWORD n = GetShortPathNameW(wide.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (n > 0 && n < shortName.size() && WideToAnsiExact(std::wstring(shortName.data(), n), scratch)) return scratch;
    return std::nullopt;
}

std::wstring WithCount(const wchar_t* text, int count) {
    std::wstring s(text);
    if (const size_t at = s.find(L"%d"); at != std::wstring::npos) s.replace(at, 2, std::to_wstring(count));
    return s;
}
}  // namespace

int TEntryAdding::AddPlaylistFileWide(TEntryList& target, const std::wstring& file) {
    if (!FileExists(file)) return 0;
    const std::string bytes = ReadWholeFile(file);
    const std::string base = ExtractPathFolder(WideToUtf8(FullPathOf(file)), Utf8PathText());
    int c = 0;
    switch (PlaylistTypeOfExtension(ExtractPathExt(WideToUtf8(file), Utf8PathText()))) {
    case TPlaylistType::M3u8:
        for (std::string_view name : ReadM3u8Names(bytes)) c += AddListedUtf8Name(target, base, std::string(name));
        break;
    case TPlaylistType::Pls: {
        const TPlsNames pls = ReadPlsNames(bytes);
        for (std::string_view name : pls.Names)
            c += AddListedUtf8Name(target, base, pls.Utf8 ? std::string(name) : AnsiTextToUtf8(name));
        break;
    }
    default:
        // Every line, in the code page: header and info lines name no file.
        for (std::string_view line : SplitPlaylistLines(bytes))
            c += AddListedUtf8Name(target, base, AnsiTextToUtf8(line));
        break;
    }
    return c;
}

int TEntryAdding::AddListedUtf8Name(TEntryList& target, const std::string& base, const std::string& name) {
    // As AddListedName, in UTF-8 and by wide names.
    if (name.empty() || name.find('\0') != std::string::npos) return 0;
    const std::string candidate = PathSeenFrom(base, name, Utf8PathText());
    if (!FileExists(Utf8ToWide(candidate))) return 0;
    std::string resolved;
    if (IsRootedOrDriveRelative(name)) resolved = WideToUtf8(FullPathOf(Utf8ToWide(candidate)));
    else if (!ResolvePathUtf8(base, name, resolved)) resolved = candidate;
    const std::wstring wide = Utf8ToWide(resolved);
    return AddPath(target, WideToAnsiName(wide), false, wide);
}

bool TListFiles::SaveListTo(const std::wstring& path, TPlaylistType type) {
    DWORD error = ERROR_SUCCESS;
    int leftOut = 0;
    bool saved = false;
    {
        TWaitCursor wait(form_.listBox_->Count() >= kBusyRows);
        TFileReplacement file(path);
        bool ok = file.Begin();
        if (ok) {
            // Written while the entries are walked, a piece at a time.
            TEntryLockGuard lock(form_.entryLock_);
            TPlaylistWriter writer(type, [&file](std::string_view bytes) { return file.Write(bytes); },
                                   &AnsiTextToUtf8, &AnsiLeadByte);
            std::string scratch, title;
            for (int i = 0; i < form_.listBox_->Count(); ++i) {
                const TMP3FileInfo* rec = form_.Record(i);
                if (!rec) continue;
                bool utf8 = false;
                const std::optional<std::string_view> name = SavedNameOf(*rec, type, scratch, utf8);
                if (!name) {
                    ++leftOut;
                    continue;
                }
                // Titles are UTF-8: whole in ".m3u8", the code page ("?" for what it lacks) elsewhere.
                const std::string& text = form_.listBox_->Text(i);
                const bool whole = type == TPlaylistType::M3u8;
                if (!whole) title = Utf8ToAnsi(text);
                writer.Add({*name, whole ? std::string_view(text) : std::string_view(title), rec->SongLength, utf8, whole});
            }
            ok = writer.Finish();
        }
        saved = ok && file.Commit();
        if (!saved) error = file.Error();
    }  // the new file is gone (or in place) before the user is told
    const TListFileTexts& texts = ListFileTexts(Plugin.JapaneseCaptions);
    if (saved) {
        if (leftOut > 0)
            ShowErrorBox(form_.Handle(), WideToUtf8(WithCount(texts.NamesLeftOut, leftOut)), MB_ICONWARNING);
        return true;
    }
    const std::wstring text = std::wstring(texts.CannotSave) + L"\n\n" + path + L"\n\n" + SystemErrorText(error);
    ShowErrorBox(form_.Handle(), WideToUtf8(text), MB_ICONERROR);
    return false;
}

void TListFiles::PopupItemSaveListClick() {
    const TListFileTexts& texts = ListFileTexts(Plugin.JapaneseCaptions);
    std::wstring start = lastSavedListFolder_;
    if (start.empty()) start = openDialogInitialDir_.empty() ? CurrentDirectoryW() : openDialogInitialDir_;
    TSaveListDialog dialog(saveDialogFilterIndex_, start);
    if (!dialog.Execute(form_.Handle(), texts.SaveDialogTitle, texts.SaveFilters)) return;
    saveDialogFilterIndex_ = dialog.FilterIndex();
    // The file holds the titles: the ones still being read come first (Esc: no save).
    if (!form_.FinishReading()) return;
    if (SaveListTo(dialog.FileName(), dialog.FileType())) lastSavedListFolder_ = FolderOfFile(dialog.FileName());
}

void TListFiles::PopupItemAddURLClick() {
    TAddURLDialog dialog;
    std::wstring text;
    if (!dialog.Execute(form_.Handle(), Plugin.JapaneseCaptions, text) || IsBlank(text)) return;
    // Not a file: nothing to read, and the whole text is its title. A host that
    // keeps wide names gets the text whole, as it gets a file's wide name.
    const std::string name = Plugin.HostUnicodeNames ? WideToAnsiName(text) : WideToAnsi(text);
    auto rec = std::make_unique<TMP3FileInfo>();
    rec->SetFileName(name);
    rec->SetTitle(name);
    if (Plugin.HostUnicodeNames) rec->SetWideFileName(WideToU16(text));
    rec->Kept = true;  // a stream: never read, dimmed like the host's own
    TEntryList entries;
    entries.Add(name, std::move(rec));
    form_.InsertEntries(-1, entries.Take());
    form_.PushListToHost();
}
