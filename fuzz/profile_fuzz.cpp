// libFuzzer target: arbitrary bytes as a settings file, a skin configuration or
// a player skin's pledit.txt, and as comma text, integer text and colour text. Reading never fails, and what the
// settings store writes reads back to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/ProfileText.h"
#include "host/SettingsTable.h"
#include "skin/PlEditText.h"
#include "skin/SkinConfig.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}

std::string AsProfileText(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string text = "[VelvetLister Plug-in]\r\n";
    for (const auto& [key, value] : pairs)
        text += key + "=" + value + "\r\n";
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // The bytes as a whole file.
    TProfileText ini(text);
    TPluginSettings settings;
    LoadPluginSettings(ini.Reader(kPluginSettingsSection), settings);
    TSkinConfiguration skin = ReadSkinConfigurationValues(ini.Reader(kSkinConfigSection));
    Check(skin.EqualizerLayout >= 0 && skin.EqualizerLayout <= 6);
    if (skin.ForegroundPath)
        Check(skin.ForegroundPath->size() <= kProfileValueLimit && *skin.ForegroundPath != kKeepPicture);

    // pledit.txt: a face is never empty, a colour only ever RGB, and a colour
    // text that reads prints back to itself.
    TInheritedLook look = WithoutConfigured(ReadPlEditText(ini.Reader(kPlEditTextSection)), skin);
    if (look.FontFace)
        Check(!look.FontFace->empty() && look.FontFace->size() <= kProfileValueLimit);
    for (const auto& colour : {look.NormalColor, look.PlayColor, look.BackgroundColor, look.SelectedBarColor})
        Check(!colour || *colour <= 0xFFFFFF);
    if (std::optional<std::uint32_t> c = ParsePlEditColour(text)) {
        char back[8];
        std::snprintf(back, sizeof back, "%02X%02X%02X", *c & 0xFF, *c >> 8 & 0xFF, *c >> 16);
        Check(ParsePlEditColour(back) == c);
    }
    const TRowColours row = RowColours(ShownColours({}, look), true, true, true);
    Check(row.Bar == look.SelectedBarColor);

    // Whatever was loaded is saved so that it loads back the same, as long as
    // every value fits the profile reader's buffer.
    auto saved = SavePluginSettings(settings);
    bool fits = true;
    for (const auto& [key, value] : saved)
        fits = fits && value.size() < kProfileValueLimit;
    if (fits) {
        TPluginSettings back;
        LoadPluginSettings(TProfileText(AsProfileText(saved)).Reader(kPluginSettingsSection), back);
        Check(SavePluginSettings(back) == saved);
    }

    // The bytes as comma text: the written form parses back to the same items.
    std::vector<std::string> items = ParseCommaText(text);
    Check(ParseCommaText(FormatCommaText(items)) == items);

    // The bytes as an integer: a number prints back to itself.
    if (std::optional<int> v = ParseSettingsInt(text))
        Check(ParseSettingsInt(std::to_string(*v)) == v);
    return 0;
}
