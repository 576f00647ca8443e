#pragma once
// Notices that the playlist window and the skin application raise for the
// windows that follow them (today the preferences dialog). The raiser does not
// know who listens, so the playlist and the skin code need nothing of the
// preferences; a listener subscribes while it exists. Raised and heard on the
// GUI thread only.
#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <vector>

struct TNotice {
    enum TKind {
        StayOnTopChanged,       // On: the playlist window's "Always on top"
        ShowPreferences,        // the control panel was asked for
        ListBackgroundChanged,  // Color: the list's background (0x00BBGGRR)
        ListFontChanged,        // Font: the list's new font
    };
    TKind Kind;
    bool On = false;
    std::uint32_t Color = 0;
    const LOGFONTW* Font = nullptr;
};

class TNoticeListener {
public:
    virtual void Notice(const TNotice& notice) = 0;

protected:
    ~TNoticeListener() = default;
};

class TNotices {
public:
    void Subscribe(TNoticeListener* listener) {
        if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
            listeners_.push_back(listener);
    }
    void Unsubscribe(TNoticeListener* listener) {
        listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
    }
    // A listener may unsubscribe while it hears a notice: walk a copy.
    void Raise(const TNotice& notice) const {
        const std::vector<TNoticeListener*> now = listeners_;
        for (TNoticeListener* l : now)
            if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) l->Notice(notice);
    }

private:
    std::vector<TNoticeListener*> listeners_;
};
