#pragma once
// TFormConfigure: the modeless preferences dialog. Closing only hides it.
#include <windows.h>
#include "base/Dialog_win.h"

class TFormConfigure : public TDialog {
public:
    TFormConfigure() = default;
    bool Create();
    // Shows the dialog non-modally; if it is shown already, only brings it forward.
    void ShowAndBringForward();
    // Stay-on-top style, following the playlist window's "Always on top".
    void SetStayOnTop(bool on);
    // The "Launch the About Winamp Dialog" check box.
    bool AboutWinampChecked() const { return aboutWinamp_; }
    void SetAboutWinampChecked(bool on) { aboutWinamp_ = on; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool aboutWinamp_ = true;
};
