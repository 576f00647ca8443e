#pragma once
// Applying skins: the host's current skin folder (at every change of the
// current entry), and skin files (".wsc", "VelvetLister.txt", a bare ".bmp").
#include <string>

// The host's skin folder: shows or masks the host's editor and equaliser as the
// automatic-show options say, and applies its "VelvetLister.txt" when present.
void ApplyHostSkin(const std::string& skinDirectory);

// A skin file: a ".bmp" becomes the foreground (no background); a ".wsc" or
// "VelvetLister.txt" is read as a skin configuration.
void ApplySkinFile(const std::string& fileName);
