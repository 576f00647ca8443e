#pragma once
// The list control tests' fixture: the playlist list control under Wine, inside a
// plain parent window that passes the list's notifications back to it the way
// the playlist window does.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Handles_win.h"
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "controls/CustomPlayListBox_win.h"

inline constexpr int kListId = 100;

class TTestParent : public TWindow {
public:
    TPlayListBox* List = nullptr;
    HBRUSH ListBrush = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    int FocusRequestsOfEmptyList = 0;
    int DeleteItemMessages = 0;

    bool Create() {
        return CreateNative(L"VLListBoxTestParent", 0, L"list test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 300,
                            260, nullptr, nullptr, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE));
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_DRAWITEM: {
                auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
                if (static_cast<int>(dis->itemID) < 0) ++FocusRequestsOfEmptyList;
                return SendMessageW(dis->hwndItem, TCustomPlayListBox::kReflectBase + msg, wp, lp);
            }
            case WM_MEASUREITEM: {
                auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
                HWND item = GetDlgItem(Handle(), static_cast<int>(mis->CtlID));
                if (!item && List) item = List->Handle();  // still inside its creation
                return item ? SendMessageW(item, TCustomPlayListBox::kReflectBase + msg, wp, lp) : 0;
            }
            case WM_COMMAND:
                if (lp) return SendMessageW(reinterpret_cast<HWND>(lp), TCustomPlayListBox::kReflectBase + msg, wp, lp);
                break;
            case WM_CTLCOLORLISTBOX:
                if (List && reinterpret_cast<HWND>(lp) == List->Handle()) return reinterpret_cast<LRESULT>(ListBrush);
                break;
            case WM_DELETEITEM:
                ++DeleteItemMessages;
                return TRUE;
            default:
                break;
        }
        return DefaultHandling(msg, wp, lp);
    }
};

inline std::vector<TRow> MakeRows(int n, const std::string& prefix = "row ") {
    std::vector<TRow> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) rows.push_back({prefix + std::to_string(i), static_cast<std::uintptr_t>(1000 + i)});
    return rows;
}

inline void SetKeys(std::initializer_list<int> down) {
    BYTE state[256] = {};
    for (int vk : down) state[vk] = 0x80;
    SetKeyboardState(state);
}

class ListBoxTest : public ::testing::Test {
protected:
    TTestParent parent;
    std::unique_ptr<TPlayListBox> list;
    int erases = 0;
    int wholeErases = 0;  // erases whose clipping covers the whole client area
    RECT lastEraseRect{};
    std::vector<int> drawn;
    std::vector<unsigned> drawnStates;

    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        list = std::make_unique<TPlayListBox>(parent.Handle(), kListId);
        parent.List = list.get();
        // The playlist window's configuration.
        list->SetBorderStyle(TBorderStyle::bsNone);
        list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
        list->SetMultiSelect(true);
        list->SetIntegralHeight(false);
        list->SetBackgroundBrush(parent.ListBrush);
        list->OnDrawItem = [this](TCustomPlayListBox& c, int index, const RECT&, unsigned state) {
            (void)c.Text(index);  // the owner reads the row from the store
            drawn.push_back(index);
            drawnStates.push_back(state);
        };
        list->OnEraseBkgnd = [this](TCustomPlayListBox& c, const RECT& r) {
            EXPECT_TRUE(c.Canvas().Bound());
            ++erases;
            lastEraseRect = r;
            RECT clip{}, client{};
            GetClipBox(c.Canvas().Handle(), &clip);
            GetClientRect(c.Handle(), &client);
            if (EqualRect(&clip, &client)) ++wholeErases;
        };
        list->HandleNeeded();
        ASSERT_TRUE(list->HandleAllocated());
        SetKeys({});
        Flush();
    }

    void TearDown() override {
        SetKeys({});
        list.reset();
    }

    void Flush() {
        if (list->Handle()) UpdateWindow(list->Handle());
        ProcessPendingMessages();
    }
    void ResetCounts() {
        Flush();
        erases = 0;
        wholeErases = 0;
        drawn.clear();
        drawnStates.clear();
    }
    void Key(WPARAM vk) {
        SendMessageW(list->Handle(), WM_KEYDOWN, vk, 1);
        SendMessageW(list->Handle(), WM_KEYUP, vk, 0xC0000001);
    }
    int VisibleRows() const {
        RECT r{};
        GetClientRect(list->Handle(), &r);
        return (r.bottom - r.top) / list->ItemHeight();
    }
    std::string ErrorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const EPluginError& e) {
            return e.what();
        }
        return "(no error)";
    }
};

inline const std::string kIndexError = "リストのインデックスが範囲を超えています ";
