// The library's entry module: the one export the host looks for.
#include "host/PluginEntry_win.h"

extern "C" __declspec(dllexport) TPluginRecord* winampGetGeneralPurposePlugin() {
    return GetPluginRecordForHost();
}
