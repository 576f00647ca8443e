// The rebuild from the host's list: the names asked for at once, the entries
// made of them in pieces between messages.
#include "playlist/HostRebuild_win.h"
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include "base/Text_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"

namespace {
// A pending rebuild makes its entries for about this long per message.
constexpr double kBuildPieceMs = 10.0;
}  // namespace

THostRebuild::THostRebuild(TFormPlayList& form) : form_(form) {}

THostRebuild::~THostRebuild() = default;

void THostRebuild::Drop() { pending_.reset(); }

bool THostRebuild::KeepReport(int index) {
    if (!pending_) return false;
    reportAfter_ = index;
    return true;
}

void THostRebuild::OnPiece() {
    piecePosted_ = false;
    BuildSome(false);
}

void THostRebuild::Retarget() {
    piecePosted_ = false;
    if (pending_) PostPiece();
}

void THostRebuild::Start() {
    const int n = HostGetListLength();
    if (n <= 0) return;
    // Only the names are asked for before the return: what the player waits for.
    auto build = std::make_unique<TPendingBuild>();
    try {
        // A count the host got wrong asks for no more than a long list needs.
        const std::size_t expected = std::min<std::size_t>(static_cast<std::size_t>(n), std::size_t{1} << 20);
        build->Starts.reserve(expected);
        build->Names.reserve(expected * 48);
    } catch (const std::bad_alloc&) {
        // They grow as the names come.
    }
    std::string name;
    for (int i = 0; i < n; ++i) {
        // No name: the host went away, or its list shrank while we asked. An
        // invented entry would be pushed back as one the user never had.
        if (!HostGetPlaylistFile(i, name)) break;
        const std::wstring wide = HostGetPlaylistFileW(i);
        std::uint32_t wideStart = TPendingBuild::kNoWide;
        if (!wide.empty()) {
            wideStart = static_cast<std::uint32_t>(build->Wides.size());
            build->Wides.insert(build->Wides.end(), wide.c_str(), wide.c_str() + wide.size() + 1);
        }
        build->Starts.emplace_back(static_cast<std::uint32_t>(build->Names.size()), wideStart);
        build->Names.insert(build->Names.end(), name.c_str(), name.c_str() + name.size() + 1);
    }
    if (Plugin.HostGone || build->Starts.empty()) return;
    // Asking may have re-entered us: this rebuild, the latest, replaces any still pending.
    pending_ = std::move(build);
    if (pending_->Starts.size() < static_cast<std::size_t>(kBusyRows) || !PostPiece())
        BuildSome(true);
}

bool THostRebuild::PostPiece() {
    // One piece message at a time, whichever rebuild it finds pending.
    if (!piecePosted_ && form_.Handle()) piecePosted_ = PostMessageW(form_.Handle(), WM_VL_BUILD_PIECE, 0, 0) != FALSE;
    return piecePosted_;
}

void THostRebuild::TakeEarlierRecords(TPendingBuild& build) {
    try {
        build.Earlier.Reserve(static_cast<std::size_t>(form_.listBox_->Count()));
        const TPlayListBox& list = *form_.listBox_;
        // Records still to be read count too: one an earlier rebuild copied holds
        // the tags it showed, and a new one no more than its name gives again.
        for (int i = 0; i < list.Count(); ++i)
            if (form_.Record(i)) build.Earlier.Add(TRecordRef::ShareWord(list.Data(i)));
    } catch (const std::bad_alloc&) {
        // Only the titles shown meanwhile are the poorer for it.
    }
}

void THostRebuild::Finish() {
    if (!pending_) return;
    TWaitCursor wait(pending_->Starts.size() - pending_->Next >= static_cast<std::size_t>(kBusyRows));
    BuildSome(true);
}

void THostRebuild::BuildSome(bool all) {
    if (!pending_) return;
    if (!form_.listBox_) {
        pending_.reset();
        return;
    }
    TPendingBuild& build = *pending_;
    const double until = NowMs() + kBuildPieceMs;
    try {
        // Every piece makes one entry at least: only the first finds none made.
        if (build.Next == 0) {
            TakeEarlierRecords(build);
            build.Made.Reserve(static_cast<int>(build.Starts.size()));
        }
        std::string name, wideBytes;
        std::wstring wide;
        for (int k = 1; build.Next < build.Starts.size(); ++k) {
            const auto [nameStart, wideStart] = build.Starts[build.Next];
            name.assign(build.Names.data() + nameStart);
            if (wideStart == TPendingBuild::kNoWide)
                wide.clear();
            else
                wide.assign(build.Wides.data() + wideStart);
            const TMP3FileInfo* before = nullptr;
            if (!build.Earlier.Empty()) {
                WideNameBytes(WideToU16(wide), wideBytes);
                before = build.Earlier.Find(EntryNameOf(name, wideBytes));
            }
            form_.adding_.AddHostEntry(build.Made, name, wide, before);
            ++build.Next;
            if (!all && k % 64 == 0 && NowMs() >= until) break;
        }
    } catch (...) {
        // The list stays as it was; the next report from the host tries again.
        pending_.reset();
        throw;
    }
    if (build.Next < build.Starts.size()) {
        if (PostPiece()) return;
        BuildSome(true);  // no room in the queue: the rest now
        return;
    }
    const std::unique_ptr<TPendingBuild> done = std::move(pending_);
    if (!Plugin.HostGone && done->Made.Count() > 0) {
        // Every host entry has its row, so the host holds what the list holds: no push.
        // The first build takes in the host's list as it was before we came: no
        // step to undo back to nothing.
        form_.ReplaceEntries(done->Made.Take(), firstDone_);
        firstDone_ = true;
        // A mark past the shorter list names no song: a later push would send the
        // host there, and the next list that grows would play it.
        if (form_.playingIndex_ >= form_.listBox_->Count()) form_.playingIndex_ = -1;
        ++TestSeam().Rebuilds;
    }
    if (reportAfter_ && !pending_) {
        const int reported = *reportAfter_;
        reportAfter_.reset();
        form_.SetPlayingEntry(reported, true);
    }
}
