#pragma once
// What the tag benchmarks share: the floor and the reader timed in alternating
// rounds of one run (the machine's load varies by 30 % or more, so each keeps
// its best round), and the one-byte "code page" their readers convert to.
#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

struct TBestTimes {
    double Floor = 1e9, Reader = 1e9;  // seconds
    double Ratio() const { return Reader / Floor; }
};

// floor(), then reader(), `rounds` times.
template <class TFloor, class TReader>
TBestTimes AlternatingRounds(int rounds, TFloor&& floor, TReader&& reader) {
    using TClock = std::chrono::steady_clock;
    auto since = [](TClock::time_point t0) { return std::chrono::duration<double>(TClock::now() - t0).count(); };
    TBestTimes best;
    for (int round = 0; round < rounds; ++round) {
        auto t0 = TClock::now();
        floor();
        best.Floor = std::min(best.Floor, since(t0));
        t0 = TClock::now();
        reader();
        best.Reader = std::min(best.Reader, since(t0));
    }
    return best;
}

// ASCII as it is, everything else "?".
inline std::string AsciiOnly(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}
