#include "skin/EqualizerLayout.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// The main window's width at normal size; a double-size window is twice that.
constexpr int kNormalMainWidth = 275;

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

void AddZorderWish(int zorder, std::vector<TZOrderStep>& steps) {
    if (zorder < 0)
        steps.push_back(TZOrderStep::EqualizerBehindMain);
    else if (zorder > 0)
        steps.push_back(TZOrderStep::MainBehindEqualizer);
}

// The main and equaliser windows' top-left corners, in 64 bits: offsets come
// from skin files and may be anything.
struct TPairPosition {
    std::int64_t ml, mt, el, et;
};

// Where the layout puts the pair, from the main window's home position (a swap
// of sides keeps the pair where it is).
TPairPosition TargetPosition(const TEqualizerRelocationInput& in, const TRect& m, int relation, const TRect& home,
                             std::int64_t w, std::int64_t h) {
    const std::int64_t homeLeft = home.Left;
    const std::int64_t homeTop = home.Top;
    const std::int64_t scale = w / kNormalMainWidth;
    std::int64_t ml = homeLeft, mt = homeTop, el = homeLeft, et = homeTop;
    switch (in.Layout) {
    case EqualizerLayoutLeft:
        if (relation == EqualizerLayoutRight) {  // swap sides
            ml = m.Right, mt = m.Top, el = m.Left, et = m.Top;
        } else {
            el = homeLeft - w;
        }
        break;
    case EqualizerLayoutRight:
        if (relation == EqualizerLayoutLeft) {
            ml = std::int64_t{m.Left} - w, mt = m.Top, el = m.Left, et = m.Top;
        } else {
            el = homeLeft + w;
        }
        break;
    case EqualizerLayoutAbove:
        if (relation == EqualizerLayoutBelow) {
            ml = m.Left, mt = m.Bottom, el = m.Left, et = m.Top;
        } else {
            et = homeTop - h;
        }
        break;
    case EqualizerLayoutBelow:
        if (relation == EqualizerLayoutAbove) {
            ml = m.Left, mt = std::int64_t{m.Top} - h, el = m.Left, et = m.Top;
        } else {
            et = homeTop + h;
        }
        break;
    case EqualizerLayoutOverwrap:
        break;
    case EqualizerLayoutRelative:
        el = homeLeft + std::int64_t{in.OffsetX} * scale;
        et = homeTop + std::int64_t{in.OffsetY} * scale;
        break;
    }
    return {ml, mt, el, et};
}

// Keeps the pair on the screen, pushing from the far edges first.
void KeepOnScreen(TPairPosition& p, std::int64_t w, std::int64_t h, std::int64_t sw, std::int64_t sh) {
    std::int64_t &ml = p.ml, &mt = p.mt, &el = p.el, &et = p.et;
    if (el < ml && ml + w >= sw)
        ml = sw - w, el = ml - w;
    if (ml < el && el + w >= sw)
        el = sw - w, ml = el - w;
    if (et < mt && mt + h >= sh)
        mt = sh - h, et = mt - h;
    if (mt < et && et + h >= sh)
        et = sh - h, mt = et - h;
    if (el < ml && el < 0)
        el = 0, ml = w;
    if (ml < el && ml < 0)
        ml = 0, el = w;
    if (et < mt && et < 0)
        et = 0, mt = h;
    if (mt < et && mt < 0)
        mt = 0, et = h;
}

}  // namespace

int EqualizerRelation(const TRect& m, const TRect& e) {
    if (m.Left == e.Left) {
        if (e.Top == m.Top)
            return EqualizerLayoutOverwrap;
        if (m.Top == e.Bottom)
            return EqualizerLayoutAbove;
        if (e.Top == m.Bottom)
            return EqualizerLayoutBelow;
        return EqualizerLayoutInherit;
    }
    if (m.Top == e.Top) {
        if (m.Left == e.Right)
            return EqualizerLayoutLeft;
        if (e.Left == m.Right)
            return EqualizerLayoutRight;
    }
    return EqualizerLayoutInherit;
}

TEqualizerRelocation PlanEqualizerRelocation(const TEqualizerRelocationInput& in,
                                             TEqualizerPlacementState& state) {
    TEqualizerRelocation out;
    // Unknown layout values place nothing rather than moving to undefined spots.
    if (!in.MainVisible || in.Layout <= EqualizerLayoutInherit || in.Layout > EqualizerLayoutRelative)
        return out;
    const TRect& m = in.Main;
    // Both windows must be at the same size (normal or double) to line up.
    if (in.Equalizer.Width() != m.Width())
        return out;
    if (m != state.LastPlacedRect)
        state.HomePosition = m;  // the user moved the main window since

    // 64-bit arithmetic: offsets come from skin files and may be anything.
    const std::int64_t w = m.Width();
    const std::int64_t h = m.Height();
    const int relation = EqualizerRelation(m, in.Equalizer);
    if (relation == in.Layout) {
        if (in.Layout == EqualizerLayoutOverwrap)
            AddZorderWish(in.Zorder, out.ZOrder);
        return out;
    }

    TPairPosition p = TargetPosition(in, m, relation, state.HomePosition, w, h);
    if (in.Layout != EqualizerLayoutRelative) {
        KeepOnScreen(p, w, h, in.ScreenWidth, in.ScreenHeight);
        out.ZOrder.push_back(TZOrderStep::EqualizerBehindMain);
    }
    if (in.Layout == EqualizerLayoutOverwrap || in.Layout == EqualizerLayoutRelative)
        AddZorderWish(in.Zorder, out.ZOrder);

    out.Move = true;
    out.MainLeft = ClampToInt(p.ml);
    out.MainTop = ClampToInt(p.mt);
    out.EqualizerLeft = ClampToInt(p.el);
    out.EqualizerTop = ClampToInt(p.et);
    state.LastPlacedRect = {out.MainLeft, out.MainTop, ClampToInt(out.MainLeft + w), ClampToInt(out.MainTop + h)};
    return out;
}
