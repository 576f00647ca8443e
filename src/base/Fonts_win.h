#pragma once
// Screen font facts shared by the settings load, skins and the style object.
#include <string>

// Pixels per inch of the screen, vertically (96 when it cannot be read).
int ScreenDpi();

// A screen font of this face name is installed.
bool FontInstalled(const std::string& face);
