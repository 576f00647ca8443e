// The list's rows as a whole: dropped files put in, the rows replaced or
// inserted (each record's reference handed to its row), and titles built again.
#include "playlist/PlayList_win.h"
#include <algorithm>
#include <optional>
#include "base/Text_win.h"
#include "fileinfo/TagReaders.h"
#include "host/HostOps_win.h"
#include "reading/FolderScan_win.h"
#include "host/PluginState_win.h"
#include "entries/TitleFormat.h"
#include "fileinfo/EntryNames_win.h"
#include "playlist/SkinApply_win.h"

void TFormPlayList::DropFiles(HDROP drop) {
    if (adding_.Scanning() || busyLoops_ > 0) {
        // The list is being filled by a scan, or a command waits: a drop now would interleave with it.
        DragFinish(drop);
        return;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        ReplaceByDroppedFiles(drop);
        return;
    }
    const bool append = (GetKeyState(VK_SHIFT) < 0) != Option.SongAddLast;
    int target = -1;
    POINT pt{};
    DragQueryPoint(drop, &pt);
    if (pt.x >= listBox_->Left() && pt.x < listBox_->Left() + listBox_->Width() && pt.y >= listBox_->Top() &&
        pt.y < listBox_->Top() + listBox_->Height()) {
        target = (pt.y - listBox_->Top()) / std::max(1, listBox_->ItemHeight()) + listBox_->TopIndex();
        if (target >= listBox_->Count()) target = -1;
    }
    std::string skin;
    const std::vector<TFoundFile> names = adding_.DroppedNames(drop, skin);
    if (adding_.AddDropped(names, append ? -1 : target, false) > 0) PushListToHost();
    if (!skin.empty() && listBox_) ApplySkinFile(skin);
}

LRESULT TFormPlayList::ReplaceByDroppedFiles(HDROP drop) {
    if (adding_.Scanning() || busyLoops_ > 0) {
        DragFinish(drop);
        return 0;
    }
    FinishBuild();
    std::string skin;
    const std::vector<TFoundFile> names = adding_.DroppedNames(drop, skin);
    if (adding_.AddDropped(names, -1, true) > 0) {
        PushListToHost();
        HostPlayEntry(0);
    }
    if (!skin.empty() && listBox_) ApplySkinFile(skin);
    return 0;
}

// Destroys every record and puts the rows in their place (no repaint between).
// The rows' records belong to the list from the call on: if the native list
// refuses the rows, their records are destroyed, and so are the old ones (the
// list is then empty). One undo step when the names change, unless asStep is false.
void TFormPlayList::ReplaceEntries(std::vector<TEntryRow> rows, bool asStep) {
    // One undo step when the names change: a rebuild that finds the names it
    // had is no change, though its records are fresh.
    bool sameNames = static_cast<int>(rows.size()) == listBox_->Count();
    for (std::size_t i = 0; sameNames && i < rows.size(); ++i) {
        const TMP3FileInfo* now = Record(static_cast<int>(i));
        const TMP3FileInfo* next = rows[i].Record.Get();
        sameNames = now && next && now->EntryName() == next->EntryName();
    }
    if (!asStep || sameNames) {
        ReplaceRows(std::move(rows));
        return;
    }
    std::optional<TUndoStep> step;
    step.emplace(*this);
    try {
        ReplaceRows(std::move(rows));
    } catch (...) {
        step->Commit();  // a list the native control emptied can be brought back
        throw;
    }
    step->Commit();
}

void TFormPlayList::ReplaceRows(std::vector<TEntryRow> rows) {
    TListRows incoming(std::move(rows));
    std::vector<std::uintptr_t> old;
    old.reserve(static_cast<std::size_t>(listBox_->Count()));
    TUpdateGuard updates(*listBox_);
    TEntryLockGuard lock(entryLock_);
    // The old records go and the new rows come under one suspension: no
    // repaint can see a row whose record is already destroyed.
    for (int i = 0; i < listBox_->Count(); ++i) old.push_back(listBox_->Data(i));
    try {
        listBox_->Assign(std::move(incoming.Rows()));
    } catch (...) {
        // The new rows never arrived (their records go with `incoming`). When
        // the native list refused them the old ones left too (the list is
        // empty); otherwise they are still in place.
        if (listBox_->Count() == 0 && !old.empty()) {
            ReleaseWords(old);
            playingIndex_ = -1;
        }
        throw;
    }
    incoming.Handed();
    ReleaseWords(old);
}

// Inserts the rows before row at (at the end for -1 or past the last row) and
// keeps the playing mark on its entry. All or nothing: rows that cannot be
// placed have their records destroyed, the list stays as it was. One undo step.
void TFormPlayList::InsertEntries(int at, std::vector<TEntryRow> rows, bool asStep) {
    if (rows.empty()) return;
    const int k = static_cast<int>(rows.size());
    TListRows incoming(std::move(rows));
    std::optional<TUndoStep> step;
    if (asStep) step.emplace(*this);
    {
        TUpdateGuard updates(*listBox_);
        TEntryLockGuard lock(entryLock_);
        // All or nothing: on failure the list is as it was, and the rows' records go with `incoming`.
        if (at < 0 || at >= listBox_->Count()) {
            listBox_->Append(std::move(incoming.Rows()));
        } else {
            listBox_->Insert(at, std::move(incoming.Rows()));
            if (at <= playingIndex_) playingIndex_ += k;
        }
        incoming.Handed();
    }
    if (step) step->Commit();
}

// The tags of every ".mp3" entry again (the ID3v2 preference changed), in the
// background; each title follows when its entry is in.
void TFormPlayList::RereadMp3Tags() {
    FinishBuild();
    TEntryLockGuard lock(entryLock_);
    for (int i = 0; i < listBox_->Count(); ++i) {
        TMP3FileInfo* rec = Record(i);
        // A kept entry has no file to read (a stream named "....mp3" included).
        // The reader makes a fresh record, so that values the other preference
        // chose do not stay; what the host and the list told the entry is kept.
        if (!rec || rec->Kept || ChooseTagReader(rec->FileName(), &AnsiLeadByte) != TTagReader::Id3v1) continue;
        reading_.Queue(i, true);
    }
    reading_.Flush();
}

// Finishes the reading still out (wait cursor) before the titles are rebuilt.
void TFormPlayList::RetitleAll() {
    // Esc only ends the wait: the titles are built in the new form all the
    // same, and entries still out get it when they come in.
    FinishReading();
    ++retitleCount_;
    {
        TUpdateGuard updates(*listBox_);
        TEntryLockGuard lock(entryLock_);
        for (int i = 0; i < listBox_->Count(); ++i)
            if (TMP3FileInfo* rec = Record(i)) listBox_->SetText(i, EntryTitle(*rec));
    }
    RepaintList();
}

std::string EntryTitle(const TMP3FileInfo& rec) { return BuildEntryTitle(Option.PlaylistFormat, rec, CodePageNames()); }
