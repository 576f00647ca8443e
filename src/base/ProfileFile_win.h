#pragma once
// Reading a section of a profile (INI) file through the platform's profile
// functions, in the portable reader form the settings and skin code take.
#include "base/ProfileText.h"

#include <string>

// A reader of one section of the file at path. An absent key (or a file or
// section that does not exist) reads as nothing, an empty value as "".
TProfileReader ProfileFileReader(std::string path, std::string section);
