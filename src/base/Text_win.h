#pragma once
// Conversions between the system's ANSI code page (file names, tags, the host's
// strings), UTF-8 (our own messages) and UTF-16 (our Unicode windows).
#include <windows.h>
#include <cstddef>
#include <string>
#include <string_view>

std::wstring AnsiToWide(const std::string& s);
std::string WideToAnsi(const std::wstring& s);
std::wstring Utf8ToWide(const std::string& s);
std::string WideToUtf8(const std::wstring& s);
// 8-bit text of the code page as UTF-8 and back; characters the code page lacks
// become "?" (no look-alike letters). ASCII passes through unconverted.
std::string AnsiToUtf8(std::string_view s);
std::string Utf8ToAnsi(std::string_view s);

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

// Row text of a list whose strings are ours (no-data lists that say they hold
// strings, so that the system translates LB_GETTEXT for ANSI and other-process
// readers). The system translates through a 512-character buffer of its own
// (Wine's overflows past that, taking the host process down): readers are told
// at most kMaxReaderText UTF-16 units, never ending inside a surrogate pair.
constexpr std::size_t kMaxReaderText = 511;
std::wstring ReaderText(const std::string& utf8);
// LB_GETTEXTLEN: the larger of the ANSI and the UTF-16 length, so that a reader
// of either kind that sizes its buffer by it gets no more than it made room for.
LRESULT ReaderTextLength(const std::wstring& text);
// LB_GETTEXT: the text and its end into the caller's buffer; its length.
LRESULT CopyReaderText(const std::wstring& text, wchar_t* buffer);
