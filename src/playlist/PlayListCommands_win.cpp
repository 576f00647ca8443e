// The commands of the playlist window: control panel and keys, editing
// commands. The algorithms themselves are portable (ListCommands); here they
// run on the real list and tell the host.
#include "playlist/EntryCommands_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"
#include <commctrl.h>
#include <algorithm>
#include "base/CaseFold_win.h"
#include "base/Collation_win.h"
#include "fileinfo/EntryNames_win.h"
#include "base/FileExists_win.h"
#include "base/Text_win.h"
#include "host/CommonLib_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "entries/DragMove.h"
#include "playlist/JumpToFile_win.h"
#include "playlist/KeyTable.h"
#include "entries/ListCleanup.h"
#include "entries/TitleFormat.h"
#include "playlist/SkinApply_win.h"
#include "skin/WatermarkSkin_win.h"

bool IsSkinFileName(const std::string& path);

namespace {
bool KeyDown(int vk) { return GetKeyState(vk) < 0; }

// The list lets go of a removed row's record; the undo history may still hold it.
void DestroyRecordWord(std::uintptr_t data) { TRecordRef::FromWord(data).Reset(); }

// A plain file (not a folder) of the record's name exists: by its wide name when
// it has one, since its 8-bit name may hold "?" for what the code page lacks.
bool PlainFileExists(const TMP3FileInfo& rec) {
    const std::u16string wide = rec.WideFileName();
    return wide.empty() ? FileExists(std::string(rec.FileName())) : FileExists(U16ToWide(wide));
}

}  // namespace

// A command that keeps its entries marked pushes through here: the host's
// report of its position after the push takes the mark off a lone selected row
// (as after any track change), so that row is marked again, unless the report
// rebuilt the list. More than one mark the report leaves alone.
void TFormPlayList::PushListToHostKeepingMarks() {
    const TPlayListBox* before = listBox_.get();
    int lone = -1;
    if (before->SelCount() == 1 &&
        SendMessageW(before->Handle(), LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&lone)) != 1)
        lone = -1;
    const std::uint64_t revision = before->Revision();
    PushListToHost();
    // The window may also have gone with the host meanwhile.
    TPlayListBox* list = listBox_.get();
    if (lone < 0 || list != before || !list || list->Revision() != revision) return;
    if (lone < list->Count() && !list->IsSelected(lone)) list->SetSelected(lone, true);
}

// Every editing command is one undo step, recorded before its push so that a
// host that fails in the middle of the push does not lose it.

void TFormPlayList::ToolButtonCtrlPrevClick(int tag) {
    const TTransportClick click = ResolveTransportClick(tag, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL));
    switch (click.Kind) {
    case TTransportClick::TKind::Eject: files_.ToolButtonCtrlEjectClick(); break;
    case TTransportClick::TKind::PlayFirstEntry: HostPlayEntry(0); break;
    case TTransportClick::TKind::Transport: HostTransport(click.Index); break;
    }
}

void TFormPlayList::HandleListKey(WORD key, unsigned shift) {
    const TListKeyAction action =
        LookupListKey(ListKeyCode(key, (shift & ssShift) != 0, (shift & ssCtrl) != 0, (shift & ssAlt) != 0));
    switch (action) {
    case TListKeyAction::None: return;
    case TListKeyAction::PlayCaretEntry: commands_.PlayCaretEntry(); return;  // nothing on an empty list
    case TListKeyAction::RemoveSelected: commands_.RemoveEntries(TRemoveMode::Selected); return;
    case TListKeyAction::Crop: commands_.RemoveEntries(TRemoveMode::Crop); return;
    case TListKeyAction::RemoveAll: commands_.RemoveEntries(TRemoveMode::All); return;
    case TListKeyAction::AddFolder: ClickMenuItem(PopupItemAddFolder); return;
    case TListKeyAction::AddFile: ClickMenuItem(PopupItemAddFile); return;
    case TListKeyAction::SaveList: ClickMenuItem(PopupItemSaveList); return;
    case TListKeyAction::SelectAll: ClickMenuItem(PopupItemSelectAll); return;
    case TListKeyAction::Undo: ClickMenuItem(PopupItemUndo); return;
    case TListKeyAction::Redo: ClickMenuItem(PopupItemRedo); return;
    case TListKeyAction::ReverseList: ClickMenuItem(PopupItemSortReverse); return;
    case TListKeyAction::RandomizeList: ClickMenuItem(PopupItemSortRandomize); return;
    case TListKeyAction::AlwaysOnTop: ClickMenuItem(PopupItemAOT); return;
    case TListKeyAction::LaunchControlPanel: ClickMenuItem(LaunchtheControlpanel1); return;
    case TListKeyAction::ToggleDoubleSize: HostToggleDoubleSize(); return;
    case TListKeyAction::HostPreferences: HostShowPreferences(); return;
    case TListKeyAction::HostFileInfo: HostShowFileInfo(); return;
    case TListKeyAction::HostSkinSelector: HostShowSkinSelector(); return;
    case TListKeyAction::JumpToFile:
        // Posted, so the modal dialog runs from the window's own message and not
        // inside the list's key handling.
        PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(PopupItemJumpToFile, 0), 0);
        return;
    default: {
        const int k = TransportIndexOf(action);
        if (k >= 0) HostTransport(k);
        return;
    }
    }
}

TFont TFormPlayList::SetListFont(TFont font) {
    std::swap(font, listFont_);
    return font;
}

void TFormPlayList::ApplyListFont() {
    if (!listBox_) return;
    // The face the player's skin lends, if any, over our own font.
    const HFONT font = skin_ ? skin_->ShownListFont(listFont_.get()) : listFont_.get();
    listBox_->SetFont(font);
    if (labelHeight_) {
        SendMessageW(labelHeight_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        HDC dc = GetDC(labelHeight_);
        HGDIOBJ old = SelectObject(dc, font);
        RECT r{0, 0, 1000, 0};
        wchar_t text[32] = {};
        GetWindowTextW(labelHeight_, text, 32);
        DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(labelHeight_, dc);
        SetWindowPos(labelHeight_, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        listBox_->SetItemHeight(r.bottom + 2);
    }
}

void TEntryCommands::MoveSelected(TMoveDirection d) {
    TUndoStep step(form_);
    if (!MoveSelectedEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_, d)) return;
    step.Commit();
    form_.PushListToHostKeepingMarks();
}

void TEntryCommands::RemoveEntries(TRemoveMode m) {
    TUndoStep step(form_);
    if (!::RemoveEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_, m, &DestroyRecordWord)) return;
    step.Commit();
    form_.PushListToHostKeepingMarks();
}

void TEntryCommands::RemoveDuplicates() {
    TWaitCursor wait(form_.listBox_->Count() >= kBusyRows);
    TUndoStep step(form_);
    if (!RemoveDuplicateEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_, CaseFold(), &DestroyRecordWord, &FoldWide)) return;
    step.Commit();
    form_.PushListToHostKeepingMarks();
}

const TCaseFold& TEntryCommands::CaseFold() {
    // The code page stays for the life of the process.
    if (!caseFold_) caseFold_ = std::make_unique<TCaseFold>(AnsiCaseFold());
    return *caseFold_;
}

void TEntryCommands::RemoveDeadFiles() {
    // Every name is looked up on disk, which may be slow (network folders): the
    // wait cursor shows, and Esc gives up before anything is removed.
    TWaitCursor wait;
    // A press already waiting counts, however quickly the names are looked up.
    TDirectoryScan escape;
    bool first = true;
    auto cancelled = [&] {
        const bool now = first ? escape.CancelledNow() : escape.Cancelled();
        first = false;
        return now;
    };
    TUndoStep step(form_);
    if (!RemoveDeadEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_, &PlainFileExists, cancelled, &DestroyRecordWord)) return;
    step.Commit();
    form_.PushListToHostKeepingMarks();
}

void TEntryCommands::SortCommand(TSortCommand command) {
    // Sorting by title needs every title: the ones still being read come first
    // (Esc: no sort).
    if (command == TSortCommand::Title && !form_.FinishReading()) return;
    TWaitCursor wait(form_.listBox_->Count() >= kBusyRows);
    TUndoStep step(form_);
    bool changed = false;
    switch (command) {
    case TSortCommand::Title:
    case TSortCommand::FileName:
    case TSortCommand::Path:
        changed = SortEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_, static_cast<TSortKey>(command), UserCollationUtf8(),
                              CodePageNames());
        break;
    case TSortCommand::Reverse: changed = ReverseEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_); break;
    case TSortCommand::Randomize: {
        SYSTEMTIME t{};
        GetSystemTime(&t);
        changed = RandomizeEntries(*form_.listBox_, form_.playingIndex_, form_.entryLock_, random_,
                                   TimeOfDaySeed(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds));
        break;
    }
    }
    if (!changed) return;
    step.Commit();
    form_.PushListToHostKeepingMarks();
}

void TEntryCommands::PlayCaretEntry() {
    // An empty list may still report caret 0.
    const int i = form_.listBox_->ItemIndex();
    if (i >= 0 && i < form_.listBox_->Count()) HostPlayEntry(i);
}

void TEntryCommands::DragMoveEntries(int gap) {
    TUndoStep step(form_);
    if (!MoveSelectedEntriesTo(*form_.listBox_, form_.playingIndex_, form_.entryLock_, gap)) return;
    step.Commit();
    form_.PushListToHostKeepingMarks();
}

void TEntryCommands::JumpToFile() {
    if (!form_.listBox_) return;
    // The search is on titles: the ones still being read come first (Esc: no dialog).
    if (!form_.FinishReading()) return;
    int i = -1;
    {
        TFormJumpToFile dialog(form_, Plugin.JapaneseCaptions);
        i = dialog.Execute();
    }
    // The window may have gone with the host while the dialog was open.
    if (i < 0 || !form_.Handle() || !form_.listBox_ || i >= form_.listBox_->Count()) return;
    const std::uint64_t before = form_.listBox_->Revision();
    HostPlayEntry(i);
    // The host's answer may have rebuilt the list: then the played entry is the playing one.
    if (!form_.Handle() || !form_.listBox_) return;
    if (form_.listBox_->Revision() != before) i = form_.playingIndex_;
    if (i < 0 || i >= form_.listBox_->Count()) return;
    form_.listBox_->BeginUpdate();
    try {
        for (int k = 0; k < form_.listBox_->Count(); ++k)
            if (form_.listBox_->IsSelected(k)) form_.listBox_->SetSelected(k, false);
    } catch (...) {
        form_.listBox_->EndUpdate();
        throw;
    }
    form_.listBox_->EndUpdate();
    form_.listBox_->SetSelected(i, true);
    form_.listBox_->SetItemIndex(i);
    const int rows = std::max(1, form_.listBox_->Height() / std::max(1, form_.listBox_->ItemHeight()));
    const int top = form_.listBox_->TopIndex();
    if (i < top || i >= top + rows) form_.listBox_->SetTopIndex(std::max(0, i - rows / 2));
}
