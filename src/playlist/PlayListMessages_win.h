#pragma once
// The messages the playlist window posts to itself, and the one other programs
// (the tests) send it.
#include <windows.h>

// Results of the reading are ready.
constexpr UINT WM_VL_READ_RESULTS = WM_APP + 0x3C0;
// The rows changed: what is to be read is looked at again.
constexpr UINT WM_VL_READ_CHECK = WM_APP + 0x3C1;
// Sent from outside: finish the reading now, answered with 1.
constexpr UINT WM_VL_FINISH_READING = WM_APP + 0x3C2;
// The next piece of a pending rebuild.
constexpr UINT WM_VL_BUILD_PIECE = WM_APP + 0x3C3;
// Once per batch of changes: the total time is shown anew.
constexpr UINT WM_VL_TOTAL = WM_APP + 0x3C4;
