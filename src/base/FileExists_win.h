#pragma once
// Whether a file of that name exists: a file, not a folder (nor a volume label,
// which no real file is). The 8-bit name is in the ANSI code page; a wide name
// reaches what the code page cannot spell.
#include <string>

bool FileExists(const std::string& path);
bool FileExists(const std::wstring& path);
