#pragma once

// Menu command ids of PopupMenuEdit (also the tool buttons').
enum TMenuId : unsigned {
    PopupItemPlayFile = 2001,
    PopupItemPlayBase,
    PopupItemCtrlPrevious,
    PopupItemCtrlRewind,
    PopupItemCtrlPlay,
    PopupItemCtrlPause,
    PopupItemCtrlStop,
    PopupItemCtrlForward,
    PopupItemCtrlNext,
    PopupItemCtrlEject,
    PopupItemAddBase,
    PopupItemAddFile,
    PopupItemAddFolder,
    PopupItemAddURL,
    PopupItemDeleteBase,
    PopupItemDeleteFile,
    PopupItemDeleteCrop,
    PopupItemDeleteAll,
    PopupItemSelectBase,
    PopupItemSelectAll,
    PopupItemSelectClear,
    PopupItemSelectInverse,
    PopupItemSortBase,
    PopupItemSortTitle,
    PopupItemSortFilename,
    PopupItemSortPath,
    PopupItemSortReverse,
    PopupItemSortRandomize,
    PopupItemInfoBase,
    PopupItemFileInfo,
    PopupItemPlaylistEntry,
    PopupItemShowControlPanel,
    PopupItemAutomaticShowPL,
    PopupItemAutomaticShowEQ,
    PopupItemAOT,
    LaunchtheControlpanel1,
    PopupItemSaveList = 2060,  // "Save list...", after the "Sort" submenu
    PopupItemDeleteDuplicates = 2070,  // the end of the "Delete" submenu
    PopupItemDeleteDeadFiles,
    PopupItemJumpToFile = 2061,  // "Jump to file...", after the "Play control" submenu
    PopupItemUndo = 2080,  // after "Jump to file..."
    PopupItemRedo,
    ToolButtonCtrlPrev = 2101,
    ToolButtonCtrlPlay,
    ToolButtonCtrlPause,
    ToolButtonCtrlStop,
    ToolButtonCtrlNext,
    ToolButtonCtrlEject,
    ToolButtonSpinPlaceholder,
    kTimeSeparatorId,
};

// The menu item's integer tag (transport index, remove mode, select and sort commands); -1 when none.
int MenuItemTag(unsigned item);
