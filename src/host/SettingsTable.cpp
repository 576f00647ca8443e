#include "host/SettingsTable.h"

#include "base/CommonLib.h"

#include <algorithm>

namespace {

template <typename T>
TSettingKey<T> IntKey(const char* key, int T::*field, bool written = true) {
    return {key, TSettingKind::Int, field, written};
}
template <typename T>
TSettingKey<T> BoolKey(const char* key, bool T::*field, bool written = true) {
    return {key, TSettingKind::Bool, field, written};
}
template <typename T>
TSettingKey<T> ColourKey(const char* key, std::uint32_t T::*field) {
    return {key, TSettingKind::Colour, field, true};
}
template <typename T>
TSettingKey<T> StringKey(const char* key, std::string T::*field) {
    return {key, TSettingKind::String, field, true};
}

using P = TPluginSettings;

const TSettingKey<P> kPluginKeys[] = {
    IntKey("Window.Position.Y", &P::WindowTop),
    IntKey("Window.Position.X", &P::WindowLeft),
    IntKey("Window.Size.Width", &P::WindowWidth),
    IntKey("Window.Size.Height", &P::WindowHeight),
    StringKey("Font.Face", &P::FontFace),
    IntKey("Font.Point", &P::FontPoint),
    BoolKey("Font.Style.Bold", &P::FontBold),
    BoolKey("Font.Style.Italic", &P::FontItalic),
    ColourKey("Font.Color.Play", &P::PlayColor),
    ColourKey("Font.Color.Select", &P::SelectColor),
    ColourKey("Font.Color.Normal", &P::NormalColor),
    {"Font.Color.Shadow", TSettingKind::ShadowColour, &P::ShadowColor, false},
    {"Option.Locale", TSettingKind::Locale, &P::JapaneseCaptions, true},
    BoolKey("Option.ShowControlPanel", &P::ShowControlPanel),
    BoolKey("Option.AutomaticShowPL", &P::AutomaticShowPL),
    BoolKey("Option.AutomaticShowEQ", &P::AutomaticShowEQ),
    BoolKey("Option.AlwaysOnTop", &P::AlwaysOnTop),
    BoolKey("Option.SongAddLast", &P::SongAddLast),
    BoolKey("Option.ShowSongNumber", &P::ShowSongNumber),
    BoolKey("Option.ShowSongTime", &P::ShowSongTime),
    BoolKey("Option.WindowPositionOverrideByWSC", &P::WindowPositionOverrideByWSC),
    BoolKey("Option.WindowSizeOverrideByWSC", &P::WindowSizeOverrideByWSC),
    BoolKey("Option.InheritSkinColors", &P::InheritSkinColors),
    BoolKey("Option.EnableEqualizerRelocation", &P::EnableEqualizerRelocation),
    BoolKey("Option.EnableDrawFontShadow", &P::EnableDrawFontShadow),
    BoolKey("Option.PreferID3v2", &P::PreferID3v2),
    BoolKey("Option.ReadSongLength", &P::ReadSongLength),
    {"Option.Playlist.Format", TSettingKind::Format, &P::PlaylistFormat, true},
    BoolKey("Option.EnableAboutWinamp", &P::EnableAboutWinamp),
    StringKey("Option.WatermarkSkin.FG", &P::WatermarkFG),
    StringKey("Option.WatermarkSkin.BG", &P::WatermarkBG),
    {"Option.AudioFileExtensions", TSettingKind::Extensions, &P::AudioExtensions, true},
};

using H = THostSettings;

// The host's file is only read.
const TSettingKey<H> kHostKeys[] = {
    IntKey("pe_wy", &H::EditorTop, false),
    IntKey("pe_wx", &H::EditorLeft, false),
    IntKey("pe_width", &H::EditorWidth, false),
    IntKey("pe_height", &H::EditorHeight, false),
    BoolKey("pe_open", &H::EditorOpen, false),
    IntKey("pilp", &H::PlaylistPosition, false),
    BoolKey("shownumsinpl", &H::ShowNumbersInPlaylist, false),
    BoolKey("aot", &H::AlwaysOnTop, false),
    IntKey("snaplen", &H::SnapLength, false),
};

template <typename T, typename TMember>
TMember& FieldOf(T& values, const TSettingKey<T>& key) {
    return values.*std::get<TMember T::*>(key.Field);
}
template <typename T, typename TMember>
const TMember& FieldOf(const T& values, const TSettingKey<T>& key) {
    return values.*std::get<TMember T::*>(key.Field);
}

template <typename T>
void LoadKey(const TSettingKey<T>& key, const std::optional<std::string>& text, T& values) {
    if (!text)
        return;  // absent: the default stays
    switch (key.Kind) {
    case TSettingKind::Int: {
        int& v = FieldOf<T, int>(values, key);
        v = ReadSettingsInt(text, v);
        break;
    }
    case TSettingKind::Bool: {
        bool& v = FieldOf<T, bool>(values, key);
        v = ReadSettingsBool(text, v);
        break;
    }
    case TSettingKind::Colour:
        FieldOf<T, std::uint32_t>(values, key) = TextToColor(*text);
        break;
    case TSettingKind::ShadowColour:
        if (!text->empty())
            FieldOf<T, std::optional<std::uint32_t>>(values, key) = TextToColor(*text);
        break;
    case TSettingKind::Locale:
        FieldOf<T, bool>(values, key) = IsJapaneseLocale(*text);
        break;
    case TSettingKind::Format:
        FieldOf<T, std::string>(values, key) = StripFormatQuotes(*text);
        break;
    case TSettingKind::String:
        FieldOf<T, std::string>(values, key) = *text;
        break;
    case TSettingKind::Extensions:
        FieldOf<T, TExtensionSet>(values, key).AssignCommaText(*text);
        break;
    }
}

template <typename T>
std::string SaveKey(const TSettingKey<T>& key, const T& values) {
    switch (key.Kind) {
    case TSettingKind::Int:
        return std::to_string(FieldOf<T, int>(values, key));
    case TSettingKind::Bool:
        return FieldOf<T, bool>(values, key) ? "1" : "0";
    case TSettingKind::Colour:
        return ColorToText(FieldOf<T, std::uint32_t>(values, key));
    case TSettingKind::Locale:
        return LocaleText(FieldOf<T, bool>(values, key));
    case TSettingKind::Format: {
        // The reader drops the enclosing pair and the load one more leading and
        // trailing quote: a format that starts or ends with one of its own gets
        // a second pair, or it would lose it at every start.
        const std::string& format = FieldOf<T, std::string>(values, key);
        const bool quoteAtEdge = !format.empty() && (format.front() == '"' || format.back() == '"');
        return quoteAtEdge ? "\"\"" + format + "\"\"" : "\"" + format + "\"";
    }
    case TSettingKind::String:
        return FieldOf<T, std::string>(values, key);
    case TSettingKind::Extensions:
        return FieldOf<T, TExtensionSet>(values, key).ToCommaText();
    case TSettingKind::ShadowColour:
        break;
    }
    return {};
}

}  // namespace

TExtensionSet TPluginSettings::DefaultAudioExtensions() {
    TExtensionSet set;
    set.AssignCommaText(kDefaultAudioExtensions);
    return set;
}

std::span<const TSettingKey<TPluginSettings>> PluginSettingKeys() { return kPluginKeys; }
std::span<const TSettingKey<THostSettings>> HostSettingKeys() { return kHostKeys; }

void LoadPluginSettings(const TProfileReader& read, TPluginSettings& values) {
    for (const auto& key : kPluginKeys)
        LoadKey(key, read(key.Key), values);
}

std::vector<std::pair<std::string, std::string>> SavePluginSettings(const TPluginSettings& values) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& key : kPluginKeys) {
        if (!key.Written)
            continue;
        std::string text = SaveKey(key, values);
        // A profile value is one line: a line break would end it and start a
        // line of its own that the next load reads as another key.
        std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        // Stored text must read back as written; the format carries its own quotes.
        if (key.Kind == TSettingKind::String || key.Kind == TSettingKind::Extensions)
            text = ProtectProfileValue(std::move(text));
        out.emplace_back(key.Key, std::move(text));
    }
    return out;
}

void LoadHostSettings(const TProfileReader& read, THostSettings& values) {
    for (const auto& key : kHostKeys)
        LoadKey(key, read(key.Key), values);
}

void ApplyHostDefaults(const THostSettings& host, TPluginSettings& values) {
    values.WindowTop = host.EditorTop;
    values.WindowLeft = host.EditorLeft;
    values.WindowWidth = host.EditorWidth;
    values.WindowHeight = host.EditorHeight;
    values.ShowSongNumber = host.ShowNumbersInPlaylist;
    values.ShowSongTime = host.AlwaysOnTop;
}
