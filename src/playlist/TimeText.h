#pragma once
// Texts the playlist window shows for times and its caption.
#include <cstddef>
#include <string>

// The length column's text for a length in whole seconds: "m:ss" below an hour
// (187 -> "3:07"), "h:mm:ss" from an hour on (3723 -> "1:02:03"). A negative
// length (not yet known) gives the empty text.
std::string SongLengthText(int seconds);

// The control panel's total: the selected entries' and all entries' known
// lengths in the length format, "+" after the total when some are unknown
// ("3:05/1:02:05", "0:00/12:34+"). While titles and lengths are still read it
// shows the share read instead: "Reading 41 %" ("読み込み中 41 %" in Japanese, UTF-8).
std::string TotalTimeText(long long selected, long long total, bool totalPartial);
std::string ReadingShareText(std::size_t done, std::size_t of, bool japanese);

// The elapsed-time display for a position in whole seconds: "mm:ss" below an
// hour (187 -> "03:07"), "h:mm:ss" from an hour on. Negative gives the empty text.
std::string ElapsedTimeText(int seconds);

// The window caption while an entry is current: its display title without
// leading and trailing blanks and control characters, then " - VelvetLister".
std::string PlayingCaption(const std::string& title);

// The elapsed-time label of the control panel, advanced every 500 ms from the
// host's play time. Text is what the label shows ("00:00" at start); Tag is the
// whole second last shown. While paused the time blinks: shown, blank, shown...
struct TTimeDisplay {
    std::string Text = "00:00";
    int Tag = 0;
    bool BlinkOn = false;
    std::string BlinkText;
};

// One timer tick with the host's play time in milliseconds (-1 stopped or host
// gone: blank; other negatives: paused). Within the same second nothing changes.
// Returns whether Text changed.
bool TickTimeDisplay(TTimeDisplay& display, int playTimeMs);
