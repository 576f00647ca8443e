#include "preferences/ConfigureRules.h"

std::string NormalizeExtensionInput(std::string_view text, TLeadByteTest isLeadByte) {
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    std::string s = LowerAscii(text.substr(first, last - first), isLeadByte);
    if (s.empty()) return s;
    if (s[0] != '.') s.insert(s.begin(), '.');
    return s;
}

std::pair<int, int> SplitTokenColumns(int widest0, int widest1, int usable) {
    if (widest0 < 0) widest0 = 0;
    if (widest1 < 0) widest1 = 0;
    const long long sum = static_cast<long long>(widest0) + widest1;
    if (sum == 0 || usable <= 0) return {0, 0};
    return {static_cast<int>(widest0 * static_cast<long long>(usable) / sum),
            static_cast<int>(widest1 * static_cast<long long>(usable) / sum)};
}

int GridRowAt(int y, int rowHeight, int topRow, int rowCount) {
    if (y < 0 || rowHeight <= 0 || topRow < 0) return -1;
    const long long row = static_cast<long long>(topRow) + y / rowHeight;
    return row < rowCount ? static_cast<int>(row) : -1;
}
