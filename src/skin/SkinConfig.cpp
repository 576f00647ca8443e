#include "skin/SkinConfig.h"

#include "base/CommonLib.h"
#include "host/SettingsValues.h"

#include <utility>

namespace {

std::optional<int> ReadInt(const TProfileReader& read, const char* key) {
    std::optional<std::string> text = read(key);
    return text ? ParseSettingsInt(*text) : std::nullopt;
}

std::optional<bool> ReadBool(const TProfileReader& read, const char* key) {
    std::optional<int> v = ReadInt(read, key);
    return v ? std::optional<bool>(*v != 0) : std::nullopt;
}

std::optional<std::uint32_t> ReadColour(const TProfileReader& read, const char* key) {
    std::optional<std::string> text = read(key);
    return text ? std::optional<std::uint32_t>(TextToColor(*text)) : std::nullopt;
}

std::optional<std::string> ReadPicture(const TProfileReader& read, const char* key) {
    std::optional<std::string> text = read(key);
    if (text && *text == kKeepPicture)
        return std::nullopt;
    return text;
}

}  // namespace

int EqualizerLayoutFromKeyword(std::string_view keyword) {
    static constexpr std::pair<std::string_view, int> kKeywords[] = {
        {"inherit", EqualizerLayoutInherit}, {"left", EqualizerLayoutLeft},
        {"right", EqualizerLayoutRight},     {"above", EqualizerLayoutAbove},
        {"below", EqualizerLayoutBelow},     {"overwrap", EqualizerLayoutOverwrap},
        {"relative", EqualizerLayoutRelative},
    };
    for (const auto& [word, value] : kKeywords)
        if (EqualsIgnoringAsciiCase(keyword, word))
            return value;
    return EqualizerLayoutInherit;
}

TSkinConfiguration ReadSkinConfigurationValues(const TProfileReader& read) {
    TSkinConfiguration c;
    c.WindowLeft = ReadInt(read, "Window.Position.X");
    c.WindowTop = ReadInt(read, "Window.Position.Y");
    c.WindowWidth = ReadInt(read, "Window.Size.Width");
    c.WindowHeight = ReadInt(read, "Window.Size.Height");

    c.FontFace = read("Font.Face");
    c.FontPoint = ReadInt(read, "Font.Point");
    c.FontBold = ReadBool(read, "Font.Style.Bold");
    c.FontItalic = ReadBool(read, "Font.Style.Italic");
    c.PlayColor = ReadColour(read, "Font.Color.Play");
    c.SelectColor = ReadColour(read, "Font.Color.Select");
    c.NormalColor = ReadColour(read, "Font.Color.Normal");
    if (std::optional<std::string> shadow = read("Font.Color.Shadow"); shadow && !shadow->empty())
        c.ShadowColor = TextToColor(*shadow);
    c.ForegroundPath = ReadPicture(read, "Option.WatermarkSkin.FG");
    c.BackgroundPath = ReadPicture(read, "Option.WatermarkSkin.BG");
    if (std::optional<std::string> layout = read("Layout.Winamp.Equalizer"))
        c.EqualizerLayout = EqualizerLayoutFromKeyword(*layout);
    c.EqualizerOffsetX = ReadInt(read, "Layout.Winamp.Equalizer.Offset.X").value_or(0);
    c.EqualizerOffsetY = ReadInt(read, "Layout.Winamp.Equalizer.Offset.Y").value_or(0);
    c.EqualizerZorder = ReadInt(read, "Layout.Winamp.Equalizer.Zorder").value_or(0);
    return c;
}

std::optional<TBounds> SkinWindowBounds(const TSkinConfiguration& config, bool positionOverride,
                                        bool sizeOverride, const TBounds& current, int screenWidth,
                                        int screenHeight) {
    if (!positionOverride && !sizeOverride)
        return std::nullopt;
    TBounds b = current;
    if (positionOverride) {
        b.Left = config.WindowLeft.value_or(current.Left);
        b.Top = config.WindowTop.value_or(current.Top);
    }
    if (sizeOverride) {
        b.Width = config.WindowWidth.value_or(current.Width);
        b.Height = config.WindowHeight.value_or(current.Height);
    }
    b = FitWindowOnScreen(b, screenWidth, screenHeight);
    if (b == current)
        return std::nullopt;
    return b;
}
