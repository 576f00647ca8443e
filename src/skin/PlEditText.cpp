#include "skin/PlEditText.h"

namespace {

bool IsBlankOrQuote(char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::uint32_t> ReadColour(const TProfileReader& read, const char* key) {
    std::optional<std::string> text = read(key);
    return text ? ParsePlEditColour(*text) : std::nullopt;
}

std::uint32_t Average(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    return out;
}

}  // namespace

std::optional<std::uint32_t> ParsePlEditColour(std::string_view text) {
    while (!text.empty() && IsBlankOrQuote(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrQuote(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        rgb = rgb << 4 | static_cast<std::uint32_t>(d);
    }
    // Written red first; kept with red in the lowest byte.
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

TInheritedLook ReadPlEditText(const TProfileReader& read) {
    TInheritedLook look;
    look.NormalColor = ReadColour(read, "Normal");
    look.PlayColor = ReadColour(read, "Current");
    look.BackgroundColor = ReadColour(read, "NormalBG");
    look.SelectedBarColor = ReadColour(read, "SelectedBG");
    if (std::optional<std::string> face = read("Font"); face && !face->empty()) look.FontFace = std::move(face);
    return look;
}

TInheritedLook WithoutConfigured(TInheritedLook look, const TSkinConfiguration& config) {
    if (config.NormalColor) look.NormalColor.reset();
    if (config.PlayColor) look.PlayColor.reset();
    if (config.ShadowColor) look.BackgroundColor.reset();
    if (config.SelectColor) look.SelectedBarColor.reset();
    if (config.FontFace) look.FontFace.reset();
    return look;
}

TListColours ShownColours(const TListColours& own, const TInheritedLook& look) {
    TListColours shown = own;
    shown.Normal = look.NormalColor.value_or(own.Normal);
    shown.Play = look.PlayColor.value_or(own.Play);
    shown.Background = look.BackgroundColor.value_or(own.Background);
    shown.SelectedBar = look.SelectedBarColor;
    return shown;
}

TRowColours RowColours(const TListColours& shown, bool selected, bool playing, bool kept) {
    const std::uint32_t normal = kept ? Average(shown.Normal, shown.Background) : shown.Normal;
    TRowColours row;
    row.Column = playing ? shown.Play : normal;
    if (selected && shown.SelectedBar) {
        row.Bar = shown.SelectedBar;
        row.Title = row.Column;
    } else {
        row.Title = selected ? shown.Select : row.Column;
    }
    return row;
}
