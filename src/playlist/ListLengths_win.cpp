// The control panel's total time: the selected entries' and all entries' known
// lengths, or the share read while titles and lengths are still coming in.
// The list control keeps each row's length beside the row and sums them as
// rows come and go, so no change looks at more than the rows it changed (and a
// selection change at most at the selected rows); the text is built once per
// batch of changes, by a posted message.
#include "playlist/ListLengths_win.h"
#include "playlist/PlayList_win.h"

#include <new>

#include "base/Text_win.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "playlist/TimeText.h"
#include "reading/TagReaderThread_win.h"

int TListLengths::WeighRecord(std::uintptr_t data) {
    const TMP3FileInfo* rec = TRecordRef::InWord(data);
    return rec ? rec->SongLength : -1;
}

void TListLengths::CreateLabel(HWND timeLabel) {
    // A static control, so that screen readers and tests read what it shows. It
    // lies inside the elapsed time's label, in the room its right-aligned digits
    // leave (that label fills the panel up to the eject button), and goes with it.
    label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOPREFIX | SS_CENTERIMAGE,
                                  0, 0, 0, 22, timeLabel, nullptr, ThisModule(), nullptr);
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    shown_.clear();
    NoteTotalChanged();
}

int TListLengths::PlaceLabels(HWND timeLabel, HFONT timeFont, int left, int width) {
    MoveWindow(timeLabel, left, 0, width, 22, TRUE);
    if (!label_) return width;
    // The elapsed time keeps the room of its longest text; the total is clipped first.
    int timeWidth = 0;
    {
        TClientDc dc(timeLabel);
        HGDIOBJ old = SelectObject(dc.get(), timeFont);
        SIZE size{};
        if (GetTextExtentPoint32W(dc.get(), L"00:00:00", 8, &size)) timeWidth = size.cx + 4;
        SelectObject(dc.get(), old);
    }
    timeWidth = std::min(width, std::max(timeWidth, 4));
    MoveWindow(label_, 0, 0, width - timeWidth, 22, TRUE);
    return timeWidth;
}

void TListLengths::NoteTotalChanged() {
    if (posted_ || !form_.Handle()) return;
    posted_ = PostMessageW(form_.Handle(), WM_VL_TOTAL, 0, 0) != FALSE;
}

std::wstring TListLengths::TotalText() const {
    if (!form_.listBox_) return L"";
    const std::size_t out = form_.ReadsOutstanding();
    if (out > 0) {
        const std::size_t of = std::max(out, form_.reading_.RunSize());
        return Utf8ToWide(ReadingShareText(of - out, of, Plugin.JapaneseCaptions));
    }
    const TWeightSums all = form_.listBox_->RowWeights();
    const TWeightSums selected = form_.listBox_->SelectedWeights();
    return AnsiToWide(TotalTimeText(selected.Known, all.Known, all.Unknown > 0));
}

void TListLengths::ShowTotal() {
    posted_ = false;
    if (form_.ReadsOutstanding() == 0) form_.reading_.EndRun();
    try {
        const std::wstring text = TotalText();
        if (!label_ || text == shown_) return;
        shown_ = text;
        SetWindowTextW(label_, text.c_str());
    } catch (const std::bad_alloc&) {
        // Nothing to tell the user: the next change shows the total again.
        shown_.clear();
    }
}

void TListLengths::SetEntryLength(int row, TMP3FileInfo& rec, int length, bool fromFile) {
    rec.SongLength = length;
    rec.LengthFromFile = fromFile && length >= 0;
    rec.SetSongLengthText(SongLengthText(length));
    TPlayListBox& list = *form_.listBox_;
    if (row >= 0 && row < list.Count() && form_.Record(row) == &rec) list.SetRowWeight(row, length);
    NoteTotalChanged();
}

void TListLengths::ReadSongLengthChanged() {
    form_.FinishBuild();
    TEntryLockGuard lock(form_.entryLock_);
    for (int i = 0; i < form_.listBox_->Count(); ++i) {
        TMP3FileInfo* rec = form_.Record(i);
        if (!rec || rec->Kept) continue;
        // On: every file is read again for its length. Off: what the files gave goes.
        if (Option.ReadSongLength) form_.reading_.Queue(i, true);
        else if (rec->LengthFromFile) SetEntryLength(i, *rec, -1, false);
    }
    form_.reading_.Flush();
    form_.RepaintList();
}
