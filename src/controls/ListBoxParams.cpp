#include "controls/ListBoxParams.h"

using namespace lbbits;

TWindowStyle ListBoxWindowStyle(const TListBoxParams& p, bool system3D) {
    TWindowStyle ws;
    ws.Style = kChild | kClipSiblings;
    if (p.TabStop) ws.Style |= kTabStop;
    if (!p.Enabled) ws.Style |= kDisabled;
    ws.Style |= kHScroll | kVScroll | kHasStrings | kNotify;
    switch (p.Style) {
        case TListBoxStyle::lbStandard: break;
        case TListBoxStyle::lbOwnerDrawFixed: ws.Style |= kOwnerDrawFixed; break;
        case TListBoxStyle::lbOwnerDrawVariable: ws.Style |= kOwnerDrawVariable; break;
    }
    if (p.Sorted) ws.Style |= kSort;
    if (p.MultiSelect) ws.Style |= p.ExtendedSelect ? kExtendedSel : kMultipleSel;
    if (!p.IntegralHeight) ws.Style |= kNoIntegralHeight;
    if (p.Columns != 0) ws.Style |= kMultiColumn;
    if (p.BorderStyle == TBorderStyle::bsSingle) ws.Style |= kBorder;
    if (p.TabWidth != 0) ws.Style |= kUseTabStops;
    if (system3D && p.Ctl3D && p.BorderStyle == TBorderStyle::bsSingle) {
        ws.Style &= ~kBorder;
        ws.ExStyle |= kExClientEdge;
    }
    return ws;
}

std::uint32_t NativeListStyle(std::uint32_t nominal, TListBoxStyle style) {
    std::uint32_t s = nominal & ~(kHasStrings | kSort | kOwnerDrawFixed | kOwnerDrawVariable | kNoData);
    if (style == TListBoxStyle::lbOwnerDrawVariable)
        s |= kOwnerDrawVariable;
    else
        s |= kOwnerDrawFixed | kNoData;  // plain rows are drawn by the control itself
    return s;
}

int ListColumnWidth(int controlWidth, int columns) {
    if (columns <= 0) return 0;
    int w = (controlWidth + columns - 3) / columns;
    return w > 0 ? w : 0;
}

TRectI EraseRectangle(const TRectI& row0, int controlHeight, int itemHeight, bool borderSingle, bool integralHeight) {
    const int b = borderSingle ? 4 : 0;
    const int w = row0.Right - row0.Left;
    if (integralHeight) {
        int rows = itemHeight > 0 ? (controlHeight - b) / itemHeight : 0;
        return {0, 0, w, rows * (row0.Bottom - row0.Top)};
    }
    return {0, 0, w, controlHeight - b};
}
