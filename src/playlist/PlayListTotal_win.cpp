// The control panel's total time: the selected entries' and all entries' known
// lengths, or the share read while titles and lengths are still coming in.
// The list control keeps each row's length beside the row and sums them as
// rows come and go, so no change looks at more than the rows it changed (and a
// selection change at most at the selected rows); the text is built once per
// batch of changes, by a posted message.
#include "playlist/PlayList_win.h"

#include <new>

#include "base/Text_win.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "playlist/TimeText.h"
#include "reading/TagReaderThread_win.h"

int TFormPlayList::WeighRecord(std::uintptr_t data) {
    const TMP3FileInfo* rec = TRecordRef::InWord(data);
    return rec ? rec->SongLength : -1;
}

void TFormPlayList::CreateTotalLabel() {
    // A static control, so that screen readers and tests read what it shows. It
    // lies inside the elapsed time's label, in the room its right-aligned digits
    // leave (that label fills the panel up to the eject button), and goes with it.
    labelTotal_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOPREFIX | SS_CENTERIMAGE,
                                  0, 0, 0, 22, labelTime_, nullptr, ThisModule(), nullptr);
    SendMessageW(labelTotal_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    totalShown_.clear();
    NoteTotalChanged();
}

int TFormPlayList::PlaceTotalLabel(int left, int width) {
    MoveWindow(labelTime_, left, 0, width, 22, TRUE);
    if (!labelTotal_) return width;
    // The elapsed time keeps the room of its longest text; the total is clipped first.
    int timeWidth = 0;
    {
        TClientDc dc(labelTime_);
        HGDIOBJ old = SelectObject(dc.get(), timeFont_.get());
        SIZE size{};
        if (GetTextExtentPoint32W(dc.get(), L"00:00:00", 8, &size)) timeWidth = size.cx + 4;
        SelectObject(dc.get(), old);
    }
    timeWidth = std::min(width, std::max(timeWidth, 4));
    MoveWindow(labelTotal_, 0, 0, width - timeWidth, 22, TRUE);
    return timeWidth;
}

void TFormPlayList::NoteTotalChanged() {
    if (totalPosted_ || !Handle()) return;
    totalPosted_ = PostMessageW(Handle(), WM_VL_TOTAL, 0, 0) != FALSE;
}

std::wstring TFormPlayList::TotalText() const {
    if (!listBox_) return L"";
    const std::size_t out = ReadsOutstanding();
    if (out > 0) {
        const std::size_t of = std::max(out, reading_.RunSize());
        return Utf8ToWide(ReadingShareText(of - out, of, Plugin.JapaneseCaptions));
    }
    const TWeightSums all = listBox_->RowWeights();
    const TWeightSums selected = listBox_->SelectedWeights();
    return AnsiToWide(TotalTimeText(selected.Known, all.Known, all.Unknown > 0));
}

void TFormPlayList::ShowTotal() {
    totalPosted_ = false;
    if (ReadsOutstanding() == 0) reading_.EndRun();
    try {
        const std::wstring text = TotalText();
        if (!labelTotal_ || text == totalShown_) return;
        totalShown_ = text;
        SetWindowTextW(labelTotal_, text.c_str());
    } catch (const std::bad_alloc&) {
        // Nothing to tell the user: the next change shows the total again.
        totalShown_.clear();
    }
}

void TFormPlayList::SetEntryLength(int row, TMP3FileInfo& rec, int length, bool fromFile) {
    rec.SongLength = length;
    rec.LengthFromFile = fromFile && length >= 0;
    rec.SetSongLengthText(SongLengthText(length));
    if (row >= 0 && row < listBox_->Count() && Record(row) == &rec) listBox_->SetRowWeight(row, length);
    NoteTotalChanged();
}

void TFormPlayList::ReadSongLengthChanged() {
    FinishBuild();
    TEntryLockGuard lock(entryLock_);
    for (int i = 0; i < listBox_->Count(); ++i) {
        TMP3FileInfo* rec = Record(i);
        if (!rec || rec->Kept) continue;
        // On: every file is read again for its length. Off: what the files gave goes.
        if (Option.ReadSongLength) reading_.Queue(i, true);
        else if (rec->LengthFromFile) SetEntryLength(i, *rec, -1, false);
    }
    reading_.Flush();
    RepaintList();
}
