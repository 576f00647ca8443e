#pragma once
// Base of the plug-in's dialogs: the thunk keeps the object in DWLP_USER from
// WM_INITDIALOG on, and no exception leaves the dialog procedure.
#include <windows.h>

class TDialog {
public:
    TDialog() = default;
    virtual ~TDialog();
    TDialog(const TDialog&) = delete;
    TDialog& operator=(const TDialog&) = delete;

    HWND Handle() const { return hwnd_; }
    bool CreateModeless(int templateId, HWND owner);
    // Runs the dialog modally; EndDialog's result, or -1 when it could not be shown.
    INT_PTR RunModal(int templateId, HWND owner);
    void DestroyNative();
    // Destroys the dialog and deletes the object once control returns to the message loop.
    void Release();

protected:
    // Return TRUE when handled; set results with SetDlgMsgResult where needed.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Deletes the object now, or once the outermost handler of the plug-in has
    // returned (a colour or font dialog's loop may dispatch the release).
    void DeleteWhenIdle();
    HWND hwnd_ = nullptr;
    bool deleteWhenIdle_ = false;
};
