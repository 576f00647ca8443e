// Reading a skin's pledit.txt for the "Inherit" option. The file is the
// player's, not ours: any size or content must give what colours it can, at a
// bounded cost (only its first kPlEditReadLimit bytes are read).
#include "playlist/SkinInherit_win.h"
#include <windows.h>
#include "base/Handles_win.h"
#include "base/ProfileFile_win.h"
#include "base/Text_win.h"
#include "host/CommonLib_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "skin/PlEditText.h"
#include "skin/SkinConfig.h"
#include "skin/WatermarkSkin_win.h"

namespace {

bool IsFile(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The first bytes of the file; a UTF-16 one (by its byte-order mark) in the ANSI code page.
std::string ReadHead(const std::string& path) {
    TFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes(kPlEditReadLimit, '\0');
    DWORD n = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr)) return {};
    bytes.resize(n);
    const bool little = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool big = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
    if (!little && !big) return bytes;
    std::wstring wide;
    wide.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        const unsigned hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        wide.push_back(static_cast<wchar_t>(lo | hi << 8));
    }
    return WideToAnsi(wide);
}

TInheritedLook LookIn(const std::string& dir) {
    const std::string plEdit = PlEditFileIn(dir);
    if (plEdit.empty()) return {};
    const std::string text = ReadHead(plEdit);
    TInheritedLook look = ReadPlEditText(TProfileText(text).Reader(kPlEditTextSection));
    const std::string own = JoinPath(dir, "VelvetLister.txt", AnsiPathText());
    if (IsFile(own)) look = WithoutConfigured(look, ReadSkinConfigurationValues(ProfileFileReader(own, kSkinConfigSection)));
    return look;
}

}  // namespace

std::string PlEditFileIn(const std::string& dir) {
    if (dir.empty()) return {};
    const std::string path = JoinPath(dir, kPlEditFileName, AnsiPathText());
    return IsFile(path) ? path : std::string();
}

void ApplyInheritedLook(const std::string& dir) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl || !pl->Skin()) return;
    TWatermarkSkin& skin = *pl->Skin();
    const TInheritedLook look = Option.InheritSkinColors ? LookIn(dir) : TInheritedLook{};
    if (look == skin.Inherited()) return;
    const bool newFace = look.FontFace != skin.Inherited().FontFace;
    skin.SetInherited(look);
    if (newFace) pl->ApplyListFont();
    pl->RepaintList();
}
