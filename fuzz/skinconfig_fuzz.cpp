// libFuzzer target: the values of a skin configuration as they reach the skin.
// The input is one value per line for the keys below (an empty line: the key is
// absent); the values are read, then turned into the window bounds and the
// equaliser relocation the way applying a skin does.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "skin/SkinConfig.h"

namespace {
void CheckAt(bool ok, int line) {
    if (!ok) { std::fprintf(stderr, "check failed at line %d\n", line); std::abort(); }
}

const char* const kKeys[] = {
    "Window.Position.X", "Window.Position.Y", "Window.Size.Width", "Window.Size.Height",
    "Font.Face", "Font.Point", "Font.Style.Bold", "Font.Style.Italic",
    "Font.Color.Play", "Font.Color.Select", "Font.Color.Normal", "Font.Color.Shadow",
    "Option.WatermarkSkin.FG", "Option.WatermarkSkin.BG", "Layout.Winamp.Equalizer",
    "Layout.Winamp.Equalizer.Offset.X", "Layout.Winamp.Equalizer.Offset.Y", "Layout.Winamp.Equalizer.Zorder",
};

int IntAt(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v = v << 8 | (at + k < size ? data[at + k] : 0);
    return static_cast<int>(v);
}
}  // namespace
#define Check(ok) CheckAt((ok), __LINE__)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::map<std::string, std::string> values;
    std::size_t pos = 0;
    for (const char* key : kKeys) {
        if (pos > text.size()) break;
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        if (end > pos) values[key] = StripProfileValue(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
    }
    const TProfileReader read = [&](const std::string& key) -> std::optional<std::string> {
        auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    const TSkinConfiguration c = ReadSkinConfigurationValues(read);
    Check(c.EqualizerLayout >= EqualizerLayoutInherit && c.EqualizerLayout <= EqualizerLayoutRelative);
    // A colour written as three numbers is plain RGB; only a plain number may carry a top byte.
    const std::string& play = values["Font.Color.Play"];
    if (c.PlayColor && play.find('.') != std::string::npos && play.find_first_not_of("0123456789.") == std::string::npos)
        Check(*c.PlayColor <= 0xFFFFFF);
    Check(!c.ForegroundPath || *c.ForegroundPath != kKeepPicture);

    // Bounds: whatever the file says, the window ends on a screen of a sane size.
    const TBounds current{IntAt(data, size, 0) % 4000, IntAt(data, size, 4) % 4000, 100, 100};
    const int sw = 320 + static_cast<int>(static_cast<std::uint32_t>(IntAt(data, size, 8)) % 3000);
    const int sh = 200 + static_cast<int>(static_cast<std::uint32_t>(IntAt(data, size, 12)) % 3000);
    for (int flags = 1; flags < 4; ++flags) {
        std::optional<TBounds> b = SkinWindowBounds(c, flags & 1, flags & 2, current, sw, sh);
        if (!b) continue;
        Check(!(*b == current));
        if (b->Width >= 0 && b->Height >= 0) {
            Check(b->Width <= sw && b->Height <= sh);
            Check(b->Left >= 0 && b->Top >= 0 && b->Left + b->Width <= sw && b->Top + b->Height <= sh);
        }
    }

    // The equaliser: planned twice from the same state, as two skin changes in a row.
    static TEqualizerPlacementState state;
    TEqualizerRelocationInput in;
    in.Layout = c.EqualizerLayout;
    in.OffsetX = c.EqualizerOffsetX;
    in.OffsetY = c.EqualizerOffsetY;
    in.Zorder = c.EqualizerZorder;
    in.MainVisible = true;
    const int scale = 1 + (IntAt(data, size, 16) & 1);
    const int x = IntAt(data, size, 20) % 100000, y = IntAt(data, size, 24) % 100000;
    in.Main = TRect{x, y, x + 275 * scale, y + 116 * scale};
    in.Equalizer = TRect{x + 7, y + 300, x + 7 + 275 * scale, y + 300 + 116 * scale};
    in.ScreenWidth = sw;
    in.ScreenHeight = sh;
    for (int round = 0; round < 2; ++round) {
        TEqualizerRelocation r = PlanEqualizerRelocation(in, state);
        Check(r.ZOrder.size() <= 2);
        // Far-off positions are not fed back: the next rectangle would not fit an int.
        if (r.Move && std::abs(r.MainLeft) < 1000000 && std::abs(r.MainTop) < 1000000 &&
            std::abs(r.EqualizerLeft) < 1000000 && std::abs(r.EqualizerTop) < 1000000) {
            in.Main = TRect{r.MainLeft, r.MainTop, r.MainLeft + 275 * scale, r.MainTop + 116 * scale};
            in.Equalizer = TRect{r.EqualizerLeft, r.EqualizerTop, r.EqualizerLeft + 275 * scale,
                                 r.EqualizerTop + 116 * scale};
        }
    }
    return 0;
}
