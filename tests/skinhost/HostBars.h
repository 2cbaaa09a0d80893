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
#include "HostPage.h"

class TsSkinManager;
class TacMainWnd;
class TsCommonData;
class TButton;

class TBarsPage : TWrappedPage {
public:
    // Fills Page (a page of the host's page control) and wraps what it made.
    TBarsPage(TWinControl* Page, TsSkinManager* Manager);
    // The wrappers go before the controls.
    ~TBarsPage();

private:
    void AddToolBars();
    void AddTabs();
    void AddSpinsAndCombo();
    void AddStatusBars();
    // Opens the pop-up menu; its window is wrapped while it shows.
    void ShowMenu(TObject* Sender);
    static LRESULT CALLBACK MenuOwnerProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    TWinControl* FPage;
    HWND FMenuOwner = nullptr;
    HMENU FMenu = nullptr;
    std::vector<HIMAGELIST> FLists;
};
