#include "fileinfo/TagText.h"

namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string TrimTagText(std::string_view bytes) {
    std::size_t first = 0, last = bytes.size();
    while (first < last && IsTrimmed(bytes[first])) ++first;
    while (last > first && IsTrimmed(bytes[last - 1])) --last;
    return std::string(bytes.substr(first, last - first));
}
