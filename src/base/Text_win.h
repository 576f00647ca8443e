#pragma once
// Conversions between the system's ANSI code page (file names, tags, the host's
// strings), UTF-8 (our own messages) and UTF-16 (our Unicode windows).
#include <windows.h>
#include <string>

std::wstring AnsiToWide(const std::string& s);
std::string WideToAnsi(const std::wstring& s);
std::wstring Utf8ToWide(const std::string& s);
std::string WideToUtf8(const std::wstring& s);

// A wide file name in the ANSI code page, "?" for what the code page lacks (no
// look-alike letters): the form a Unicode host gives for the same name.
std::string WideToAnsiName(const std::wstring& s);
std::u16string WideToU16(const std::wstring& s);
std::wstring U16ToWide(const std::u16string& s);

// Lead-byte test of the system's ANSI code page (Shift-JIS on a Japanese system).
bool AnsiLeadByte(unsigned char c);

// Into the ANSI code page without look-alike substitutes; false (out untouched)
// when a character has no place in it.
bool WideToAnsiExact(const std::wstring& s, std::string& out);
