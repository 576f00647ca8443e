// The "Inherit" page: whether the list takes the colours and face of the
// player's skin (its pledit.txt), and which file that would be.
#include "preferences/Configure_win.h"
#include "base/Text_win.h"
#include "entries/Options.h"
#include "host/PluginState_win.h"
#include "resources/resource.h"

namespace {
constexpr wchar_t kNoFileEnglish[] = L"(none in the current skin)";
constexpr wchar_t kNoFileJapanese[] =
    L"\xFF08\x73FE\x5728\x306E\x30B9\x30AD\x30F3\x306B\x306F\x3042\x308A\x307E\x305B\x3093\xFF09";
}  // namespace

void TFormConfigure::ShowInheritPage() {
    SetCheck(IDC_CHECK_INHERIT_SKIN, Option.InheritSkinColors);
    // The player may have changed skin since the last showing: ask it again.
    const std::string file = target_.HostSkinTextFile();
    const std::wstring text = !file.empty() ? AnsiToWide(file) : Plugin.JapaneseCaptions ? kNoFileJapanese : kNoFileEnglish;
    SetDlgItemTextW(Handle(), IDC_LABEL_INHERIT_FILE, text.c_str());
}

void TFormConfigure::ApplyInheritPage() {
    const bool on = Checked(IDC_CHECK_INHERIT_SKIN);
    if (Option.InheritSkinColors == on) return;
    Option.InheritSkinColors = on;
    target_.ApplySkinInheritance();
}
