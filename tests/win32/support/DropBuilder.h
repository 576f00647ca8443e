#pragma once
// A hand-built HDROP, as the shell hands one to a window that accepts files.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

// pt: the drop point in the target window's client coordinates. The receiver
// owns the handle (DragFinish frees it).
// The same with wide names (fWide), as the shell drops them.
HDROP MakeWideDrop(const std::vector<std::wstring>& files, POINT pt);
HDROP MakeDrop(const std::vector<std::string>& files, POINT pt = {0, 0});
