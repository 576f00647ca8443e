#pragma once
// The playlist window's rebuild from the host: one entry per host entry, in the
// host's order; nothing is pushed. A long list returns once the host's names
// are copied: its entries are made in pieces (posted messages) and replace the
// rows at the end. Until then the old rows show, and every command, drop, push
// and report makes the rest first.
#include <cstddef>
#include <memory>
#include <optional>

class TFormPlayList;
struct TPendingBuild;

class THostRebuild {
public:
    explicit THostRebuild(TFormPlayList& form);
    ~THostRebuild();
    THostRebuild(const THostRebuild&) = delete;
    THostRebuild& operator=(const THostRebuild&) = delete;

    void Start();
    // Makes and installs at once what a pending rebuild has left.
    void Finish();
    bool Pending() const { return pending_ != nullptr; }
    // A host report came while a rebuild is pending: true when it is kept, to be
    // answered once the rebuild's rows are in.
    bool KeepReport(int index);
    // The piece message came (posted to the window).
    void OnPiece();
    // The window was made anew: what was posted to the old one went with it.
    void Retarget();
    // What a pending rebuild made goes unseen; the host holds those names.
    void Drop();

private:
    bool PostPiece();
    void TakeEarlierRecords(TPendingBuild& build);
    // Makes about 10 ms of the pending rebuild's entries (all: the rest), installing them at the end.
    void BuildSome(bool all);

    TFormPlayList& form_;
    std::unique_ptr<TPendingBuild> pending_;
    std::optional<int> reportAfter_;
    bool piecePosted_ = false;
    bool firstDone_ = false;
};
