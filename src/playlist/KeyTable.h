#pragma once
// The playlist list's keyboard commands and the transport buttons' modifier rules.

// Modifier bits added to a virtual key code to form a key code.
constexpr int kKeyShift = 0x100;
constexpr int kKeyCtrl = 0x200;
constexpr int kKeyAlt = 0x400;

// One code for a key and its shift state: key + 0x100 Shift + 0x200 Ctrl + 0x400 Alt.
int ListKeyCode(int virtualKey, bool shift, bool ctrl, bool alt);

enum class TListKeyAction {
    None,                // not ours: left to the list box's own handling
    PlayCaretEntry,      // Enter: play the caret row
    RemoveSelected,      // Delete
    Crop,                // Ctrl+Delete
    RemoveAll,           // Ctrl+Shift+Delete
    TransportPrevious,   // Z
    TransportRewind,     // Shift+Z
    TransportPlay,       // X
    TransportPause,      // C
    TransportStop,       // V
    TransportForward,    // Shift+B
    TransportNext,       // B
    AddFolder,           // Ctrl+Insert: "Add Directory..."
    AddFile,             // Insert: "Add File..."
    SaveList,            // Ctrl+S: "Save list..."
    SelectAll,           // Ctrl+A
    ReverseList,         // Ctrl+R
    RandomizeList,       // Ctrl+Z
    AlwaysOnTop,         // Ctrl+T
    LaunchControlPanel,  // Ctrl+P: the preferences dialog
    ToggleDoubleSize,    // Ctrl+D
    HostPreferences,     // Ctrl+Shift+P
    HostFileInfo,        // Alt+3
    HostSkinSelector,    // Alt+S
    JumpToFile,          // Ctrl+F
    Undo,                // Alt+Backspace
    Redo,                // Ctrl+Y
};

// The action for a key code; the code must match a table row exactly (Ctrl+Z is
// not Z, Alt+C is nothing).
TListKeyAction LookupListKey(int code);

// The host transport index (0 previous ... 6 next) of a Transport* action, else -1.
int TransportIndexOf(TListKeyAction action);

// What a click on a transport button does, from its tag (its transport index)
// and the key state at the click. Shift wins over Ctrl.
struct TTransportClick {
    enum class TKind { Transport, PlayFirstEntry, Eject } Kind = TKind::Transport;
    int Index = 0;  // the transport index for Transport
};
TTransportClick ResolveTransportClick(int tag, bool shift, bool ctrl);
