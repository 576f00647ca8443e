#pragma once
// A hand-built HDROP, as the shell hands one to a window that accepts files.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

// pt: the drop point in the target window's client coordinates. The receiver
// owns the handle (DragFinish frees it).
HDROP MakeDrop(const std::vector<std::string>& files, POINT pt = {0, 0});
