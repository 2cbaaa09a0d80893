#include "HostBars.h"

#include <commctrl.h>

#include <iterator>

#include "Buttons.h"
#include "Graphics.h"
#include "Guards.h"
#include "ImgList.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "ToolBars.h"
#include "acSBUtilsBars.h"
#include "acSBUtilsCtrls.h"
#include "acSBUtilsMenus.h"
#include "acSBUtilsTabs.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace {

// Three small pictures on the key colour: a page, an arrow and a star.
HIMAGELIST Pictures() {
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
    WindowDC screen(nullptr);
    const std::vector<std::vector<POINT>> shapes = {
        {{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}},
        {{1, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {1, 10}},
        {{8, 1}, {10, 6}, {15, 6}, {11, 9}, {13, 14}, {8, 11}, {3, 14}, {5, 9}, {1, 6}, {6, 6}}};
    const COLORREF fills[] = {RGB(70, 110, 200), RGB(40, 150, 60), RGB(230, 150, 30)};
    for (size_t i = 0; i < shapes.size(); ++i) {
        BitmapHandle bmp(CreateCompatibleBitmap(screen.Get(), 16, 16));
        {
            MemoryDC dc(screen.Get());
            SelectGuard sel(dc.Get(), bmp.Get());
            FillRectOnDC(dc.Get(), Rect(0, 0, 16, 16), clFuchsia);
            BrushHandle brush(CreateSolidBrush(fills[i]));
            PenHandle pen(CreatePen(PS_SOLID, 1, RGB(40, 40, 40)));
            SelectGuard b(dc.Get(), brush.Get()), p(dc.Get(), pen.Get());
            Polygon(dc.Get(), shapes[i].data(), int(shapes[i].size()));
        }
        ImageList_AddMasked(il, bmp.Get(), RGB(255, 0, 255));
    }
    return il;
}

TBBUTTON Button(int Image, const wchar_t* Text, int Command, BYTE State = TBSTATE_ENABLED, BYTE Style = BTNS_BUTTON) {
    TBBUTTON b{};
    b.iBitmap = Image;
    b.idCommand = Command;
    b.fsState = State;
    b.fsStyle = Style;
    b.iString = reinterpret_cast<INT_PTR>(Text);
    return b;
}

template <class C>
C* Make(TWinControl* Parent, int X, int Y, int W, int H) {
    auto* c = new C(Parent);
    c->SetAlign(alNone);
    c->SetParent(Parent);
    c->SetBounds(X, Y, W, H);
    return c;
}

}  // namespace

TBarsPage::TBarsPage(TWinControl* Page, TsSkinManager* Manager) : TWrappedPage(Manager), FPage(Page) {
    FFace = Page;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    AddToolBars();
    AddTabs();
    AddSpinsAndCombo();
    AddStatusBars();
}

TBarsPage::~TBarsPage() {
    FreeWrappers();
    if (FMenuOwner) DestroyWindow(FMenuOwner);
    if (FMenu) DestroyMenu(FMenu);
    for (HIMAGELIST il : FLists) ImageList_Destroy(il);
}


void TBarsPage::AddToolBars() {
    // A system tool bar, as a file dialog's places bar is one.
    HWND tb = System(TOOLBARCLASSNAMEW, L"", TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 12, 10,
                     460, 44);
    SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    FLists.push_back(Pictures());
    SendMessageW(tb, TB_SETIMAGELIST, 0, LPARAM(FLists.back()));
    const TBBUTTON buttons[] = {Button(0, L"Open", 1), Button(1, L"Forward", 2),
                                Button(2, L"Marked", 3, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK),
                                Button(0, L"", 0, 0, BTNS_SEP), Button(1, L"Disabled", 4, 0),
                                Button(I_IMAGENONE, L"Two words", 5)};
    SendMessageW(tb, TB_ADDBUTTONSW, std::size(buttons), LPARAM(buttons));
    Wrap<TacToolBarWnd>(tb, "TOOLBAR");

    // The class library's tool bar, painted through its custom-draw events.
    auto* images = new TImageList(FPage);
    images->SetHandle(Pictures());
    auto* bar = Make<TToolBar>(FPage, 12, 60, 460, 40);
    bar->SetFlat(true);
    bar->SetButtonWidth(44);
    bar->SetButtonHeight(34);
    bar->SetImages(images);
    FMenu = CreatePopupMenu();
    AppendMenuW(FMenu, MF_STRING, 101, L"First item");
    AppendMenuW(FMenu, MF_STRING, 102, L"Second item");
    AppendMenuW(FMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(FMenu, MF_STRING, 103, L"Third item");
    struct Spec {
        TToolButtonStyle Style;
        int Image;
        bool Enabled, Down;
    } specs[] = {{tbsButton, 0, true, false}, {tbsButton, 1, true, false}, {tbsSeparator, -1, true, false},
                 {tbsCheck, 2, true, true},   {tbsButton, 1, false, false}, {tbsDropDown, 0, true, false}};
    for (const Spec& s : specs) {
        auto* b = new TToolButton(FPage);
        b->SetStyle(s.Style);
        b->SetImageIndex(s.Image);
        b->SetEnabled(s.Enabled);
        b->SetParent(bar);
        b->SetDown(s.Down);
        if (s.Style == tbsDropDown) b->SetDropdownMenu(FMenu);
    }
    Wrap<TacToolBarLibWnd>(bar->Handle(), "TOOLBAR", bar);
}

void TBarsPage::AddTabs() {
    struct Tab {
        DWORD Style;
        int X;
    } tabs[] = {{0, 12}, {TCS_BOTTOM, 200}, {TCS_VERTICAL | TCS_MULTILINE, 388},
                {TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, 576}};
    for (const Tab& t : tabs) {
        HWND h = System(WC_TABCONTROLW, L"", t.Style | WS_CLIPSIBLINGS, t.X, 112, 180, 124);
        const wchar_t* names[] = {L"One", L"Two", L"Three"};
        for (int i = 0; i < 3; ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(names[i]);
            SendMessageW(h, TCM_INSERTITEMW, i, LPARAM(&item));
        }
        SendMessageW(h, TCM_SETCURSEL, 1, 0);
        Wrap<TacTabControlWnd>(h, "PAGECONTROL");
    }
}

void TBarsPage::AddSpinsAndCombo() {
    // Up-downs with their buddies: a dialog's, a horizontal one, the class library's.
    HWND edit = System(L"EDIT", L"5", ES_NUMBER, 12, 250, 60, 22, WS_EX_CLIENTEDGE);
    HWND spin = System(UPDOWN_CLASSW, nullptr, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0);
    SendMessageW(spin, UDM_SETBUDDY, WPARAM(edit), 0);
    SendMessageW(spin, UDM_SETRANGE32, 0, 100);
    SendMessageW(spin, UDM_SETPOS32, 0, 5);
    Wrap<TacSpinWnd>(spin, "SPEEDBUTTON_SMALL");
    HWND across = System(UPDOWN_CLASSW, nullptr, UDS_HORZ, 84, 250, 40, 22);
    Wrap<TacSpinWnd>(across, "SPEEDBUTTON_SMALL");
    auto* number = Make<TEdit>(FPage, 136, 250, 50, 22);
    auto* ud = Make<TUpDown>(FPage, 186, 250, 18, 22);
    ud->SetMax(10);
    ud->SetPosition(3);
    ud->SetAssociate(number);
    Wrap<TacSpinWnd>(ud->Handle(), "SPEEDBUTTON_SMALL", ud);

    // A combo box of another class: the system's under a name of its own.
    WNDCLASSW wc{};
    GetClassInfoW(nullptr, L"COMBOBOX", &wc);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkinHostCombo";
    RegisterClassW(&wc);
    HWND combo = System(L"SkinHostCombo", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 220, 250, 160, 200);
    for (const wchar_t* t : {L"Another class", L"Second choice", L"Third choice"})
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(t));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    Wrap<TacExtComboBoxWnd>(combo, "COMBOBOX");

    // A button that opens a pop-up menu; the menu's window is wrapped while it shows.
    auto* open = Make<TButton>(FPage, 400, 248, 120, 26);
    open->SetCaption("Pop-up menu");
    open->OnClick = TNotifyEvent::Of<&TBarsPage::ShowMenu>(this);
    Wrap<TacBtnWnd>(open->Handle(), "BUTTON", open);
    WNDCLASSW owner{};
    owner.lpfnWndProc = MenuOwnerProc;
    owner.hInstance = GetModuleHandleW(nullptr);
    owner.lpszClassName = L"SkinHostMenuOwner";
    RegisterClassW(&owner);
    FMenuOwner = CreateWindowExW(0, owner.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), this);
    SetWindowLongPtrW(FMenuOwner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TBarsPage::AddStatusBars() {
    HWND sb = System(STATUSCLASSNAMEW, L"", CCS_NOPARENTALIGN | CCS_NORESIZE, 12, 420, 500, 24);
    const int edges[] = {150, 320, -1};
    SendMessageW(sb, SB_SETPARTS, 3, LPARAM(edges));
    const wchar_t* texts[] = {L"A system status bar", L"\tCentred", L"\t\tOn the right"};
    for (int i = 0; i < 3; ++i) SendMessageW(sb, SB_SETTEXTW, i, LPARAM(texts[i]));
    Wrap<TacStatusBarWnd>(sb, "STATUSBAR");
    auto* bar = Make<TStatusBar>(FPage, 12, 452, 500, 24);
    bar->SetSizeGrip(false);
    bar->SetSimplePanel(true);
    bar->SetSimpleText("The class library's status bar, one simple text over its whole width");
    Wrap<TacStatusBarWnd>(bar->Handle(), "STATUSBAR", bar);
    // The size box of a dialog at the page's bottom right.
    RECT r{};
    GetClientRect(FPage->Handle(), &r);
    HWND grip = System(L"SCROLLBAR", nullptr, SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, r.right - 40, r.bottom - 40,
                       40, 40);
    Wrap<TacSizerWnd>(grip, "");
}

void TBarsPage::ShowMenu(TObject*) {
    POINT p{400, 276};
    ClientToScreen(FPage->Handle(), &p);
    SetForegroundWindow(FMenuOwner);
    TrackPopupMenu(FMenu, TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0, FMenuOwner, nullptr);
}

LRESULT CALLBACK TBarsPage::MenuOwnerProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* self = reinterpret_cast<TBarsPage*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (Msg == WM_ENTERIDLE && WParam == MSGF_MENU && self) {
        const auto menu = reinterpret_cast<HWND>(LParam);
        if (!GetWrapper(menu)) {
            // The menu skinning raises the flag as it shows a skinned menu;
            // the wrapper goes with the menu's window.
            SkinnedMenuShowing = true;
            if (CreateWrapper<TacMnuWnd>(menu, true, "MAINMENU", self->FManager, nullptr))
                RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        }
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}
