#pragma once
// The playlist window's editing commands on its rows: move, remove, clean up,
// sort, drag, play the caret's entry and jump to a file. Each is one undo step
// and one push to the host; the algorithms are the entry model's.
#include <memory>
#include "base/CaseFold.h"
#include "entries/ListCommands.h"

class TFormPlayList;

class TEntryCommands {
public:
    explicit TEntryCommands(TFormPlayList& form) : form_(form) {}
    TEntryCommands(const TEntryCommands&) = delete;
    TEntryCommands& operator=(const TEntryCommands&) = delete;

    void MoveSelected(TMoveDirection d);
    void RemoveEntries(TRemoveMode m);
    // "Remove duplicates": of the entries whose names are equal ignoring case, the first stays.
    void RemoveDuplicates();
    // "Remove dead files": entries whose file is gone (streams stay); Esc cancels.
    void RemoveDeadFiles();
    void SortCommand(TSortCommand command);
    // The selected entries dragged into the gap before row gap.
    void DragMoveEntries(int gap);
    void PlayCaretEntry();
    // "Jump to file...": the dialog, then the chosen entry played and selected alone.
    void JumpToFile();
    // The ANSI code page's case folding, built the first time it is needed.
    const TCaseFold& CaseFold();

private:
    TFormPlayList& form_;
    std::unique_ptr<TCaseFold> caseFold_;
    TPlaylistRandom random_;
};
