// The skin host's page of bars and tabs: tool bars, a size grip, status
// bars, tab controls in the four tab positions, up-downs with their buddies,
// a combo box of another class and a pop-up menu window, as system windows
// and as class-library controls, each wrapped by hand by the wrapper of its
// kind (no form skinning does it yet).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "Controls.h"

class TsSkinManager;
class TacMainWnd;
class TsCommonData;
class TButton;

class TBarsPage {
public:
    // Fills Page (a page of the host's page control) and wraps what it made.
    TBarsPage(TWinControl* Page, TsSkinManager* Manager);
    // The wrappers go before the controls.
    ~TBarsPage();

private:
    HWND System(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H, DWORD Ex = 0);
    template <class T>
    void Wrap(HWND Wnd, const char* Section, TControl* Linked = nullptr);
    void AddToolBars();
    void AddTabs();
    void AddSpinsAndCombo();
    void AddStatusBars();
    // Opens the pop-up menu; its window is wrapped while it shows.
    void ShowMenu(TObject* Sender);
    static LRESULT CALLBACK MenuOwnerProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    TWinControl* FPage;
    TsSkinManager* FManager;
    HWND FMenuOwner = nullptr;
    HMENU FMenu = nullptr;
    std::vector<HIMAGELIST> FLists;
    std::vector<std::unique_ptr<TsCommonData>> FData;
    std::vector<TacMainWnd*> FWrappers;
};
