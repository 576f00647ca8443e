#pragma once
// Applying skins: the host's current skin folder (at every change of the
// current entry), and skin files (".wsc", "VelvetLister.txt", a bare ".bmp").
#include <string>

// The host's skin folder: shows or masks the host's editor and equaliser as the
// automatic-show options say, and applies its "VelvetLister.txt" when present.
void ApplyHostSkin(const std::string& skinDirectory);

// A skin file: a ".bmp" becomes the foreground (no background); a ".wsc" or
// "VelvetLister.txt" is read as a skin configuration. Other files and missing
// files change nothing.
void ApplySkinFile(const std::string& fileName);

// Reads a skin configuration file into the style object, the list font and
// (under the override options) the playlist window's bounds.
void ReadSkinConfiguration(const std::string& fileName);

// Places the host's equaliser against its main window (layout 1-6, see
// TEqualizerLayout) and keeps `zorder` as the stacking wish the window hooks
// follow. Layout 0 only sets that wish.
void RelocateEqualizer(int layout, int offsetX, int offsetY, int zorder);

// Cuts the companion time panel (another maker's window laid over the host's
// main window) to the shape of the host's skin under it.
void ShapeTimePanel();
