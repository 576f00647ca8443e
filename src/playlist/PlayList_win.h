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
#include "playlist/PlayListMessages_win.h"
#include "playlist/TextWidths_win.h"
#include "skin/WatermarkPaint_win.h"
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
// The row text of a record: the user's title format over it, as UTF-8.
std::string EntryTitle(const TMP3FileInfo& rec);

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

// What the elapsed-time label shows: the second shown, and the text a blink hid.
struct TElapsedShown {
    int Second = 0;
    bool BlinkOn = false;
    std::wstring BlinkText;
};

// The window, its menu, tool bar and drawing, and the wiring of the commands;
// what it does lives in the parts it holds (one class each, friends of it).
class TFormPlayList : public TWindow {
public:
    TFormPlayList();
    ~TFormPlayList() override;
    bool Create();
    void Release() { TWindow::Release(); }

    // ---- the host: its window hooks, its list and its reports
    void ShowFromHost();
    void HideFromHost();
    void SetPlayingEntry(int index);
    LRESULT ReplaceByDroppedFiles(HDROP drop);
    void RebuildFromHost() { rebuild_.Start(); }
    void FinishBuild() { rebuild_.Finish(); }  // what a pending rebuild has left, at once
    void PushListToHost();
    void PushListToHostKeepingMarks();  // for a command that leaves entries marked
    void Timer1Timer();
    void SetReadyForHostReports() { readyForHostReports_ = true; }  // see the settings load

    // ---- the parts
    TEntryAdding& Adding() { return adding_; }
    TEntryCommands& Commands() { return commands_; }
    TListFiles& Files() { return files_; }
    TListLengths& Lengths() { return lengths_; }
    TListSteps& Steps() { return steps_; }

    // ---- rows and titles
    void ReplaceEntries(std::vector<TEntryRow> rows, bool asStep = true);
    void InsertEntries(int at, std::vector<TEntryRow> rows, bool asStep = true);
    void RetitleAll();
    void RereadMp3Tags();
    bool FinishReading(bool escapeCancels = true);
    // Entries whose tags are still out (a pending rebuild counts as one).
    std::size_t ReadsOutstanding() const { return reading_.Outstanding() + (rebuild_.Pending() ? 1 : 0); }
    int EntryCount() const { return listBox_->Count(); }
    TMP3FileInfo* Record(int i) const { return RecordOf(*listBox_, i); }
    std::string Title(int i) const { return listBox_->Text(i); }
    int PlayingIndex() const { return playingIndex_; }
    void SetPlayingIndex(int i) { playingIndex_ = i; }  // the mark alone (benches)
    TEntryLock& EntryLock() { return entryLock_; }
    TPlayListBox* ListBox() const { return listBox_.get(); }
    const TExtensionSet& AudioExtensions() const { return audioExtensions_; }
    void SetAudioExtensions(TExtensionSet extensions) { audioExtensions_ = std::move(extensions); }

    // ---- look
    void SetFormFontName(const std::wstring& face);  // designed "ＭＳ Ｐゴシック", 12 pixels
    std::wstring FormFontName() const;
    void ApplyListFont();  // row-height rule after a font change
    void RepaintList();    // whole list, then the skin's Changed flag is cleared
    int RetitleCount() const { return retitleCount_; }  // an edit costs one retitle or repaint at most
    int RepaintCount() const { return repaintCount_; }
    TWatermarkSkin* Skin() const { return skin_.get(); }
    HFONT ListFont() const { return listFont_.get(); }  // the skin keeps its own copy of the values
    TFont SetListFont(TFont font);                       // hands back the old one
    int SnapDistance() const { return snapDistance_; }
    void SetSnapDistance(int pixels) { snapDistance_ = pixels; }
    void FormResize();

    // ---- menu, tool bar and keys
    HMENU PopupMenuEdit() const { return popupMenu_.get(); }
    bool IsChecked(UINT item) const;
    void SetChecked(UINT item, bool on);
    bool IsEnabled(UINT item) const;
    void SetMenuCaption(UINT item, const std::wstring& caption);  // keeps the shortcut text
    std::wstring MenuCaption(UINT item) const;
    void ClickMenuItem(UINT item);  // the item's click handler, the item as sender
    HWND ToolBarControl() const { return toolBar_; }
    HWND LabelTime() const { return labelTime_; }
    HWND SpinButtonSongMove() const { return spin_; }
    HWND LabeHeightAdjust() const { return labelHeight_; }
    void HandleListKey(WORD key, unsigned shift);
    void ToolButtonCtrlPrevClick(int tag);
    void AddTrayIcon();
    void RemoveTrayIcon();

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
    void ReplaceRows(std::vector<TEntryRow> rows);  // ReplaceEntries without the undo step
    void InvalidateRow(int i);
    void AfterAlwaysOnTopChange();
    void SetPlayingEntry(int i, bool afterBuild);
    bool ScrollToPlaying(int i);
    friend class TEntryReading;
    friend class TListSteps;
    friend class TEntryAdding;
    friend class TListFiles;
    friend class TEntryCommands;
    friend class THostRebuild;
    friend class TListLengths;
    friend struct TBusyScope;

    bool readyForHostReports_ = false;
    int playingIndex_ = -1;
    int snapDistance_ = 10;
    TEntryLock entryLock_;
    std::unique_ptr<TPlayListBox> listBox_;
    std::unique_ptr<TWatermarkSkin> skin_;
    TWatermarkBackground background_;  // the skin's background, composed for the list's size
    TTextWidths titleWidths_;
    TExtensionSet audioExtensions_;
    TFont listFont_;
    THostRebuild rebuild_{*this};
    TListSteps steps_{*this};
    TListLengths lengths_{*this};
    int retitleCount_ = 0;
    int repaintCount_ = 0;
    TElapsedShown elapsed_;
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
    bool trayIconAdded_ = false;
    bool controlPanelVisible_ = true;
    TEntryReading reading_{*this};
    TEntryAdding adding_{*this};
    TListFiles files_{*this};
    TEntryCommands commands_{*this};
    int busyLoops_ = 0;  // our message loops running (TBusyScope): the wait cursor stays
};


