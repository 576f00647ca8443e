#pragma once
// Screen font facts shared by the settings load, skins and the style object.
#include <string>

// The face both windows are designed with, "ＭＳ Ｐゴシック": full-width letters and
// katakana (the half-width look-alike names no installed font).
inline constexpr wchar_t kDesignedFormFont[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";

// Pixels per inch of the screen, vertically (96 when it cannot be read).
int ScreenDpi();

// A screen font of this face name is installed.
bool FontInstalled(const std::string& face);
