#pragma once
// Text handling shared by the tag readers.
#include <string>
#include <string_view>

// Drops every leading and trailing byte 0-32 (blanks, NULs, other control bytes);
// inner bytes, NULs included, stay as they are.
std::string TrimTagText(std::string_view bytes);
