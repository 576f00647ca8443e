#pragma once
// TFormConfigure: the modeless preferences dialog. It edits working copies of
// the list font, the three colours, the title format, the watermark pictures,
// the options and the audio extensions; nothing reaches the playlist before
// "Update" (or "OK" while "Update" is enabled). Closing only hides it; every
// showing reloads the controls from the playlist's current state.
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include "base/DialogKeys_win.h"
#include "base/Dialog_win.h"
#include "base/Handles_win.h"
#include "base/Notices_win.h"
#include "preferences/PreferencesTarget_win.h"

class TFormConfigure : public TDialog, public TNoticeListener {
public:
    // The tabs, in their order.
    enum TPage { TabSheetFont, TabSheetFormat, TabSheetWatermark, TabSheetInherit, TabSheetSettings,
                 TabSheetExtension, TabSheetAbout, kPageCount };

    // What the dialog changes; it outlives the dialog.
    explicit TFormConfigure(IPreferencesTarget& target) : target_(target) {}
    ~TFormConfigure() override;
    // Creates the dialog hidden; from then on it follows the playlist window's notices.
    bool Create();
    // Shows the dialog non-modally; if it is shown already, only brings it forward.
    void ShowAndBringForward();
    // Stay-on-top style, following the playlist window's "Always on top".
    void SetStayOnTop(bool on);

    // ---- for the settings store and the skin configuration
    bool AboutWinampChecked() const;
    void SetAboutWinampChecked(bool on);
    // The preview's background colour (0x00BBGGRR).
    void SetPreviewBackground(std::uint32_t color);
    // The preview's font; the rows take the font's height.
    void SetPreviewFont(const LOGFONTW& font);

    // ---- for the captions
    // The font name of the dialog and of every control that uses its font.
    void SetFormFontName(const std::wstring& name);
    std::wstring FormFontName() const;
    void SetControlCaption(int id, const std::wstring& text);
    void SetPageCaption(TPage page, const std::wstring& text);
    std::wstring PageCaption(TPage page) const;
    int ActivePage() const;

    // ---- working state (0x00BBGGRR colours)
    std::uint32_t PendingSelectColor = 0;
    std::uint32_t PendingNormalColor = 0;
    std::uint32_t PendingPlayColor = 0;
    bool ShownAboutState = false;
    int LastGridMouseX = 0;
    int LastGridMouseY = 0;

    // The address the home-page button opens.
    static constexpr const wchar_t* kHomePage = L"http://www.kdzr.example/velvetlister/";

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    IPreferencesTarget& target_;
    // The playlist window's and the skin's notices.
    void Notice(const TNotice& notice) override;
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    bool Checked(int id) const;
    void SetCheck(int id, bool on);
    std::wstring ItemText(int id) const;
    void EnableUpdate(bool on = true);

    void FormCreate();
    void FormShow();
    void FormClose();
    void ShowPage(int page);
    // The "Inherit" page's check box and the player's skin file it names.
    void ShowInheritPage();
    void ApplyInheritPage();
    void OnCommand(int id, int code, HWND control);
    INT_PTR OnNotify(const NMHDR* hdr);

    // The grids.
    void InitGrids();
    void SetPreviewRowHeight(int height);
    int SampleHeight(HFONT font) const;
    void FitTokenColumns();
    void StringGridPrevirePlayListDrawCell(const DRAWITEMSTRUCT& dis);
    void StringGridFormatCharDrawCell(const DRAWITEMSTRUCT& dis);
    void StringGridFormatCharMouseUp(int x, int y);
    void StringGridFormatCharDblClick();
    static LRESULT CALLBACK GridSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                             DWORD_PTR self);
    LRESULT FormatGridMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // The handlers.
    void CheckBoxShowSongTimeClick();
    void EditWatermarkConfigChange();
    void ButtonPlaylistFontSelectClick();
    void ButtonSelectColorSelectClick(int sender);
    void GroupBoxWatermarkConfigExit();
    void GroupBoxWatermarkFGExit(int editId);
    void CheckGroupExit();
    void SpeedButtonWatermarkConfigClick();
    void SpeedButtonWatermarkFGClick(int sender);
    void BitBtnExtAddClick();
    void BitBtnExtDelClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void ButtonUpdateClick();
    void SpeedButtonHomePageClick();

    TFont formFont_;
    std::wstring formFontName_;
    TFont previewFont_;
    LOGFONTW previewLogFont_{};
    int previewPoints_ = 0;
    std::uint32_t previewBackground_ = 0;
    TBrush previewBrush_;
    int formatColumn0_ = 128;
    int formatColumn1_ = 128;
    int dragColumn_ = -1;       // the column border being dragged in the token grid
    int pendingExitGroup_ = 0;  // the group's edit whose focus left, checked once the focus has settled
    int ignoreExitOf_ = 0;      // a group whose next focus loss comes from our own refocusing
    std::wstring configDialogFileName_;
    // Tab, Enter, Esc and access keys while the dialog is shown.
    std::unique_ptr<TDialogKeys> keys_;
    // The colour chooser's custom colours, kept between its openings.
    COLORREF customColors_[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
};
