#pragma once
// The settings store: the plug-in's section of plugin.ini and the host's own
// settings file (read only).
void LoadSettings();
void SaveSettings();

// The plug-in settings file: the plug-in's folder + "\plugin.ini".
#include <string>
std::string PluginSettingsPath();
