#include "playlist/TimeText.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string TwoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2.2d", v);
    return buf;
}

// Below an hour the two texts differ only in the minutes' width.
std::string TimeText(int seconds, bool padMinutes) {
    if (seconds < 0) return std::string();
    if (seconds < 3600) {
        const int minutes = seconds / 60;
        return (padMinutes ? TwoDigits(minutes) : std::to_string(minutes)) + ":" + TwoDigits(seconds % 60);
    }
    const int rest = seconds % 3600;
    return std::to_string(seconds / 3600) + ":" + TwoDigits(rest / 60) + ":" + TwoDigits(rest % 60);
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::string SongLengthText(int seconds) { return TimeText(seconds, false); }

std::string ElapsedTimeText(int seconds) { return TimeText(seconds, true); }

std::string TotalTimeText(long long selected, long long total, bool totalPartial) {
    // Sums beyond the length format's range are shown at its end.
    constexpr long long kMax = 0x7FFFFFFF;
    return SongLengthText(int(std::min(selected, kMax))) + "/" + SongLengthText(int(std::min(total, kMax))) +
           (totalPartial ? "+" : "");
}

std::string ReadingShareText(std::size_t done, std::size_t of, bool japanese) {
    const std::size_t share = of == 0 ? 100 : std::min<std::size_t>(100, done * 100 / of);
    return (japanese ? std::string("\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF\xE4\xB8\xAD ") : std::string("Reading ")) +
           std::to_string(share) + " %";
}

std::string PlayingCaption(const std::string& title) {
    // Trail bytes of double-byte characters are never <= 0x20, so trimming bytes is safe.
    std::size_t begin = 0;
    std::size_t end = title.size();
    while (begin < end && IsBlankOrControl(title[begin])) ++begin;
    while (end > begin && IsBlankOrControl(title[end - 1])) --end;
    return title.substr(begin, end - begin) + " - VelvetLister";
}

bool TickTimeDisplay(TTimeDisplay& d, int playTimeMs) {
    const std::string before = d.Text;
    if (playTimeMs == -1) {
        d.Text.clear();
    } else if (playTimeMs < 0) {
        if (d.BlinkOn) {
            d.Text = d.BlinkText;
        } else {
            d.BlinkText = d.Text;
            d.Text.clear();
        }
        d.BlinkOn = !d.BlinkOn;
    } else {
        d.BlinkOn = false;
        const int second = playTimeMs / 1000;
        if (second != d.Tag) {
            d.Tag = second;
            d.Text = ElapsedTimeText(second);
        }
    }
    return d.Text != before;
}
