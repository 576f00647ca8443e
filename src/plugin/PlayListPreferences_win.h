#pragma once
// The preferences' view of the playlist window: whatever the module's
// playlist window is at the time of the call (none after teardown).
#include "preferences/PreferencesTarget_win.h"

class TPlayListPreferences final : public IPreferencesTarget {
public:
    TWatermarkSkin* StyleObject() override;
    TExtensionSet AudioExtensions() const override;
    void SetAudioExtensions(const TExtensionSet& chosen) override;
    void RereadTags() override;
    void ReadSongLengthChanged() override;
    void RetitleAll() override;
    void TakeListFont(TFont font) override;
    void RepaintListNow() override;
    std::string HostSkinTextFile() override;
    void ApplySkinInheritance() override;
};
