#pragma once
// TFormPlayList: the plug-in's playlist window, standing in for the host's
// playlist editor. One instance, created by InitPlugin, released at teardown.
//
// Entry model: every row of ListBox is an entry - its display title and, in the
// row's data word, a counted reference to its TMP3FileInfo record (TRecordRef).
// A record lives while a row, an undo step, the reading or a rebuild holds it.
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>
#include "base/CaseFold.h"
#include "base/Handles_win.h"
#include "base/Window_win.h"
#include "controls/CustomPlayListBox_win.h"
#include "entries/EntryLock_win.h"
#include "host/SettingsValues.h"
#include "entries/EntryList.h"
#include "entries/JumpMatch.h"
#include "entries/ListCommands.h"
#include "entries/Options.h"
#include "entries/UndoHistory.h"
#include "fileinfo/PlaylistFile.h"
#include "playlist/EntryReading_win.h"
#include "playlist/HostRebuild_win.h"
#include "playlist/ListLengths_win.h"
#include "playlist/ListSteps_win.h"
#include "playlist/MenuIds.h"
#include "playlist/PlayListMessages.h"
#include "entries/RecordsByName.h"

class TWatermarkSkin;
class TFormPlayList;
struct TPendingBuild;
struct TBackgroundAdd;
class TTagReaderThread;
struct TFoundFile;
struct TReadResult;

// Esc for this thread: a press waiting in its queue (taken out) or the key held
// down while one of its windows is in front.
bool EscapeKeyPressed();
// Runs, for about 10 ms, the messages waiting in this thread's queue while a
// command of ours waits: the player, painting and timers go on, and input to
// the plug-in's own windows is dropped (as under a modal dialog), so that no
// other command starts on the list meanwhile. False when the command is to
// stop: Esc pressed, or the player quitting (its quit message goes back in
// the queue for the player's own loop).
bool RunMessagesWhileBusy();
// Esc for a command in such a loop: as EscapeKeyPressed, a posted press too.
bool EscapeWhileBusy();
// "." or "..", in either form: such a name adds nothing, though the system
// takes it for the current folder or its parent.
bool IsDotName(const std::string& path, const std::wstring& wide);
// A dropped or chosen name that is a folder to walk (not a volume label, not a dot name).
bool IsFolderName(const TFoundFile& name);

// A record whose tags the reader thread is still to bring: titled by its file
// name meanwhile.
std::unique_ptr<TMP3FileInfo> NewEntryToRead(const std::string& path, const std::wstring& wide);
// A steady clock in milliseconds, for work done in pieces between messages.
double NowMs();

// The open dialog's title (the captions may replace it).
extern std::wstring OpenDialogTitle;

// From this many rows on, a sort, rebuild or push shows the wait cursor.
constexpr int kBusyRows = 2000;

// One command's directory scan, shared by every path the command adds: Esc
// stops all of it, keeping what was found so far.
class TDirectoryScan {
public:
    TDirectoryScan();
    // Looks for Esc every few calls (one call per entry looked at); stays true once seen.
    bool Cancelled();
    // Looks for Esc at once, whenever it was last looked for.
    bool CancelledNow();

private:
    bool cancelled_ = false;
    int calls_ = 0;
};

class TFormPlayList : public TWindow {
public:
    TFormPlayList();
    ~TFormPlayList() override;

    bool Create();
    void Release() { TWindow::Release(); }

    // ---- called by the host's window hooks
    void ShowFromHost();
    void HideFromHost();
    void SetPlayingEntry(int index);
    LRESULT ReplaceByDroppedFiles(HDROP drop);

    // ---- host synchronisation
    // One entry per host entry (THostRebuild); a long list is made in pieces.
    void RebuildFromHost() { rebuild_.Start(); }
    // Makes and installs at once what a pending rebuild has left.
    void FinishBuild() { rebuild_.Finish(); }
    void PushListToHost();
    // The same for a command that leaves entries marked: they stay marked.
    void PushListToHostKeepingMarks();
    void Timer1Timer();

    // ---- entries and titles
    // `wide`: the path's wide form on a host that keeps Unicode names (empty otherwise).
    int AddPath(TEntryList& target, const std::string& path, bool expand, const std::wstring& wide = {});
    // An existing file (no directory, no playlist file) with an audio extension: what
    // AddPath reads. Anything else the host holds is kept without being read.
    bool IsReadableAudioFile(const std::string& path, const std::wstring& wide = {}) const;
    // Exactly one entry for a name of the host's playlist (and its wide name):
    // one to read (showing what `earlier`, the list's record of that name, held),
    // or kept.
    void AddHostEntry(TEntryList& target, const std::string& name, const std::wstring& wide = {},
                      const TMP3FileInfo* earlier = nullptr);
    // A kept entry whose file has appeared (the drive came back) is read and
    // retitled; false when there was nothing to read.
    bool ReadKeptEntryIfPresent(int i);
    // Finishes the reading still out (wait cursor) before the titles are rebuilt.
    void RetitleAll();
    // Reads the tags of every ".mp3" entry again (the ID3v2 preference changed),
    // in the background; each title follows when its entry is in.
    void RereadMp3Tags();
    // Destroys every record and puts the rows in their place (no repaint between).
    // The rows' records belong to the list from the call on: if the native list
    // refuses the rows, their records are destroyed, and so are the old ones
    // (the list is then empty).
    // One undo step when the names change, unless asStep is false.
    void ReplaceEntries(std::vector<TEntryRow> rows, bool asStep = true);
    // Inserts the rows before row at in one step (at the end for -1 or past the
    // last row) and keeps the playing mark on its entry. All or nothing: rows that
    // cannot be placed have their records destroyed, the list stays as it was.
    // One undo step.
    void InsertEntries(int at, std::vector<TEntryRow> rows, bool asStep = true);

    // ---- tags read in the background
    // Waits, with the wait cursor, until every entry's tags are in, the window
    // handling its messages meanwhile (RunMessagesWhileBusy); false when Esc,
    // the player quitting or the window going ended the wait first (the reading
    // goes on). Without escapeCancels (the tests' message) no message is run.
    bool FinishReading(bool escapeCancels = true);
    // Entries whose tags are still out (a pending rebuild counts as one).
    std::size_t ReadsOutstanding() const { return reading_.Outstanding() + (rebuild_.Pending() ? 1 : 0); }

    // ---- lengths and the total time in the control panel
    TListLengths& Lengths() { return lengths_; }
    const TListLengths& Lengths() const { return lengths_; }

    // ---- undo and redo
    TListSteps& Steps() { return steps_; }
    const TListSteps& Steps() const { return steps_; }
    int EntryCount() const { return listBox_->Count(); }
    TMP3FileInfo* Record(int i) const { return RecordOf(*listBox_, i); }
    std::string Title(int i) const { return listBox_->Text(i); }

    // ---- look
    // The window's own font (designed "ＭＳ Ｐゴシック", 12 pixels); captions switch it.
    void SetFormFontName(const std::wstring& face);
    std::wstring FormFontName() const;
    void ApplyListFont();  // row-height rule after a font change
    void RepaintList();    // whole list, then the skin's Changed flag is cleared
    // How often the titles were rebuilt and the list repainted: lets tests see
    // that an edit costs one rebuild or one repaint, not several.
    int RetitleCount() const { return retitleCount_; }
    int RepaintCount() const { return repaintCount_; }

    // ---- menu
    HMENU PopupMenuEdit() const { return popupMenu_.get(); }
    bool IsChecked(UINT item) const;
    void SetChecked(UINT item, bool on);
    bool IsEnabled(UINT item) const;
    // Replaces an item's caption, keeping its shortcut text.
    void SetMenuCaption(UINT item, const std::wstring& caption);
    std::wstring MenuCaption(UINT item) const;
    // Runs an item's click handler with that item as sender.
    void ClickMenuItem(UINT item);
    HWND ToolBarControl() const { return toolBar_; }
    HWND LabelTime() const { return labelTime_; }
    HWND SpinButtonSongMove() const { return spin_; }

    // ---- commands
    void MoveSelected(TMoveDirection d);
    void RemoveEntries(TRemoveMode m);
    // "Remove duplicates": of the entries whose names are equal ignoring case, the first stays.
    void RemoveDuplicates();
    // The ANSI code page's case folding, built the first time it is needed.
    const TCaseFold& CaseFold();
    // "Remove dead files": entries whose file is gone (streams stay); Esc cancels.
    void RemoveDeadFiles();
    void PlayCaretEntry();
    // "Jump to file...": the dialog, then the chosen entry played and selected alone.
    void JumpToFile();
    // The selected entries dragged into the gap before row gap.
    void DragMoveEntries(int gap);
    void HandleListKey(WORD key, unsigned shift);
    void ToolButtonCtrlPrevClick(int tag);
    void ToolButtonCtrlEjectClick();
    void PopupItemAddFolderClick();
    // Adds a folder tree at the end of the list as the reader thread finds its
    // files, the window handling its messages meanwhile (RunMessagesWhileBusy);
    // Esc stops it at any moment, keeping the entries already in the list.
    // One step, one push.
    void AddFolderInBackground(const std::string& folder, const std::wstring& wide);
    // The entries of names in order, before row at (-1: at the end), or the
    // first of them in place of the list. Folders are walked on the reader
    // thread, as above (a replacing one keeps, on Esc, the entries collected
    // so far); no undo step and no push of its own. Returns how many came.
    int AddInBackground(const std::vector<TFoundFile>& names, int at, bool replace);
    // Rows added by a command that then failed go again, with their records.
    void TakeBackRows(int first, int n);
    // ---- list files: saving the list, adding files and a URL
    void PopupItemSaveListClick();
    void PopupItemAddFileClick();
    void PopupItemAddURLClick();
    // Writes the list to path as type, replacing the file only once it is whole;
    // false after the user was told why not.
    bool SaveListTo(const std::wstring& path, TPlaylistType type);
    void SortCommand(TSortCommand command);
    void AddTrayIcon();
    void RemoveTrayIcon();
    void FormResize();

    // ---- state
    // Set by the settings load just before it reports the host's position. Until
    // then host reports are ignored: the audio extensions are not known yet, and a
    // rebuild would keep every host entry unread.
    void SetReadyForHostReports() { readyForHostReports_ = true; }
    int PlayingIndex() const { return playingIndex_; }
    // The playing mark alone, as a report of the host would set it (benches).
    void SetPlayingIndex(int i) { playingIndex_ = i; }
    int SnapDistance() const { return snapDistance_; }
    void SetSnapDistance(int pixels) { snapDistance_ = pixels; }
    TEntryLock& EntryLock() { return entryLock_; }
    TPlayListBox* ListBox() const { return listBox_.get(); }
    TWatermarkSkin* Skin() const { return skin_.get(); }
    const TExtensionSet& AudioExtensions() const { return audioExtensions_; }
    void SetAudioExtensions(TExtensionSet extensions) { audioExtensions_ = std::move(extensions); }
    // The list font; the skin keeps its own copy of the values. Setting it hands back the old one.
    HFONT ListFont() const { return listFont_.get(); }
    TFont SetListFont(TFont font) {
        std::swap(font, listFont_);
        return font;
    }
    HWND LabeHeightAdjust() const { return labelHeight_; }


protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool ChildMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool OwnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

private:
    void FormCreate();
    void FormDestroy();
    void FormClose();
    void FormShow();
    void CreateMenu();
    void CreateToolBar();
    void SetMenuImages();
    bool MeasureMenuImage(MEASUREITEMSTRUCT& mis) const;
    bool DrawMenuImage(const DRAWITEMSTRUCT& dis) const;
    void LayoutChildren();
    LRESULT OnTrayIcon(LPARAM lp);
    void OnWindowPosChanging(WINDOWPOS* pos);
    LRESULT OnCopyData(const COPYDATASTRUCT* cds);
    void OnCommand(WORD id, WORD code, HWND control);
    void OnContextMenu(int x, int y);
    void DropFiles(HDROP drop);
    // The dropped names in their order; a skin file among them is set aside. Releases the drop.
    std::vector<TFoundFile> DroppedNames(HDROP drop, std::string& skinFile);
    // Adds the names' entries before row at (-1: at the end), or in place of
    // the list; one undo step. Returns how many came.
    int AddDropped(const std::vector<TFoundFile>& names, int at, bool replace);
    int AddDirectory(TEntryList& target, const std::string& dir);
    int AddDirectory(TEntryList& target, const std::wstring& dir);
    void AddFoundFile(TEntryList& target, const TFoundFile& f);
    // `wide`: the playlist file's own wide name, when there is one.
    int AddPlaylistFile(TEntryList& target, const std::string& file, const std::wstring& wide = {});
    // On a host that keeps Unicode names: every listed name as UTF-8, resolved and
    // added by its wide name (the 8-bit one cannot hold every character).
    int AddPlaylistFileWide(TEntryList& target, const std::wstring& file);
    int AddListedUtf8Name(TEntryList& target, const std::string& base, const std::string& name);
    // The open dialog's files: replacing the list and playing (Eject) or appended.
    void AddChosenFiles(const std::wstring& title, bool replace);
    // One name a playlist file lists, resolved from the playlist's folder base.
    int AddListedName(TEntryList& target, const std::string& base, const std::string& name);
    void DrawEntry(TCustomPlayListBox& list, int index, const RECT& rect, unsigned state);
    void DrawListBackground(TCustomPlayListBox& list, const RECT& rect);
    void SetCaptionFromEntry(int i);
    void SetLabelTime(const std::wstring& text);
    void DestroyAllRecords();
    // ReplaceEntries without the undo step.
    void ReplaceRows(std::vector<TEntryRow> rows);
    void InvalidateRow(int i);
    void AfterAlwaysOnTopChange();
    friend class TEntryReading;
    friend class TListSteps;
    friend class THostRebuild;
    friend class TListLengths;

    bool readyForHostReports_ = false;
    int playingIndex_ = -1;
    int snapDistance_ = 10;
    TEntryLock entryLock_;
    std::unique_ptr<TPlayListBox> listBox_;
    std::unique_ptr<TWatermarkSkin> skin_;
    TExtensionSet audioExtensions_;
    TFont listFont_;
    THostRebuild rebuild_{*this};
    TListSteps steps_{*this};
    TListLengths lengths_{*this};
    int retitleCount_ = 0;
    int repaintCount_ = 0;
    // The save dialog's last filter (from 1) and the folder of the last list saved.
    int saveDialogFilterIndex_ = 1;
    std::wstring lastSavedListFolder_;
    std::wstring openDialogInitialDir_;
    TPlaylistRandom random_;
    int labelTimeTag_ = 0;
    bool timeBlinkOn_ = false;
    std::wstring timeBlinkText_;
    TMenu popupMenu_;
    HMENU playSub_ = nullptr;
    HWND toolBar_ = nullptr;
    HWND spin_ = nullptr;
    HWND labelTime_ = nullptr;
    HWND labelHeight_ = nullptr;
    TImageList images_;
    TFont timeFont_;
    TFont formFont_;
    TBrush listBrush_;
    // afterBuild: the report waited for a rebuild, the list is the host's; no rebuild again.
    void SetPlayingEntry(int i, bool afterBuild);
    // Brings row i, which the mark moves to from playingIndex_, into view; true
    // when the whole list must repaint.
    bool ScrollToPlaying(int i);
    TDirectoryScan* scan_ = nullptr;  // the open scan (owned by its TScanScope)
    std::unique_ptr<TCaseFold> caseFold_;
    bool trayIconAdded_ = false;
    bool controlPanelVisible_ = true;
    TEntryReading reading_{*this};
    // A folder is being added in the background: a host report that would
    // rebuild the list is let go (the push at the end sets the host's list).
    bool scanningFolder_ = false;
    void PutEntries(TBackgroundAdd& add, TEntryList& entries);
    bool AddFolderFromReader(TBackgroundAdd& add, const TFoundFile& folder, HWND window);
    // A command of ours runs a message loop while it waits (a folder scan, a
    // wait for titles): the pointer over our windows keeps the wait cursor.
    int busyLoops_ = 0;
    friend class TScanScope;
    friend struct TBusyScope;
};


