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
#include "playlist/EntryAdding_win.h"
#include "playlist/EntryCommands_win.h"
#include "playlist/EntryReading_win.h"
#include "playlist/ListFiles_win.h"
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
    TEntryAdding& Adding() { return adding_; }
    TListFiles& Files() { return files_; }
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
    TEntryCommands& Commands() { return commands_; }
    void HandleListKey(WORD key, unsigned shift);
    void ToolButtonCtrlPrevClick(int tag);
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
    friend class TEntryAdding;
    friend class TListFiles;
    friend class TEntryCommands;
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
    bool trayIconAdded_ = false;
    bool controlPanelVisible_ = true;
    TEntryReading reading_{*this};
    TEntryAdding adding_{*this};
    TListFiles files_{*this};
    TEntryCommands commands_{*this};
    // A command of ours runs a message loop while it waits (a folder scan, a
    // wait for titles): the pointer over our windows keeps the wait cursor.
    int busyLoops_ = 0;
    friend struct TBusyScope;
};


