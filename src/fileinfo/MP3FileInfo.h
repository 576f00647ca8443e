#pragma once
// The per-entry record: what the playlist knows about one file.
#include <string>

struct TMP3FileInfo {
    std::string FileName;        // path exactly as added
    int SongLength = -1;         // whole seconds; -1 until the host reports it
    std::string SongLengthText;  // as shown in the length column; empty until known
    bool Selected = false;       // scratch copy of the row's selection while re-ordering
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Comment;
    std::string Genre;
    std::string Year;
    std::string Copyright;
    std::string Engineer;
    std::string Source;
    std::string Software;
};
