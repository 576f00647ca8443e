#pragma once
// The plug-in's own icon, from the module's resources.
#include <windows.h>

// The icon at the system's large or small icon size. Loaded shared: the system
// keeps it for the module's lifetime, so callers never destroy it.
HICON PluginIcon(bool small);
