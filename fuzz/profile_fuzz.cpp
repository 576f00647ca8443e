// libFuzzer target: arbitrary bytes as a settings file or a skin configuration,
// and as comma text and integer text. Reading never fails, and what the
// settings store writes reads back to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/ProfileText.h"
#include "host/SettingsTable.h"
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
