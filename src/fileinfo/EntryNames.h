#pragma once
// The pieces of an entry's 8-bit name (file-name part, extension), the tag
// reader its extension picks, and the fields of a record that need no file.
//
// Paths are 8-bit ANSI text, byte for byte. On a double-byte code page (Shift-JIS)
// the trail byte of a character may be 0x5C, the byte of "\": pass a lead-byte
// test (the Win32 side passes IsDBCSLeadByte) so that such a character is never
// taken for a separator. Without one every byte is a character of its own.
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagReaders.h"

#include <string>
#include <string_view>

using TLeadByteTest = bool (*)(unsigned char);
using TCodePageToUtf8 = std::string (*)(std::string_view bytes);

// How an entry's 8-bit names are read: their lead bytes, and their conversion
// into the records' UTF-8 text (as they are when there is none: a portable
// caller whose 8-bit text is UTF-8 already).
struct TNameText {
    TNameText(TLeadByteTest isLeadByte = nullptr,  // NOLINT(google-explicit-constructor)
              TCodePageToUtf8 toText = nullptr)
        : IsLeadByte(isLeadByte), ToText(toText) {}
    std::string Text(std::string_view bytes) const { return ToText ? ToText(bytes) : std::string(bytes); }
    TLeadByteTest IsLeadByte;
    TCodePageToUtf8 ToText;
};

// What follows the last "\" or ":" of the path (the whole path when it has neither).
std::string FileNamePart(std::string_view path, TLeadByteTest isLeadByte = nullptr);

// The extension of the file-name part: from its last "." to the end, dot
// included, case as stored; "" when the file-name part has no ".".
std::string FileExtension(std::string_view path, TLeadByteTest isLeadByte = nullptr);

// The file-name part without its extension.
std::string FileNameWithoutExtension(std::string_view path, TLeadByteTest isLeadByte = nullptr);

// Which tag reader fills a new entry, by the path's extension through the reader
// table (ASCII case ignored): ".mp3" the ID3v1 reader, ".rmp" the RIFF INFO
// reader, and so on; None for the rest (".wav" included, even with an INFO chunk).
TTagReader ChooseTagReader(std::string_view path, TLeadByteTest isLeadByte = nullptr);

// The record's file name without its extension, and its extension, as text:
// from its wide name when it has one (that one names the file as the host
// does), else from its 8-bit name.
std::string NameTitleText(const TMP3FileInfo& rec, const TNameText& names);
std::string NameExtensionText(const TMP3FileInfo& rec, const TNameText& names);
// The same for the whole file-name part, and for the whole name.
std::string NameFileText(const TMP3FileInfo& rec, const TNameText& names);
std::string NamePathText(const TMP3FileInfo& rec, const TNameText& names);

// The part of filling a new record that needs no file: FileName := path, the
// wide name when there is one, and Title := the file name without extension (a
// reader later replaces Title only with a non-empty tag title).
void FillEntryFileNameFields(TMP3FileInfo& rec, const std::string& path, const TNameText& names = {},
                             std::u16string_view wide = {});

// A name the host holds that is no file but a stream ("http://...", anything with "://").
bool IsStreamName(std::string_view name);

// The record of a host entry that is kept without being read: as a file with no
// tag (FileName, Title from the file name part), except that a stream's Title is
// its whole name; Kept is set.
void FillKeptEntryFields(TMP3FileInfo& rec, const std::string& name, const TNameText& names = {},
                         std::u16string_view wide = {});
