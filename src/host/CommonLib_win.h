#pragma once
// The path helpers with the system's own rules: the ANSI code page's double-byte
// characters and case folding, and the system's path completion.
#include <string>

#include "base/CommonLib.h"

// Lead bytes and case-insensitive comparison of the ANSI code page.
const TPathText& AnsiPathText();

// `path` relative to folder `base` (see the portable ResolvePath). The process's
// current directory is neither used for the result nor changed. False (out
// untouched) when base cannot be entered.
bool ResolvePath(const std::string& base, const std::string& path, std::string& out);

std::string RelativePath(const std::string& baseWithSlash, const std::string& file);

// The same for paths in UTF-8 (a host that keeps Unicode names): names compare
// as the file system does, and the file system is asked by the wide names.
const TPathText& Utf8PathText();
bool ResolvePathUtf8(const std::string& base, const std::string& path, std::string& out);
