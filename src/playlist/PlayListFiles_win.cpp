// Saving the list as a playlist file, and adding a URL: the commands "Save
// list..." and "Add URL...". The file's bytes come from the portable writer; the
// file is replaced only once the new one is whole.
#include "playlist/PlayList_win.h"
#include <vector>
#include "base/AtomicFile_win.h"
#include "base/Text_win.h"
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
}  // namespace

bool TFormPlayList::SaveListTo(const std::wstring& path, TPlaylistType type) {
    DWORD error = ERROR_SUCCESS;
    {
        TWaitCursor wait(ListBox->Count() >= kBusyRows);
        TFileReplacement file(path);
        bool ok = file.Begin();
        if (ok) {
            // Written while the entries are walked, a piece at a time.
            TEntryLockGuard lock(EntryLock);
            TPlaylistWriter writer(type, [&file](std::string_view bytes) { return file.Write(bytes); },
                                   &AnsiTextToUtf8, &AnsiLeadByte);
            for (int i = 0; i < ListBox->Count(); ++i)
                if (const TMP3FileInfo* rec = Record(i)) writer.Add({rec->FileName(), ListBox->Text(i), rec->SongLength});
            ok = writer.Finish();
        }
        if (ok && file.Commit()) return true;
        error = file.Error();
    }  // the new file is gone before the user is told
    const TListFileTexts& texts = ListFileTexts(Plugin.JapaneseCaptions);
    ShowErrorBox(Handle(), WideToUtf8(std::wstring(texts.CannotSave) + L"\n\n" + path + L"\n\n" + SystemErrorText(error)),
                 MB_ICONERROR);
    return false;
}

void TFormPlayList::PopupItemSaveListClick() {
    const TListFileTexts& texts = ListFileTexts(Plugin.JapaneseCaptions);
    std::wstring start = LastSavedListFolder;
    if (start.empty()) start = OpenDialogInitialDir.empty() ? CurrentDirectoryW() : AnsiToWide(OpenDialogInitialDir);
    TSaveListDialog dialog(SaveDialogFilterIndex, start);
    if (!dialog.Execute(Handle(), texts.SaveDialogTitle, texts.SaveFilters)) return;
    SaveDialogFilterIndex = dialog.FilterIndex();
    if (SaveListTo(dialog.FileName(), dialog.FileType())) LastSavedListFolder = FolderOfFile(dialog.FileName());
}

void TFormPlayList::PopupItemAddURLClick() {
    TAddURLDialog dialog;
    std::wstring text;
    if (!dialog.Execute(Handle(), Plugin.JapaneseCaptions, text) || IsBlank(text)) return;
    // Not a file: nothing to read, and the whole text is its title.
    const std::string name = WideToAnsi(text);
    auto rec = std::make_unique<TMP3FileInfo>();
    rec->SetFileName(name);
    rec->SetTitle(name);
    rec->Kept = true;  // a stream: never read, dimmed like the host's own
    TEntryList entries;
    entries.Add(name, std::move(rec));
    InsertEntries(-1, entries.Take());
    PushListToHost();
}
