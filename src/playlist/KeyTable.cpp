#include "playlist/KeyTable.h"

#include <array>

namespace {

struct TKeyRow {
    int Code;
    TListKeyAction Action;
};

constexpr std::array<TKeyRow, 26> kKeys{{
    {0x00D, TListKeyAction::PlayCaretEntry},
    {0x02E, TListKeyAction::RemoveSelected},
    {0x22E, TListKeyAction::Crop},
    {0x32E, TListKeyAction::RemoveAll},
    {0x05A, TListKeyAction::TransportPrevious},
    {0x15A, TListKeyAction::TransportRewind},
    {0x058, TListKeyAction::TransportPlay},
    {0x043, TListKeyAction::TransportPause},
    {0x056, TListKeyAction::TransportStop},
    {0x142, TListKeyAction::TransportForward},
    {0x042, TListKeyAction::TransportNext},
    {0x22D, TListKeyAction::AddFolder},
    {0x02D, TListKeyAction::AddFile},
    {0x253, TListKeyAction::SaveList},
    {0x241, TListKeyAction::SelectAll},
    {0x252, TListKeyAction::ReverseList},
    {0x25A, TListKeyAction::RandomizeList},
    {0x254, TListKeyAction::AlwaysOnTop},
    {0x250, TListKeyAction::LaunchControlPanel},
    {0x244, TListKeyAction::ToggleDoubleSize},
    {0x350, TListKeyAction::HostPreferences},
    {0x433, TListKeyAction::HostFileInfo},
    {0x453, TListKeyAction::HostSkinSelector},
    {0x246, TListKeyAction::JumpToFile},
    {0x408, TListKeyAction::Undo},
    {0x259, TListKeyAction::Redo},
}};

}  // namespace

int ListKeyCode(int virtualKey, bool shift, bool ctrl, bool alt) {
    return virtualKey + (shift ? kKeyShift : 0) + (ctrl ? kKeyCtrl : 0) + (alt ? kKeyAlt : 0);
}

TListKeyAction LookupListKey(int code) {
    for (const TKeyRow& row : kKeys)
        if (row.Code == code) return row.Action;
    return TListKeyAction::None;
}

int TransportIndexOf(TListKeyAction action) {
    switch (action) {
    case TListKeyAction::TransportPrevious: return 0;
    case TListKeyAction::TransportRewind: return 1;
    case TListKeyAction::TransportPlay: return 2;
    case TListKeyAction::TransportPause: return 3;
    case TListKeyAction::TransportStop: return 4;
    case TListKeyAction::TransportForward: return 5;
    case TListKeyAction::TransportNext: return 6;
    default: return -1;
    }
}

TTransportClick ResolveTransportClick(int tag, bool shift, bool ctrl) {
    TTransportClick click;
    click.Index = tag;
    if (shift) {
        // Shift turns previous/next into 5-second skips and play into eject.
        if (tag == 0) click.Index = 1;
        else if (tag == 6) click.Index = 5;
        else if (tag == 2) click.Kind = TTransportClick::TKind::Eject;
    } else if (ctrl && tag == 0) {
        click.Kind = TTransportClick::TKind::PlayFirstEntry;
    }
    return click;
}
