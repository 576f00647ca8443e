#pragma once
// "Jump to file": a modal dialog owned by the playlist window. The edit box's
// words pick the matching entries (JumpMatch), listed as "<number>. <title>";
// the choice is played with "Play", Enter or a double click. While it is open,
// every change of the list's rows makes it match again, so what it hands back
// is always an entry of the current list.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Dialog_win.h"
#include "base/Handles_win.h"
#include "entries/JumpMatch.h"

class TFormPlayList;

struct TJumpToFileTexts {
    const wchar_t* Caption;
    const wchar_t* Play;
    const wchar_t* Close;
};
const TJumpToFileTexts& JumpToFileTexts(bool japanese);

class TFormJumpToFile : public TDialog {
public:
    TFormJumpToFile(TFormPlayList& form, bool japanese);
    // Shows the dialog; the index of the chosen entry in the list as it is now,
    // or -1 when it was closed without a choice.
    int Execute();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static constexpr UINT WM_VL_ROWS_CHANGED = WM_APP + 0x3B0;
    void OnInitDialog();
    void Reindex();
    // Matches the edit text again. keepChoice: stay on the chosen entry if it
    // still matches; otherwise the playing entry, else the first match.
    void Rematch(bool keepChoice);
    void Choose(int row);
    void Play();
    void DrawMatch(const DRAWITEMSTRUCT& dis) const;
    std::string MatchText(int row) const;
    void PlaceOverOwner();
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;

    TFormPlayList& form_;
    TJumpIndex index_;
    bool japanese_;
    std::vector<int> matches_;
    std::uint64_t revision_ = 0;  // of the rows index_ was built from
    bool changePosted_ = false;
    // Whether entry i is the chosen one (by its EntryName: a rebuild makes new
    // records), and the index to try first.
    bool IsChosen(int i) const;
    int FindChosen(const std::vector<int>& among) const;
    bool haveChoice_ = false;
    int chosenIndex_ = -1;
    std::string chosenName_;  // the chosen EntryName's text
    bool chosenWide_ = false;
    int result_ = -1;
    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    TFont font_;
};
