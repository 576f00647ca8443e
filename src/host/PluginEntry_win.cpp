#include "host/PluginEntry_win.h"

namespace {
int InitPlugin() { return 1; }
void ConfigPlugin() {}
void QuitPlugin() {}
TPluginRecord PluginRecord = {16, "KDZR VelvetLyster Plug-In v0.00 (gen_VelvetLister.dll)", &InitPlugin,
                              &ConfigPlugin, &QuitPlugin, nullptr, nullptr};
}  // namespace

TPluginRecord* GetPluginRecordForHost() { return &PluginRecord; }
