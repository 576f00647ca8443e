#include "playlist/SaveListDialog_win.h"
#include <commdlg.h>
#include <vector>

namespace {
constexpr int kFilterCount = 3;

TPlaylistType TypeOfFilter(int index) {
    switch (index) {
    case 2: return TPlaylistType::M3u8;
    case 3: return TPlaylistType::Pls;
    default: return TPlaylistType::M3u;
    }
}

// The extension of the name part, dot included; empty when it has none.
std::wstring ExtensionOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/:");
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return {};
    return path.substr(dot);
}
}  // namespace

TSaveListDialog::TSaveListDialog(int filterIndex, std::wstring startFolder)
    : filterIndex_(filterIndex >= 1 && filterIndex <= kFilterCount ? filterIndex : 1),
      startFolder_(std::move(startFolder)) {}

bool TSaveListDialog::Execute(HWND owner, const wchar_t* title, const wchar_t* filters) {
    std::vector<wchar_t> buffer(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = startFolder_.empty() ? nullptr : startFolder_.c_str();
    ofn.lpstrTitle = title;
    // With a default extension the dialog adds the chosen filter's extension to
    // a bare name before it asks about overwriting.
    ofn.lpstrDefExt = L"m3u";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING |
                OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn)) return false;
    if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= kFilterCount) filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    fileName_ = buffer.data();
    if (ExtensionOf(fileName_).empty()) {
        // A dialog that left the name bare: the file still gets its type's extension.
        const char* ext = PlaylistExtension(TypeOfFilter(filterIndex_));
        fileName_.append(ext, ext + std::char_traits<char>::length(ext));
    }
    return true;
}

TPlaylistType TSaveListDialog::FileType() const {
    const std::wstring ext = ExtensionOf(fileName_);
    std::string ascii;
    for (wchar_t c : ext) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    const TPlaylistType byName = PlaylistTypeOfExtension(ascii);
    return byName != TPlaylistType::None ? byName : TypeOfFilter(filterIndex_);
}
