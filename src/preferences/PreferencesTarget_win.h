#pragma once
// What the preferences change in the playlist window. The start of the plug-in
// hands the dialog one, so that the dialog knows nothing of the window itself.
#include "base/Handles_win.h"

#include <string>

class TWatermarkSkin;
class TExtensionSet;

class IPreferencesTarget {
public:
    // The style object the dialog edits; null once the window is gone.
    virtual TWatermarkSkin* StyleObject() = 0;
    // The audio extensions the list accepts; empty once the window is gone.
    virtual TExtensionSet AudioExtensions() const = 0;
    virtual void SetAudioExtensions(const TExtensionSet& chosen) = 0;
    // The tag preference changed: every entry's file is read again.
    virtual void RereadTags() = 0;
    // Lengths from the files were switched on (every file is read again) or off (theirs go).
    virtual void ReadSongLengthChanged() = 0;
    // A new title format: every title built again; repaints the list and
    // clears the style object's Changed flag.
    virtual void RetitleAll() = 0;
    // The list takes the font; the old one goes once the list has let it go.
    virtual void TakeListFont(TFont font) = 0;
    // The whole list painted again at once; clears the Changed flag.
    virtual void RepaintListNow() = 0;
    // The player's current skin folder's pledit.txt, "" when it holds none.
    virtual std::string HostSkinTextFile() = 0;
    // The "Inherit" option changed: the list takes or drops the player's skin's look.
    virtual void ApplySkinInheritance() = 0;

protected:
    ~IPreferencesTarget() = default;
};
