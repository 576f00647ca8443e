// The plug-in's native list refuses only what the system refuses; a test program
// defines its own NativeListRefusesGrowth to make it refuse growth.
//
// Alone in its file on purpose: mingw names a weak definition's default after
// another global symbol of the same object, and when that is an inline function
// whose copy the linker takes from another object, the default is lost with it.
// The control asks through GrowthRefused, which also makes the linker take this
// object from the library.
#include "controls/CustomPlayListBox_win.h"

bool TCustomPlayListBox::GrowthRefused() { return NativeListRefusesGrowth(); }

__attribute__((weak)) bool NativeListRefusesGrowth() { return false; }
