// The edit-like, combo box, MDI client, list view, grid and tree wrappers
// under Wine, on real system windows and class-library controls: borders and
// headers painted from a skin of plain colours (so every pixel has one right
// value), the emulated bars and the drop-down driven by the real mouse,
// colours given back when the skin goes, and GDI and USER counts after many
// paints. Grids and the virtual tree of other component sets are stood in
// for by small classes of the tests that publish the names the wrappers read.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EditWndDriver.h"
#include "EditWndTestClasses.h"
#include "Forms.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "TestSkins.h"
#include "TestSupport.h"
#include "UnitInit.h"
#include "acPNG.h"
#include "acSBUtilsWnds.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace {

// ---------------------------------------------------------------- the skin

// Colours in the TColor layout; every section solid, without images.
constexpr TColor kEdit = 0x30C030, kEditHot = 0x40B040, kEditFont = 0x102030, kEditHotFont = 0x802020;
constexpr TColor kCombo = 0x30A0C0, kComboBtn = 0x3030C0, kComboBtnHot = 0x6060C0;
constexpr TColor kHeader = 0xA05000, kHeaderPressed = 0x0050A0;
constexpr TColor kMDIArea = 0x806040, kForm = 0x808040, kGlobal = 0x707070, kGlobalFont = 0x0A0A0A;

TsSkinTables PlainSkin() {
    TsSkinTables t;
    auto sec = [&](const char* name, TColor c, TColor hot = clNone, const char* parent = "") {
        TsGeneralData s;
        s.SectionName = name;
        s.ParentClass = parent;
        s.Color = c;
        s.HotColor = hot == clNone ? c : hot;
        s.FontColor[0] = kEditFont;
        s.HotFontColor[0] = kEditHotFont;
        t.Sections.push_back(s);
    };
    sec("GLOBALINFO", kGlobal);
    t.Sections.back().FontColor[0] = kGlobalFont;
    sec("FORM", kForm);
    sec("MDIAREA", kMDIArea);
    sec("EDIT", kEdit, kEditHot);
    sec("COMBOBOX", kCombo, kCombo, "EDIT");
    sec("COMBOBTN", kComboBtn, kComboBtnHot);
    sec("COLHEADER", kHeader, kHeaderPressed);
    sec("BUTTON", 0x909090);
    for (const char* s : {"SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V"}) sec(s, 0x5080A0);
    for (const char* s : {"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM"}) sec(s, 0x205070);
    for (const char* s : {"SCROLLSLIDERH", "SCROLLSLIDERV"}) sec(s, 0x2020A0);
    return t;
}

// ---------------------------------------------------------------- windows

// The host's background: white, or cyan under its children too (no
// clipping), so that whatever a child leaves unpainted shows as cyan.
constexpr COLORREF kUnpainted = RGB(0, 255, 255);
LRESULT CALLBACK HostProc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) {
    if (M == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(W, &r);
        const bool clip = (GetWindowLongPtrW(W, GWL_STYLE) & WS_CLIPCHILDREN) != 0;
        HBRUSH b = CreateSolidBrush(clip ? RGB(255, 255, 255) : kUnpainted);
        FillRect(HDC(Wp), &r, b);
        DeleteObject(b);
        return 1;
    }
    return DefWindowProcW(W, M, Wp, Lp);
}

LRESULT CALLBACK MDIChildProc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return DefMDIChildProcW(W, M, Wp, Lp); }

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    testwin::RegisterWindowClass(L"EditWndHost", HostProc);
    testwin::RegisterWindowClass(L"EditWndMDIChild", MDIChildProc, HBRUSH(GetStockObject(WHITE_BRUSH)));
}

HWND MakeHost(bool ClipChildren = true) {
    RegisterClasses();
    HWND h = CreateWindowExW(0, L"EditWndHost", L"Wrapped windows",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE | (ClipChildren ? WS_CLIPCHILDREN : 0),
                             40, 40, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(h);
    return h;
}

std::wstring Lines(int N, const wchar_t* Word = L"line") {
    std::wstring s;
    for (int i = 0; i < N; ++i) s += std::wstring(Word) + L" " + std::to_wstring(i) + L" of the quite long text\r\n";
    return s;
}

// One kind of window: what it is made of and how it is filled.
struct Kind {
    const char* Name;
    const wchar_t* Class;
    DWORD Style, ExStyle;
    // The wrapper the creators choose for it.
    TacMainWnd* (*Wrap)(HWND, TsSkinManager*);
    void (*Fill)(HWND);
};

template <class W>
TacMainWnd* WrapAs(HWND H, TsSkinManager* M) {
    return CreateWrapper<W>(H, true, "EDIT", M, nullptr);
}
// A class-library control's wrapper; the control's own skin state D is
// given the section and the manager first.
template <class W>
TacMainWnd* WrapLib(HWND H, const char* Section, TsSkinManager* M, TsCommonData* D) {
    D->SetSkinSection(Section);
    D->WriteSkinManager(M);
    return CreateWrapper<W>(H, true, Section, M, D);
}
TacMainWnd* WrapCombo(HWND H, TsSkinManager* M) { return CreateWrapper<TacComboBoxWnd>(H, true, "COMBOBOX", M, nullptr); }
TacMainWnd* WrapMDI(HWND H, TsSkinManager* M) { return CreateWrapper<TacMDIWnd>(H, true, "EDIT", M, nullptr); }

void NoFill(HWND) {}
void FillEdit(HWND H) { SetWindowTextW(H, Lines(60).c_str()); }
void FillList(HWND H) {
    for (int i = 0; i < 60; ++i) SendMessageW(H, LB_ADDSTRING, 0, LPARAM((L"item " + std::to_wstring(i)).c_str()));
}
void FillCombo(HWND H) {
    for (int i = 0; i < 30; ++i) SendMessageW(H, CB_ADDSTRING, 0, LPARAM((L"choice " + std::to_wstring(i)).c_str()));
    SendMessageW(H, CB_SETCURSEL, 0, 0);
}
void FillTree(HWND H) {
    for (int i = 0; i < 40; ++i) {
        std::wstring t = L"node " + std::to_wstring(i);
        TVINSERTSTRUCTW ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = t.data();
        HTREEITEM p = HTREEITEM(SendMessageW(H, TVM_INSERTITEMW, 0, LPARAM(&ins)));
        ins.hParent = p;
        ins.item.pszText = const_cast<wchar_t*>(L"leaf");
        SendMessageW(H, TVM_INSERTITEMW, 0, LPARAM(&ins));
    }
}

const DWORD kScroll = WS_VSCROLL | WS_HSCROLL;
const Kind kKinds[] = {
    {"single-line edit", L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, WrapAs<TacEditWnd>, FillEdit},
    {"multi-line edit", L"EDIT", ES_MULTILINE | kScroll, WS_EX_CLIENTEDGE, WrapAs<TacEditWnd>, FillEdit},
    {"list box", L"LISTBOX", WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, WrapAs<TacEditWnd>,
     FillList},
    {"simple combo box", L"COMBOBOX", CBS_SIMPLE | WS_VSCROLL, 0, WrapCombo, FillCombo},
    {"drop-down combo box", L"COMBOBOX", CBS_DROPDOWN | WS_VSCROLL, 0, WrapCombo, FillCombo},
    {"drop-down list", L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0, WrapCombo, FillCombo},
    {"report list view", WC_LISTVIEWW, LVS_REPORT, WS_EX_CLIENTEDGE, WrapAs<TacListViewWnd>, FillListView},
    {"tree view", WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS, WS_EX_CLIENTEDGE, WrapAs<TacTreeViewWnd>, FillTree},
    {"MDI client", L"MDICLIENT", kScroll, WS_EX_CLIENTEDGE, WrapMDI, NoFill},
};

HWND MakeKind(HWND Host, const Kind& K, int X = 20, int Y = 20, int W = 360, int H = 240, bool Filled = true) {
    CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
    const bool combo = wcscmp(K.Class, L"COMBOBOX") == 0;
    HWND h = CreateWindowExW(K.ExStyle, K.Class, L"", WS_CHILD | WS_VISIBLE | K.Style, X, Y, W,
                             combo && !(K.Style & CBS_SIMPLE) ? 300 : H, Host, HMENU(101), GetModuleHandleW(nullptr),
                             wcscmp(K.Class, L"MDICLIENT") == 0 ? &ccs : nullptr);
    if (Filled || combo) K.Fill(h);
    if (wcscmp(K.Class, L"MDICLIENT") == 0)
        for (int i = 0; i < 2; ++i) {
            MDICREATESTRUCTW mc{L"EditWndMDIChild", L"child", GetModuleHandleW(nullptr), 20 * i, 20 * i, 200, 120,
                                WS_OVERLAPPEDWINDOW, 0};
            SendMessageW(h, WM_MDICREATE, 0, LPARAM(&mc));
        }
    return h;
}

WNDPROC ProcOf(HWND H) { return WNDPROC(GetWindowLongPtrW(H, GWLP_WNDPROC)); }

// ---------------------------------------------------------------- the real mouse

void MouseAt(int X, int Y, DWORD Flags) {
    SetCursorPos(X, Y);
    if (Flags) testwin::SendInputs({testwin::MouseButton(Flags)});
}
void HandleWaiting() { Application->ProcessMessages(); }
void ClickAt(int X, int Y) { testwin::LeftClickAt(HandleWaiting, POINT{X, Y}); }

// ---------------------------------------------------------------- fixtures

struct EngineUnits : ::testing::Environment {
    void SetUp() override {
        StartEditWndUnits();
        RegisterEditWndTestClasses();
    }
};
const auto* const kEngine = ::testing::AddGlobalTestEnvironment(new EngineUnits);

struct Wrapped : ::testing::Test {
    TsSkinManager* M = nullptr;
    HWND Host = nullptr;
    void SetUp() override {
        M = new TsSkinManager(nullptr);
        Reskin();
        Host = MakeHost();
        Pump(30);
    }
    void TearDown() override {
        DestroyWindow(Host);
        delete M;
        Pump(10);
    }
    // Window pixels as the screen shows them now, frame included.
    testwin::Pixels Shown(HWND H) {
        RedrawWindow(H, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(30);
        RECT r;
        GetWindowRect(H, &r);
        OffsetRect(&r, -r.left, -r.top);
        return testwin::CopyFromWindow(H, r, true);
    }
    static TColor At(const testwin::Pixels& P, int X, int Y) { return TColor(testwin::SwapRedBlue(P.At(X, Y))); }
    LRESULT Command(HWND H, uint16_t Cmd) {
        return SendMessageW(H, SM_ALPHACMD, WPARAM(SkinWParam(Cmd)), LPARAM(M));
    }
    // The skin (again, after a removal).
    void Reskin() {
        M->InstallSkin(PlainSkin(), TsSkinValues{}, nullptr);
        M->BroadcastNewSkin(false);
    }
    // The skin goes as the manager takes it away: forms and their controls
    // hear it from the manager; a foreign window under the plain host is
    // told first, as a skinned parent would pass it on.
    void RemoveSkin(HWND Foreign = nullptr, bool Settle = true) {
        if (Foreign) Command(Foreign, scRemoveSkin);
        M->SetActive(false);
        if (Settle) Pump(20);
    }
};

}  // namespace

// ---------------------------------------------------------------- every kind

TEST_F(Wrapped, EveryKindIsFramedFromItsSectionAndGetsItsOwnProcedureBack) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.Name);
        HWND h = MakeKind(Host, k);
        const WNDPROC plain = ProcOf(h);
        TacMainWnd* w = k.Wrap(h, M);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(GetPropW(h, acWrapperProp), HANDLE(w));
        EXPECT_EQ(k.Wrap(h, M), nullptr) << "a second wrapper on one window";
        const testwin::Pixels px = Shown(h);
        const int midY = px.Height / 2;
        if (wcscmp(k.Class, L"COMBOBOX") == 0) {
            // The 3-pixel band of the combo box's section, the button from its own.
            const int y = (k.Style & 3) == CBS_SIMPLE ? 2 : midY;
            EXPECT_EQ(At(px, 1, std::min(y, 10)), kCombo);
            auto* cw = static_cast<TacComboBoxWnd*>(w);
            const TRect b = cw->ButtonRect();
            if ((k.Style & 3) == CBS_SIMPLE) {
                EXPECT_EQ(b.Width(), 0) << "a simple combo box has no button";
            } else {
                ASSERT_GT(b.Width(), 4);
                EXPECT_EQ(At(px, b.Left + 2, b.Top + 2), cw->ButtonState() ? kComboBtnHot : kComboBtn);
            }
        } else if (wcscmp(k.Class, L"MDICLIENT") == 0) {
            EXPECT_EQ(At(px, px.Width - 1, px.Height - 1), kMDIArea);
        } else {
            EXPECT_EQ(At(px, 0, midY), kEdit) << "left band";
            EXPECT_EQ(At(px, px.Width / 2, 0), kEdit) << "top band";
        }
        if (wcscmp(k.Class, WC_LISTVIEWW) == 0) {
            EXPECT_EQ(COLORREF(SendMessageW(h, LVM_GETBKCOLOR, 0, 0)), COLORREF(kEdit));
        }
        if (wcscmp(k.Class, WC_TREEVIEWW) == 0) {
            EXPECT_EQ(COLORREF(SendMessageW(h, TVM_GETBKCOLOR, 0, 0)), COLORREF(kEditHot));
        }
        DetachWrapper(h, true, true, w);
        EXPECT_EQ(w, nullptr);
        EXPECT_EQ(ProcOf(h), plain);
        EXPECT_EQ(GetPropW(h, acWrapperProp), nullptr);
        DestroyWindow(h);
    }
}

namespace {
WNDPROC g_SpiedProc = nullptr;
LPARAM g_PrintClientFlags = -1;
LRESULT CALLBACK PrintClientSpy(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_PRINTCLIENT) g_PrintClientFlags = L;
    return CallWindowProcW(g_SpiedProc, H, Msg, W, L);
}
}  // namespace

TEST_F(Wrapped, APrintedEditAsksItsClientWithTheClientAndOwnedFlags) {
    HWND h = MakeKind(Host, kKinds[0]);
    g_SpiedProc = WNDPROC(SetWindowLongPtrW(h, GWLP_WNDPROC, LONG_PTR(&PrintClientSpy)));
    TacMainWnd* w = WrapAs<TacEditWnd>(h, M);
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(360, 240));
    SendMessageW(h, WM_PRINT, WPARAM(bmp->Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(g_PrintClientFlags, LPARAM(PRF_CLIENT | PRF_OWNED));  // 36
    DetachWrapper(h, true, false, w);
    DestroyWindow(h);
}

TEST_F(Wrapped, ForeignListsAndTreesGetTheirOwnColoursBackWhenTheSkinGoes) {
    const COLORREF bk = RGB(1, 2, 3), text = RGB(200, 100, 50);
    for (const Kind& k : kKinds) {
        const bool lv = wcscmp(k.Class, WC_LISTVIEWW) == 0, tv = wcscmp(k.Class, WC_TREEVIEWW) == 0;
        if (!lv && !tv) continue;
        SCOPED_TRACE(k.Name);
        Reskin();
        HWND h = MakeKind(Host, k);
        const UINT setBk = lv ? LVM_SETBKCOLOR : TVM_SETBKCOLOR, getBk = lv ? LVM_GETBKCOLOR : TVM_GETBKCOLOR;
        const UINT setText = lv ? LVM_SETTEXTCOLOR : TVM_SETTEXTCOLOR, getText = lv ? LVM_GETTEXTCOLOR : TVM_GETTEXTCOLOR;
        SendMessageW(h, setBk, 0, LPARAM(bk));
        SendMessageW(h, setText, 0, LPARAM(text));
        TacMainWnd* w = k.Wrap(h, M);
        ASSERT_NE(w, nullptr);
        Shown(h);
        EXPECT_NE(COLORREF(SendMessageW(h, getBk, 0, 0)), bk);
        RemoveSkin(h);
        EXPECT_EQ(COLORREF(SendMessageW(h, getBk, 0, 0)), bk);
        EXPECT_EQ(COLORREF(SendMessageW(h, getText, 0, 0)), text);
        DetachWrapper(h, true, false, w);
        DestroyWindow(h);
    }
}

// ---------------------------------------------------------------- combo boxes

TEST_F(Wrapped, DropDownComboBoxesOpenWithTheRealMouseAndTakeThePickedItem) {
    for (const Kind& k : kKinds) {
        if (wcscmp(k.Class, L"COMBOBOX") != 0 || (k.Style & 3) == CBS_SIMPLE) continue;
        SCOPED_TRACE(k.Name);
        HWND h = MakeKind(Host, k, 40, 40, 220);
        auto* w = static_cast<TacComboBoxWnd*>(k.Wrap(h, M));
        ASSERT_NE(w, nullptr);
        Shown(h);
        const TRect b = w->ButtonRect();
        POINT p{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
        ClientToScreen(h, &p);
        ClickAt(p.x, p.y);
        ASSERT_TRUE(PumpUntil([&] { return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 2000));
        ASSERT_NE(w->ListHandle, nullptr);
        ASSERT_NE(w->ListWnd, nullptr);
        // A click on the list's skinned bar scrolls it and leaves the list
        // its capture: a click outside still closes it.
        const TRect bar = GetVertBarRect(w->ListWnd, w->ListHandle);
        ASSERT_GT(bar.Height(), 0);
        ClickAt((bar.Left + bar.Right) / 2, bar.Bottom - 4);
        Pump(100);
        EXPECT_GT(SendMessageW(w->ListHandle, LB_GETTOPINDEX, 0, 0), 0);
        EXPECT_EQ(GetCapture(), w->ListHandle);
        RECT host{};
        GetWindowRect(Host, &host);
        ClickAt(host.right - 20, host.bottom - 20);
        EXPECT_TRUE(PumpUntil([&] { return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) == 0; }, 2000));
        ClickAt(p.x, p.y);
        ASSERT_TRUE(PumpUntil([&] { return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 2000));
        EXPECT_FALSE(w->ListWnd->SimpleBox);
        EXPECT_EQ(GetPropW(w->ListHandle, acWrapperProp), HANDLE(w->ListWnd));
        EXPECT_EQ(w->ButtonState(), 2);
        // Item 3 of the list, by where the list shows it.
        RECT ir{};
        ASSERT_NE(SendMessageW(w->ListHandle, LB_GETITEMRECT, 3, LPARAM(&ir)), LB_ERR);
        POINT q{(ir.left + ir.right) / 2, (ir.top + ir.bottom) / 2};
        ClientToScreen(w->ListHandle, &q);
        MouseAt(q.x, q.y, 0);
        Pump(40);
        ClickAt(q.x, q.y);
        EXPECT_TRUE(PumpUntil([&] { return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) == 0; }, 2000));
        EXPECT_EQ(SendMessageW(h, CB_GETCURSEL, 0, 0), 3);
        // The list's colours answer every time, not only the first.
        HDC dc = GetDC(w->ListHandle);
        for (int i = 0; i < 2; ++i) {
            const LRESULT brush = SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(dc), LPARAM(w->ListHandle));
            EXPECT_EQ(brush, LRESULT(w->LookBrush(kEdit)));
            EXPECT_EQ(GetBkColor(dc), COLORREF(kEdit));
        }
        ReleaseDC(w->ListHandle, dc);
        TacMainWnd* base = w;
        DetachWrapper(h, true, false, base);
        DestroyWindow(h);
    }
}

TEST_F(Wrapped, ASimpleComboBoxHasNoButtonAndItsListRunsInSimpleBoxMode) {
    HWND h = MakeKind(Host, kKinds[3]);
    auto* w = static_cast<TacComboBoxWnd*>(WrapCombo(h, M));
    ASSERT_NE(w, nullptr);
    const testwin::Pixels px = Shown(h);
    ASSERT_NE(w->ListWnd, nullptr);
    EXPECT_TRUE(w->ListWnd->SimpleBox);
    EXPECT_EQ(w->ButtonRect().Width(), 0);
    const int edge = int(SendMessageW(h, CB_GETITEMHEIGHT, WPARAM(-1), 0)) / 2 + 3;
    EXPECT_EQ(px.Count(testwin::SwapRedBlue(uint32_t(kComboBtn))), 0) << "no button face anywhere";
    EXPECT_EQ(At(px, px.Width - 2, edge), kCombo);
    TacMainWnd* base = w;
    DetachWrapper(h, true, false, base);
    DestroyWindow(h);
}

// Below a simple combo box's list, of fewer whole rows than the box is
// high, lies the combo box's own background, not the list's.
TEST_F(Wrapped, TheStripBelowASimpleComboBoxsListIsTheComboBoxsBackground) {
    HWND h = MakeKind(Host, kKinds[3], 20, 20, 360, 247);
    auto* w = static_cast<TacComboBoxWnd*>(WrapCombo(h, M));
    testwin::Pixels px = Shown(h);
    ASSERT_NE(w->ListWnd, nullptr);
    RECT lr, cr;
    GetWindowRect(w->ListWnd->CtrlHandle, &lr);
    GetWindowRect(h, &cr);
    ASSERT_LT(lr.bottom + 2, cr.bottom) << "no strip below the list";
    BackgroundInfo combo, list;
    ASSERT_TRUE(QueryParentBackground(combo, h, false));
    ASSERT_TRUE(QueryParentBackground(list, w->ListWnd->CtrlHandle, false));
    ASSERT_NE(ColorToRGB(combo.Color), ColorToRGB(list.Color));
    px = Shown(h);
    EXPECT_EQ(At(px, 40, int(cr.bottom - cr.top) - 2), ColorToRGB(combo.Color));
    TacMainWnd* base = w;
    DetachWrapper(h, true, false, base);
    DestroyWindow(h);
}

TEST_F(Wrapped, TextsOfAnyLengthAreReadWhole) {
    // A drop-down list whose selected item and a header whose item are far
    // longer than any fixed buffer: read by their length, painted from their start.
    const std::wstring longText = L"W" + std::wstring(5000, L'i');
    HWND combo = MakeKind(Host, kKinds[5], 20, 20, 200);
    SendMessageW(combo, CB_INSERTSTRING, 0, LPARAM(longText.c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    TacMainWnd* cw = WrapCombo(combo, M);
    HWND lv = MakeKind(Host, kKinds[6], 20, 80, 300, 200);
    HDITEMW hi{};
    hi.mask = HDI_TEXT;
    hi.pszText = const_cast<wchar_t*>(longText.c_str());
    HWND header = ListView_GetHeader(lv);
    SendMessageW(header, HDM_SETITEMW, 0, LPARAM(&hi));
    auto* lw = static_cast<TacListViewWnd*>(WrapAs<TacListViewWnd>(lv, M));
    ASSERT_NE(cw, nullptr);
    ASSERT_NE(lw, nullptr);
    RECT r;
    GetWindowRect(combo, &r);
    const testwin::Pixels px = testwin::Capture(r.right - r.left, r.bottom - r.top, [&](HDC dc) {
        SendMessageW(combo, WM_PRINT, WPARAM(dc), PRF_CLIENT | PRF_NONCLIENT);
    });
    // The capital W at the start of the text: dark pixels near the left.
    int dark = 0;
    for (int y = 4; y < px.Height - 4; ++y)
        for (int x = 5; x < 16; ++x) dark += testwin::Red(px.At(x, y)) < 100 || testwin::Green(px.At(x, y)) < 100;
    EXPECT_GT(dark, 3);
    RECT hr;
    GetClientRect(header, &hr);
    const testwin::Pixels hp = testwin::Capture(hr.right, hr.bottom, [&](HDC dc) { lw->PaintHeader(dc); });
    EXPECT_EQ(TColor(testwin::SwapRedBlue(hp.At(hr.right - 3, hr.bottom / 2))), kHeader);
    DetachWrapper(combo, true, false, cw);
    TacMainWnd* lb = lw;
    DetachWrapper(lv, true, false, lb);
}

// ---------------------------------------------------------------- list view header and thumb

TEST_F(Wrapped, ListViewHeaderIsPaintedFromColHeaderAndShowsThePressedColumn) {
    HWND lv = MakeKind(Host, kKinds[6], 20, 20, 560, 300);
    HWND header = ListView_GetHeader(lv);
    SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) | HDS_BUTTONS);
    auto* w = static_cast<TacListViewWnd*>(WrapAs<TacListViewWnd>(lv, M));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->HeaderWnd, header);
    RECT c1{};
    SendMessageW(header, HDM_GETITEMRECT, 1, LPARAM(&c1));
    RECT hr;
    GetClientRect(header, &hr);
    auto headerPixel = [&](int X) {
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump(20);
        const testwin::Pixels p = testwin::CopyFromWindow(header, hr);
        return TColor(testwin::SwapRedBlue(p.At(X, p.Height - 3)));
    };
    const int x1 = c1.right - 4;
    EXPECT_EQ(headerPixel(x1), kHeader);
    EXPECT_EQ(headerPixel(hr.right - 2), kHeader) << "the space right of the last column";
    POINT p{x1 - 40, (c1.top + c1.bottom) / 2};
    ClientToScreen(header, &p);
    MouseAt(p.x, p.y, 0);
    Pump(20);
    MouseAt(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
    Pump(40);
    EXPECT_EQ(w->PressedColumn, 1);
    EXPECT_EQ(headerPixel(x1), kHeaderPressed);
    EXPECT_EQ(headerPixel(c1.left - 4), kHeader) << "column 0 stays up";
    MouseAt(p.x, p.y, MOUSEEVENTF_LEFTUP);
    Pump(40);
    EXPECT_EQ(w->PressedColumn, -1);
    EXPECT_EQ(headerPixel(x1), kHeader);
    // In icon view the header is never painted by the wrapper.
    SetWindowLongPtrW(lv, GWL_STYLE, (GetWindowLongPtrW(lv, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_ICON);
    EXPECT_EQ(w->ViewKind(), 0);
    TacMainWnd* b = w;
    DetachWrapper(lv, true, false, b);
}

TEST_F(Wrapped, ThumbDragsScrollListViewsByWholeRows) {
    HWND lv = MakeKind(Host, kKinds[6], 20, 20, 400, 300);
    auto* w = static_cast<TacListViewWnd*>(WrapAs<TacListViewWnd>(lv, M));
    ASSERT_NE(w, nullptr);
    Shown(lv);
    // The emulated bar sends the position in lParam once the list says so.
    EXPECT_EQ(SendMessageW(lv, SM_ALPHACMD, WPARAM(SkinWParam(scBeforeScroll)), MAKELPARAM(SB_THUMBTRACK, WM_VSCROLL)), 1);
    for (int target : {37, 120, 5}) {
        SendMessageW(lv, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, target), target);
        EXPECT_EQ(ListView_GetTopIndex(lv), target);
    }
    SendMessageW(lv, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 90), 90);
    EXPECT_EQ(GetScrollPos(lv, SB_HORZ), 90);
    // The real mouse on the emulated bar: the thumb dragged down, the rows follow.
    SendMessageW(lv, LVM_ENSUREVISIBLE, 0, FALSE);
    Shown(lv);
    const TRect bar = GetVertBarRect(w, lv);
    const int arrow = GetScrollMetric(w->VertBar(), 0, true);
    const int x = (bar.Left + bar.Right) / 2, y0 = bar.Top + arrow + 4;
    MouseAt(x, y0, 0);
    Pump(30);
    MouseAt(x, y0, MOUSEEVENTF_LEFTDOWN);
    Pump(30);
    for (int dy = 10; dy <= 80; dy += 10) {
        MouseAt(x, y0 + dy, 0);
        Pump(20);
    }
    MouseAt(x, y0 + 80, MOUSEEVENTF_LEFTUP);
    Pump(40);
    EXPECT_GT(ListView_GetTopIndex(lv), 10);
    EXPECT_EQ(ListView_GetTopIndex(lv), GetScrollPos(lv, SB_VERT));
    TacMainWnd* b = w;
    DetachWrapper(lv, true, false, b);
}

// ---------------------------------------------------------------- class-library controls

TEST_F(Wrapped, ClassLibraryEditsTakeTheSectionColoursKeepCustomOnesAndGetTheirOwnBack) {
    struct Case {
        bool CustomColor, CustomFont;
    };
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(testing::Message() << "custom colour " << c.CustomColor << ", custom font " << c.CustomFont);
        Reskin();
        auto* form = new TForm(Application);
        form->SetBounds(60, 60, 300, 200);
        auto* edit = new TEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 200, 24);
        edit->SetColor(clYellow);
        edit->Font()->SetColor(clMaroon);
        auto* other = new TEdit(form);  // holds the focus: the edit shows its normal state
        other->SetParent(form);
        other->SetBounds(10, 50, 200, 24);
        form->Show();
        other->SetFocus();
        Pump(20);
        TsCommonData data(edit, true);
        data.SetCustomColor(c.CustomColor);
        data.SetCustomFont(c.CustomFont);
        TacMainWnd* w = WrapLib<TacEditWnd>(edit->Handle(), "EDIT", M, &data);
        ASSERT_NE(w, nullptr);
        Shown(edit->Handle());
        EXPECT_EQ(edit->Color(), c.CustomColor ? clYellow : kEdit);
        EXPECT_EQ(edit->Font()->Color(), c.CustomFont ? clMaroon : kEditHotFont);
        RemoveSkin();
        EXPECT_EQ(edit->Color(), clYellow);
        EXPECT_EQ(edit->Font()->Color(), clMaroon);
        DetachWrapper(edit->Handle(), true, false, w);
        delete form;
    }
}

// The class library's own controls over the system windows: framed from the
// section, in its colours while skinned, and their own back after.
TEST_F(Wrapped, ClassLibraryControlsOfEveryKindTakeTheSkinAndGiveItBack) {
    struct LibKind {
        const char* Name;
        TWinControl* (*Make)(TForm*);
        TacMainWnd* (*Wrap)(HWND, const char*, TsSkinManager*, TsCommonData*);
        const char* Section;
    };
    static const LibKind kLib[] = {
        {"memo",
         [](TForm* F) -> TWinControl* {
             auto* c = new TMemo(F);
             c->SetScrollBars(ssBoth);
             c->SetWordWrap(false);
             for (int i = 0; i < 40; ++i) c->Lines()->Add("a memo line that is wider than the memo " + IntToStr(i));
             return c;
         },
         WrapLib<TacEditWnd>, "EDIT"},
        {"list box",
         [](TForm* F) -> TWinControl* {
             auto* c = new TListBox(F);
             for (int i = 0; i < 40; ++i) c->Items()->Add("item " + IntToStr(i));
             return c;
         },
         WrapLib<TacEditWnd>, "EDIT"},
        {"combo box",
         [](TForm* F) -> TWinControl* {
             auto* c = new TComboBox(F);
             c->SetStyle(csDropDownList);
             for (int i = 0; i < 20; ++i) c->Items()->Add("choice " + IntToStr(i));
             c->SetItemIndex(2);
             return c;
         },
         WrapLib<TacComboBoxWnd>, "COMBOBOX"},
        {"list view",
         [](TForm* F) -> TWinControl* {
             auto* c = new TListView(F);
             c->SetViewStyle(vsReport);
             for (const char* n : {"Name", "Size"}) {
                 TListColumn* col = c->Columns()->Add();
                 col->SetCaption(n);
                 col->SetWidth(120);
             }
             for (int i = 0; i < 50; ++i) c->Items()->Add()->SetCaption("row " + IntToStr(i));
             return c;
         },
         WrapLib<TacListViewWnd>, "EDIT"},
        {"tree view",
         [](TForm* F) -> TWinControl* {
             auto* c = new TTreeView(F);
             for (int i = 0; i < 30; ++i) c->Items()->Add(nullptr, "node " + IntToStr(i));
             return c;
         },
         WrapLib<TacTreeViewWnd>, "EDIT"},
    };
    for (const LibKind& k : kLib) {
        SCOPED_TRACE(k.Name);
        Reskin();
        auto* form = new TForm(Application);
        form->SetBounds(60, 60, 400, 300);
        TWinControl* c = k.Make(form);
        c->SetParent(form);
        c->SetBounds(10, 10, 250, 150);
        c->SetColor(clYellow);
        c->Font()->SetColor(clMaroon);
        form->Show();
        Pump(20);
        TsCommonData data(c, true);
        TacMainWnd* w = k.Wrap(c->Handle(), k.Section, M, &data);
        ASSERT_NE(w, nullptr);
        const testwin::Pixels px = Shown(c->Handle());
        const bool tree = dynamic_cast<TTreeView*>(c) != nullptr;
        const TColor section = strcmp(k.Section, "COMBOBOX") == 0 ? kCombo : kEdit;
        EXPECT_EQ(At(px, 1, px.Height / 2), section) << "the frame";
        if (tree) {
            EXPECT_EQ(COLORREF(SendMessageW(c->Handle(), TVM_GETBKCOLOR, 0, 0)), COLORREF(kEditHot));
        } else {
            EXPECT_TRUE(c->Color() == section || c->Color() == kEditHot) << std::hex << c->Color();
        }
        EXPECT_EQ(c->Font()->Color(), kEditHotFont);
        RemoveSkin();
        EXPECT_EQ(c->Color(), clYellow);
        EXPECT_EQ(c->Font()->Color(), clMaroon);
        DetachWrapper(c->Handle(), true, false, w);
        delete form;
    }
}

TEST_F(Wrapped, AClassLibraryMDIFormsClientAreaIsPaintedFromTheSkin) {
    auto* form = new TForm(Application);
    form->SetFormStyle(fsMDIForm);
    form->SetBounds(60, 60, 500, 400);
    form->Show();
    auto* child = new TForm(Application);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(10, 10, 200, 120);
    child->Show();
    Pump(30);
    HWND client = form->ClientHandle();
    ASSERT_NE(client, nullptr);
    const WNDPROC plain = ProcOf(client);
    auto* w = CreateWrapper<TacMDIWnd>(client, true, "EDIT", M, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->MDIForm, form);
    const testwin::Pixels px = Shown(client);
    EXPECT_EQ(At(px, px.Width - 3, px.Height - 3), kMDIArea);
    // Tiling and cascading take the system menu from the active child.
    for (UINT msg : {WM_MDITILE, WM_MDICASCADE}) {
        SetWindowLongPtrW(child->Handle(), GWL_STYLE, GetWindowLongPtrW(child->Handle(), GWL_STYLE) | WS_SYSMENU);
        SendMessageW(client, msg, 0, 0);
        EXPECT_FALSE(GetWindowLongPtrW(child->Handle(), GWL_STYLE) & WS_SYSMENU) << msg;
    }
    TacMainWnd* b = w;
    DetachWrapper(client, true, false, b);
    EXPECT_EQ(ProcOf(client), plain);
    delete child;
    delete form;
}

TEST_F(Wrapped, GridColoursFollowTheSkinByPropertyNameAndComeBack) {
    struct Case {
        const char* Class;
        bool FixedFontAndColumnsFollow;
    };
    for (const Case c : {Case{"TTestGrid", true}, Case{"TExtDataGrid", false}, Case{"TBareGrid", false}}) {
        SCOPED_TRACE(c.Class);
        Reskin();
        auto* form = new TForm(Application);
        form->SetBounds(60, 60, 400, 300);
        TCustomControl* g = MakeTestGrid(c.Class, form);
        form->Show();
        Pump(20);
        const GridColours before = ReadGridColours(g);
        TsCommonData data(g, true);
        TacMainWnd* w = WrapLib<TacGridWnd>(static_cast<TWinControl*>(g)->Handle(), "EDIT", M, &data);
        ASSERT_NE(w, nullptr);
        Shown(static_cast<TWinControl*>(g)->Handle());
        const GridColours skinned = ReadGridColours(g);
        EXPECT_EQ(skinned.Color, kEdit);
        if (before.Has) {
            EXPECT_EQ(skinned.Fixed, kGlobal);
            EXPECT_EQ(skinned.TitleFont, kGlobalFont);
            EXPECT_EQ(skinned.Footer, kGlobal);
            EXPECT_EQ(skinned.Indicator, kEditFont);
            EXPECT_EQ(skinned.FixedFont, c.FixedFontAndColumnsFollow ? kGlobalFont : before.FixedFont);
            EXPECT_EQ(skinned.ColumnColor, c.FixedFontAndColumnsFollow ? kEdit : before.ColumnColor);
            EXPECT_EQ(skinned.ColumnFont, c.FixedFontAndColumnsFollow ? kEditHotFont : before.ColumnFont);
        }
        RemoveSkin();
        const GridColours after = ReadGridColours(g);
        EXPECT_EQ(after.Fixed, before.Fixed);
        EXPECT_EQ(after.TitleFont, before.TitleFont);
        EXPECT_EQ(after.Footer, before.Footer);
        EXPECT_EQ(after.Indicator, before.Indicator);
        EXPECT_EQ(after.FixedFont, before.FixedFont);
        EXPECT_EQ(after.ColumnColor, before.ColumnColor);
        EXPECT_EQ(after.ColumnFont, before.ColumnFont);
        EXPECT_EQ(after.Color, before.Color);
        EXPECT_EQ(after.ScrollBarsRemade, before.Has ? 2 : 0) << "the window made again with system bars";
        DetachWrapper(static_cast<TWinControl*>(g)->Handle(), true, false, w);
        delete form;
    }
}

TEST_F(Wrapped, AnExceptionInAWrapperGoesToTheApplicationNotThroughTheWindowProcedure) {
    auto* form = new TForm(Application);
    form->SetBounds(60, 60, 400, 300);
    TCustomControl* g = MakeTestGrid("TTestGrid", form);
    form->Show();
    Pump(20);
    static int caught = 0;
    caught = 0;
    SetExceptionSink([](TObject*, const std::exception&) { ++caught; });
    ThrowOnFixedColor(g, true);
    TsCommonData data(g, true);
    TacMainWnd* w = WrapLib<TacGridWnd>(static_cast<TWinControl*>(g)->Handle(), "EDIT", M, &data);
    ASSERT_NE(w, nullptr);
    Shown(static_cast<TWinControl*>(g)->Handle());
    EXPECT_GE(caught, 1);
    ThrowOnFixedColor(g, false);
    SetExceptionSink(nullptr);
    DetachWrapper(static_cast<TWinControl*>(g)->Handle(), true, false, w);
    delete form;
}

TEST_F(Wrapped, VirtualTreeHeaderEventsAreHookedOnlyWhenEmptyAndLetGoWithTheSkin) {
    for (bool assigned : {false, true}) {
        SCOPED_TRACE(assigned ? "events assigned" : "events empty");
        Reskin();
        auto* form = new TForm(Application);
        form->SetBounds(60, 60, 400, 300);
        TCustomControl* t = MakeTestVirtualTree(form, assigned);
        form->Show();
        Pump(20);
        const VirtualTreeState before = ReadVirtualTree(t);
        TsCommonData data(t, true);
        auto* w = static_cast<TacVirtualListWnd*>(
            WrapLib<TacVirtualListWnd>(static_cast<TWinControl*>(t)->Handle(), "EDIT", M, &data));
        ASSERT_NE(w, nullptr);
        const testwin::Pixels px = Shown(static_cast<TWinControl*>(t)->Handle());
        const VirtualTreeState skinned = ReadVirtualTree(t);
        EXPECT_EQ(skinned.FolderColor, kEditHotFont);
        EXPECT_TRUE(skinned.OwnerDraw);
        EXPECT_EQ(skinned.HeaderDrawIsTests, assigned);
        EXPECT_EQ(w->HookedHeaderDraw, !assigned);
        // The header row below the 2-pixel border: from COLHEADER, or as the
        // tree's own handler paints it.
        EXPECT_EQ(At(px, 40, 2 + VirtualTreeHeaderHeight() / 2), assigned ? kOwnHeaderColour : kHeader);
        EXPECT_EQ(At(px, 40, 0), kEdit) << "the border band";
        RemoveSkin();
        const VirtualTreeState after = ReadVirtualTree(t);
        EXPECT_EQ(after.FolderColor, before.FolderColor);
        EXPECT_EQ(after.OwnerDraw, before.OwnerDraw);
        EXPECT_EQ(after.HeaderDrawIsTests, assigned);
        EXPECT_FALSE(after.HeaderDrawIsWrappers) << "no event is left pointing at the wrapper";
        TacMainWnd* b = w;
        DetachWrapper(static_cast<TWinControl*>(t)->Handle(), true, false, b);
        delete form;
    }
}

// ---------------------------------------------------------------- resources

TEST_F(Wrapped, ManyPaintsOfEveryKindLeaveGdiAndUserCountsAsTheyWere) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.Name);
        HWND h = MakeKind(Host, k);
        TacMainWnd* w = k.Wrap(h, M);
        ASSERT_NE(w, nullptr);
        RECT r;
        GetWindowRect(h, &r);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
        HGDIOBJ old = SelectObject(mem, bmp);
        auto paints = [&](int N) {
            for (int i = 0; i < N; ++i) {
                RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                SendMessageW(h, WM_PRINT, WPARAM(mem), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
            }
        };
        paints(1);  // what is made once and kept (the list's brush, canvases) is made now
        const testwin::GuiObjects before = testwin::CountGuiObjects();
        paints(100);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        Pump(20);
        // A leak grows with the paints; what a paint frees late may go down.
        const testwin::GuiObjects after = testwin::CountGuiObjects();
        EXPECT_LE(after.Gdi, before.Gdi);
        EXPECT_LE(after.User, before.User);
        DetachWrapper(h, true, false, w);
        DestroyWindow(h);
    }
}

// Create, wrap, use and destroy a thousand windows of every kind, in every
// order: the wrapper freed first, the window destroyed first, the skin
// removed in between. No window keeps the property or a replaced procedure,
// and the process holds the GDI and USER objects it held before.
TEST_F(Wrapped, AThousandWindowsOfEveryKindWrappedAndDestroyedInEveryOrder) {
    enum Order { kWrapperFirst, kWindowFirst, kSkinRemoved };
    constexpr int kCount = int(sizeof(kKinds) / sizeof(kKinds[0]));
    auto round = [&](int I) {
        const Kind& k = kKinds[I % kCount];
        const Order order = Order((I / kCount) % 3);
        HWND h = MakeKind(Host, k, 10 + I % 40, 10, 300, 160, false);
        const WNDPROC plain = ProcOf(h);
        TacMainWnd* w = k.Wrap(h, M);
        ASSERT_NE(w, nullptr) << k.Name;
        SendMessageW(h, WM_NCPAINT, 1, 0);
        SendScrollMessage(h, WM_VSCROLL, SB_LINEDOWN, 0);
        if (wcscmp(k.Class, L"COMBOBOX") == 0) {
            SendMessageW(h, CB_SHOWDROPDOWN, TRUE, 0);
            SendMessageW(h, CB_SHOWDROPDOWN, FALSE, 0);
        }
        UpdateWindow(h);
        HWND list = wcscmp(k.Class, L"COMBOBOX") == 0 ? static_cast<TacComboBoxWnd*>(w)->ListHandle : nullptr;
        if (order == kSkinRemoved) RemoveSkin(h, false);
        if (order == kWindowFirst) {
            DestroyWindow(h);
            EXPECT_TRUE(w->Destroyed) << k.Name;
            delete w;
        } else {
            DetachWrapper(h, true, false, w);
            EXPECT_EQ(GetPropW(h, acWrapperProp), nullptr) << k.Name;
            EXPECT_EQ(ProcOf(h), plain) << k.Name;
            if (list && IsWindow(list)) {
                EXPECT_EQ(GetPropW(list, acWrapperProp), nullptr) << k.Name;
            }
            DestroyWindow(h);
        }
        if (order == kSkinRemoved) Reskin();
    };
    for (int i = 0; i < kCount * 3; ++i) round(i);
    Pump(20);
    const testwin::GuiObjects start = testwin::CountGuiObjects();
    for (int i = kCount * 3; i < 1000 && !HasFailure(); ++i) round(i);
    Pump(20);
    EXPECT_EQ(testwin::CountGuiObjects(), start);
}

// ---------------------------------------------------------------- the test skins

TEST(TestSkins, EveryKindPaintsItsClientAndItsBarsUnderBothSkins) {
    for (const char* name : {"Birch", "Night"}) {
        SCOPED_TRACE(name);
        auto* m = MakeSkinManager(nullptr, TUVRELI_TEST_SKINS_DIR, name);
        ASSERT_TRUE(m->SkinData()->Active());
        EXPECT_FALSE(FadeInProgress) << "a loaded skin leaves no fade behind";
        HWND host = MakeHost(false);
        static int caught;
        caught = 0;
        SetExceptionSink([](TObject*, const std::exception& E) {
            ++caught;
            fprintf(stderr, "exception: %s\n", E.what());
        });
        for (const Kind& k : kKinds) {
            SCOPED_TRACE(k.Name);
            HWND h = MakeKind(host, k);
            TacMainWnd* w = k.Wrap(h, m);
            ASSERT_NE(w, nullptr);
            RedrawWindow(host, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Pump(40);
            RECT r;
            GetWindowRect(h, &r);
            OffsetRect(&r, -r.left, -r.top);
            const testwin::Pixels px = testwin::CopyFromWindow(h, r, true);
            // Frame, bars and client all painted: no host colour shows through.
            EXPECT_EQ(px.Count(testwin::SwapRedBlue(kUnpainted)), 0);
            DetachWrapper(h, true, false, w);
            DestroyWindow(h);
        }
        EXPECT_EQ(caught, 0);
        SetExceptionSink(nullptr);
        DestroyWindow(host);
        delete m;
    }
}
