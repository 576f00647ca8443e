#pragma once
// The widths of the titles drawn, by text, for the font they were measured in:
// a repaint draws the same rows again, and measuring is a third of drawing.
#include <windows.h>

#include <new>
#include <string>
#include <unordered_map>

class TTextWidths {
public:
    // The width of `text` in the font selected into `dc`; false when it cannot be measured.
    bool Width(HDC dc, const std::wstring& text, int& width) {
        const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
        if (font != font_) {
            widths_.clear();
            font_ = font;
        }
        if (const auto it = widths_.find(text); it != widths_.end()) {
            width = it->second;
            return true;
        }
        SIZE size{};
        if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) return false;
        // A few screens' worth; a list scrolled end to end starts over now and then.
        if (widths_.size() >= kKept) widths_.clear();
        try {
            widths_.emplace(text, size.cx);
        } catch (const std::bad_alloc&) {
            // Measured again next time: a paint never fails for the cache.
        }
        width = size.cx;
        return true;
    }

private:
    static constexpr std::size_t kKept = 1024;
    HGDIOBJ font_ = nullptr;
    std::unordered_map<std::wstring, int> widths_;
};
