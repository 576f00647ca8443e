#pragma once
// What the files of the preferences dialog share.
#include <windows.h>

namespace ConfigureParts {
constexpr int kTokenRowHeight = 16;
constexpr UINT WM_VL_CHECK_GROUP_EXIT = WM_APP + 0x3B0;
// The group a watermark control belongs to, told by its edit; 0 for none.
int GroupEditOf(int id);
}  // namespace ConfigureParts
