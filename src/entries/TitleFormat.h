#pragma once
// Display titles of playlist entries, built from their records and the file-name
// pieces of fileinfo/EntryNames.h.
//
// A title comes from the user's format string: the eight tokens below are
// replaced by the entry's values, everything else is copied as it is.
//   ${INAM} Title    ${IART} Artist   ${IPRD} Album    ${ICMT} Comment
//   ${ISRC} Source   ${IGNR} Genre    ${FNAM} file name without extension
//   ${FEXT} extension of the file name, dot included ("" when none)
// Tokens match without regard to ASCII case. Values are never scanned again,
// so a "${" inside a tag stays literal; a token that matches nothing (or is cut
// short by the end of the format) stays literal too.
//
// The record's tag values are UTF-8 text; its 8-bit name and the format itself
// are text of the code page, read through `names` (lead bytes, so that the trail
// byte 0x5C of a Shift-JIS character is never taken for "\", and the conversion
// into UTF-8). ${FNAM} and ${FEXT} come from the wide name when the record has one.
#include "fileinfo/EntryNames.h"
#include "fileinfo/MP3FileInfo.h"

#include <string>
#include <string_view>

// Expands `format` for one record; the record is not changed. An empty format
// gives an empty title; the result is not trimmed.
std::string BuildEntryTitle(const std::string& format, const TMP3FileInfo& rec, const TNameText& names = {});

