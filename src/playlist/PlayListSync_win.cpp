// Keeping the list and the host's playlist in step, following the host's
// current entry, and the elapsed-time display.
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_map>
#include "base/Text_win.h"
#include "fileinfo/EntryNames_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "playlist/TimeText.h"
#include "entries/TitleFormat.h"
#include "playlist/SkinApply_win.h"

namespace {
// The host answers synchronously and reports its current entry back while we
// talk to it; a report arriving that deep is a ping-pong, not news.
int g_setPlayingDepth = 0;
constexpr int kMaxSetPlayingDepth = 4;
// Set while the host's playlist is being rewritten: a report from the host in
// that time describes a half-written list, and a rebuild from it would cut ours
// down to the entries sent so far.
bool g_pushing = false;
}  // namespace

namespace {
struct TSentName {
    std::uint32_t Start, Length;
    bool Wide;
};

// The names of a push: one buffer of NUL-terminated names, not one string
// each. A name the host keeps in Unicode goes back wide (as bytes of UTF-16 in
// its own buffer), every other one as its 8-bit bytes.
struct TPushNames {
    std::vector<char> Names;
    std::vector<wchar_t> Wides;
    std::vector<TSentName> Sent;

    // Throws std::bad_alloc when the copy does not fit.
    template <class RecordAt>
    void Copy(int n, RecordAt recordAt) {
        std::vector<std::string_view> views;
        views.reserve(static_cast<std::size_t>(n));
        Sent.reserve(static_cast<std::size_t>(n));
        std::size_t bytes = 0, chars = 0;
        for (int i = 0; i < n; ++i)
            if (const TMP3FileInfo* rec = recordAt(i)) {
                const std::string_view wide = rec->Get(TInfoField::WideFileName);
                if (!wide.empty()) {
                    views.push_back(wide);
                    Sent.push_back({static_cast<std::uint32_t>(chars), static_cast<std::uint32_t>(wide.size() / 2), true});
                    chars += wide.size() / 2 + 1;
                } else {
                    views.push_back(rec->FileName());
                    Sent.push_back({static_cast<std::uint32_t>(bytes), static_cast<std::uint32_t>(views.back().size()), false});
                    bytes += views.back().size() + 1;
                }
            }
        Names.resize(bytes);
        Wides.resize(chars);
        for (std::size_t k = 0; k < views.size(); ++k) {
            const TSentName& s = Sent[k];
            if (s.Wide) {
                std::memcpy(Wides.data() + s.Start, views[k].data(), s.Length * sizeof(wchar_t));
                Wides[s.Start + s.Length] = L'\0';
            } else {
                std::memcpy(Names.data() + s.Start, views[k].data(), s.Length);
                Names[s.Start + s.Length] = '\0';
            }
        }
    }

    void Send() const {
        for (const TSentName& s : Sent) {
            if (s.Wide)
                HostAddFileW(Wides.data() + s.Start, s.Length);
            else
                HostAddFile(Names.data() + s.Start, s.Length);
        }
    }
};

// Without memory for the copy each name goes through the stack.
void SendThroughTheStack(const TMP3FileInfo& rec) {
    // Longer than any name the host hands out (4096 units).
    if (const std::string_view wide = rec.Get(TInfoField::WideFileName); !wide.empty()) {
        wchar_t one[4097];
        const std::size_t length = std::min<std::size_t>(wide.size() / 2, 4096);
        std::memcpy(one, wide.data(), length * sizeof(wchar_t));
        one[length] = L'\0';
        HostAddFileW(one, length);
        return;
    }
    char one[4097];
    const std::string_view name = rec.FileName().substr(0, sizeof one - 1);
    std::memcpy(one, name.data(), name.size());
    one[name.size()] = '\0';
    HostAddFile(one, name.size());
}
}  // namespace

void TFormPlayList::PushListToHost() {
    // The host's list is the newer one: a push never sends the rows a rebuild replaces.
    FinishBuild();
    TWaitCursor wait(listBox_->Count() >= kBusyRows);
    {
        struct TPushing {
            bool was = g_pushing;
            TPushing() { g_pushing = true; }
            ~TPushing() { g_pushing = was; }
        } pushing;
        TEntryLockGuard lock(entryLock_);
        // Copy the names first: the host may re-enter us while a file is added.
        TPushNames names;
        bool copied = true;
        try {
            names.Copy(listBox_->Count(), [this](int i) { return Record(i); });
        } catch (const std::bad_alloc&) {
            // The list has already changed: it must still reach the host whole.
            copied = false;
        }
        HostClearPlaylist();
        if (copied) {
            names.Send();
        } else {
            for (int i = 0; i < listBox_->Count(); ++i)
                if (const TMP3FileInfo* rec = Record(i)) SendThroughTheStack(*rec);
        }
    }
    HostSetPlaylistPosition(playingIndex_);
}

void TFormPlayList::InvalidateRow(int i) { listBox_->InvalidateRow(i); }

void TFormPlayList::SetCaptionFromEntry(int i) {
    if (i < 0 || i >= listBox_->Count()) return;
    // A stream is named by its address, whatever the title format makes of it.
    const TMP3FileInfo* rec = Record(i);
    const std::string title =
        rec && rec->Kept && IsStreamName(rec->FileName()) ? NamePathText(*rec, CodePageNames()) : listBox_->Text(i);
    SetWindowTextW(Handle(), Utf8ToWide(PlayingCaption(title)).c_str());
}

void TFormPlayList::SetPlayingEntry(int i) { SetPlayingEntry(i, false); }

// Brings row i, which the mark moves to from playingIndex_, into view; true
// when the whole list must repaint.
bool TFormPlayList::ScrollToPlaying(int i) {
    const int p = playingIndex_;
    if (p < 0 || p >= listBox_->Count()) return false;
    bool needRedraw = false;
    const int itemHeight = std::max(1, listBox_->ItemHeight());
    const int height = listBox_->Height();
    int top = listBox_->TopIndex();
    const int rows = height / itemHeight;
    int last = top + rows - 1;
    const bool partial = height % itemHeight != 0;
    if (p == last + 1 && partial) needRedraw = true;
    if (i < top || i > last) {
        const int oldTop = top;
        listBox_->SetTopIndex(i);
        if (listBox_->TopIndex() == i) {
            last = i + rows - 1;
            const int d = std::abs(oldTop - i);
            needRedraw = partial ? true : ((0 < d && d < rows) || (i <= p && p <= last));
        } else {
            needRedraw = true;
        }
    } else if (i != p && top <= p && p <= last) {
        InvalidateRow(p);
    }
    return needRedraw;
}

// afterBuild: the report waited for a rebuild, the list is the host's; no rebuild again.
void TFormPlayList::SetPlayingEntry(int i, bool afterBuild) {
    if (!readyForHostReports_ || g_pushing || g_setPlayingDepth >= kMaxSetPlayingDepth) return;
    struct TDepth {
        TDepth() { ++g_setPlayingDepth; }
        ~TDepth() { --g_setPlayingDepth; }
    } depth;
    // A report is about the host's list, which a pending rebuild's rows are: it
    // is answered once they are in (and then starts no rebuild of its own).
    auto waitForBuild = [&] { return rebuild_.KeepReport(i); };
    if (waitForBuild()) return;

    // While a folder is added the host has not seen its entries yet: a report
    // that finds the lists apart waits for the push that ends the scan.
    if (adding_.Scanning() && (i >= listBox_->Count() || i < 0)) return;
    if (i >= listBox_->Count() || i < 0) {
        if (afterBuild) return;
        RebuildFromHost();
        if (waitForBuild() || i >= listBox_->Count() || i < 0) return;
    }
    std::string hostFile = HostGetPlaylistFile(i), hostWide;
    {
        WideNameBytes(WideToU16(HostGetPlaylistFileW(i)), hostWide);
        // The host calls may have re-entered us and changed the list: look again.
        if (waitForBuild() || i >= listBox_->Count()) return;
        const TMP3FileInfo* rec = Record(i);
        if (!rec || rec->EntryName() != EntryNameOf(hostFile, hostWide)) {
            if (adding_.Scanning()) return;
            if (!afterBuild) {
                RebuildFromHost();
                if (waitForBuild() || i >= listBox_->Count()) return;
            }
            // Rebuilt from the host: entry i is now the host's own.
            rec = Record(i);
            hostFile = rec ? std::string(rec->FileName()) : std::string();
            hostWide = rec ? std::string(rec->Get(TInfoField::WideFileName)) : std::string();
        }
    }
    // The drive of a kept entry may be back: the rebuild above read it already,
    // otherwise it is read now that it plays.
    adding_.ReadKeptEntryIfPresent(i);
    // The host is asked once for a length its file gave: its report wins.
    if (TMP3FileInfo* rec = Record(i); rec && (rec->SongLength < 0 || rec->LengthFromFile)) {
        rec->LengthFromFile = false;
        const int length = HostGetTrackLength();
        // Asking may have re-entered us too: the length is the reported song's,
        // not that of whatever entry stands at i now.
        rec = i < listBox_->Count() ? Record(i) : nullptr;
        if (rec && length >= 0 && rec->EntryName() == EntryNameOf(hostFile, hostWide))
            lengths_.SetEntryLength(i, *rec, length, false);
    }
    if (i >= listBox_->Count()) return;

    const bool needRedraw = ScrollToPlaying(i);
    if (listBox_->SelCount() == 1) {
        for (int k = 0; k < listBox_->Count(); ++k)
            if (listBox_->IsSelected(k)) {
                listBox_->SetSelected(k, false);
                break;
            }
    }
    InvalidateRow(i);
    playingIndex_ = i;
    SetCaptionFromEntry(i);
    if (needRedraw) listBox_->Invalidate();
    std::string skinDir;
    if (HostGetSkin(skinDir)) ApplyHostSkin(skinDir);
    HostClickMainWindow();
}

void TFormPlayList::SetLabelTime(const std::wstring& text) {
    if (labelTime_) SetWindowTextW(labelTime_, text.c_str());
}

void TFormPlayList::Timer1Timer() {
    const int t = HostGetPlayTime();
    if (t == -1) {
        SetLabelTime(L"");
        return;
    }
    if (t < 0) {
        if (elapsed_.BlinkOn) {
            SetLabelTime(elapsed_.BlinkText);
        } else {
            wchar_t current[64] = {};
            if (labelTime_) GetWindowTextW(labelTime_, current, 64);
            elapsed_.BlinkText = current;
            SetLabelTime(L"");
        }
        elapsed_.BlinkOn = !elapsed_.BlinkOn;
        return;
    }
    elapsed_.BlinkOn = false;
    const int s = t / 1000;
    if (s == elapsed_.Second) return;
    elapsed_.Second = s;
    SetLabelTime(AnsiToWide(ElapsedTimeText(s)));
}
