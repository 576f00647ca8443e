// The library's entry module: the one export the host looks for.
#include "plugin/PluginEntry_win.h"

extern "C" __declspec(dllexport) TPluginRecord* winampGetGeneralPurposePlugin() {
    return GetPluginRecordForHost();
}
