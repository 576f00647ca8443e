#pragma once
// The audio files of a folder tree, in the order the file system lists them, a
// subfolder entered where it is met. Touches no window and nothing of the list,
// so the reader thread can run it as well as the window's own thread.
#include <functional>
#include <string>

#include "base/Extensions.h"

struct TFoundFile {
    std::string Path;   // the 8-bit name (the host's form of a wide one)
    std::wstring Wide;  // empty in an 8-bit scan
};

struct TFolderScan {
    std::string Root;       // an 8-bit scan when WideRoot is empty
    std::wstring WideRoot;  // a scan by wide names (a host that keeps Unicode names)
    TExtensionSet AudioExtensions;
};

// Calls found for each file with an audio extension (playlist files are not
// entered). more() is asked before each name is looked at and as each folder
// is entered: false stops the whole scan. Returns the number of files found.
int ScanFolder(const TFolderScan& scan, const std::function<bool()>& more,
               const std::function<void(TFoundFile)>& found);
