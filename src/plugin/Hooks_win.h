#pragma once
// The window procedures placed in front of the host's main, playlist-editor and
// equaliser windows. They act only while Plugin.HooksActive; otherwise, and for
// every message they do not take, they pass the message on unchanged.
#include <windows.h>

// Installs the three hooks in the order playlist editor, equaliser, main window.
// On failure puts back what was installed and returns false.
bool InstallHooks();

// Puts a host window's previous procedure back if ours is still its current one.
// Used at library unload so that no window keeps a procedure in freed code.
void RemoveHooksIfCurrent();

LRESULT CALLBACK MainWindowHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PlaylistEditorHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK EqualizerHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The click rewrite of the main-window hook: where a release on the About spot lands.
LPARAM RewriteAboutClick(LPARAM lp, int mainWindowWidth);
