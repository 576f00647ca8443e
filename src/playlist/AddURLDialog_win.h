#pragma once
// "Add URL": a small modal dialog asking for one address (at most 1,023
// characters), with OK and Cancel.
#include <string>
#include "base/Dialog_win.h"

class TAddURLDialog : public TDialog {
public:
    // True after OK, with the text as typed (not trimmed).
    bool Execute(HWND owner, bool japanese, std::wstring& text);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool japanese_ = false;
    std::wstring text_;
};
