#include "HostCtrls.h"

#include <commctrl.h>

#include "Buttons.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "acSBUtilsCtrls.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace {

template <class C>
C* Make(TWinControl* Parent, const char* Caption, int X, int Y, int W, int H) {
    auto* c = new C(Parent);
    c->SetBounds(X, Y, W, H);
    c->SetCaption(Caption);
    c->SetParent(Parent);
    return c;
}

// A small glyph: a green arrow on the key colour of its corner.
void DrawGlyph(TBitmap* B) {
    B->SetPixelFormat(pf24bit);
    B->SetSize(16, 16);
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 16, 16));
    c->Brush()->SetColor(TColor(0x208020));
    c->Pen()->SetColor(TColor(0x105010));
    const TPoint arrow[] = {{2, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {2, 10}};
    c->Polygon(arrow, 7);
}

}  // namespace

TControlsPage::TControlsPage(TWinControl* Page, TsSkinManager* Manager) : TWrappedPage(Manager) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    // The page's face: a raised panel, which answers its children's
    // background questions once it is wrapped.
    auto* panel = new TPanel(Page);
    panel->SetParent(Page);
    panel->SetAlign(alClient);
    panel->SetBevelOuter(bvRaised);
    FFace = panel;
    HWND p = panel->Handle();
    Wrap<TacPanelWnd>(p, "", panel);

    // Static texts, a link and an icon.
    Wrap<TacStaticWnd>(System(L"STATIC", L"Static text: words on the panel", SS_LEFT, 12, 12, 220, 18), "CHECKBOX");
    Wrap<TacStaticWnd>(System(L"STATIC", L"Static edge: the system look", SS_LEFT, 12, 36, 220, 18, WS_EX_STATICEDGE),
                       "CHECKBOX");
    Wrap<TacLinkWnd>(System(WC_LINK, L"A <A>link</A> drawn as plain text", 0, 12, 60, 220, 18), "CHECKBOX");
    HWND icon = System(L"STATIC", nullptr, SS_ICON, 12, 84, 32, 32);
    SendMessageW(icon, STM_SETICON, WPARAM(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION))), 0);
    Wrap<TacIconWnd>(icon, "CHECKBOX");
    auto* st = Make<TStaticText>(panel, "Class-library static text", 52, 92, 180, 18);
    Wrap<TacStaticWnd>(st->Handle(), "CHECKBOX", st);

    // Push and bitmap buttons.
    Wrap<TacBtnWnd>(System(L"BUTTON", L"Push", BS_PUSHBUTTON | WS_TABSTOP, 250, 12, 110, 28), "BUTTON");
    Wrap<TacBtnWnd>(System(L"BUTTON", L"Default", BS_DEFPUSHBUTTON | WS_TABSTOP, 370, 12, 110, 28), "BUTTON");
    Wrap<TacBtnWnd>(
        System(L"BUTTON", L"A multi-line caption breaks into words", BS_PUSHBUTTON | BS_MULTILINE, 250, 48, 110, 44),
        "BUTTON");
    Wrap<TacBtnWnd>(System(L"BUTTON", L"Disabled", BS_PUSHBUTTON | WS_DISABLED, 370, 48, 110, 28), "BUTTON");
    auto* b = Make<TButton>(panel, "Class-library button", 250, 100, 230, 28);
    Wrap<TacBtnWnd>(b->Handle(), "BUTTON", b);
    auto* bb = Make<TBitBtn>(panel, "Bitmap button", 250, 136, 110, 40);
    DrawGlyph(bb->Glyph());
    Wrap<TacBitBtnWnd>(bb->Handle(), "BUTTON", bb);
    auto* top = Make<TBitBtn>(panel, "Glyph above", 370, 136, 110, 40);
    DrawGlyph(top->Glyph());
    top->SetLayout(blGlyphTop);
    Wrap<TacBitBtnWnd>(top->Handle(), "BUTTON", top);

    // Check boxes and radio buttons.
    struct Box {
        const wchar_t* Text;
        DWORD Style;
        WPARAM Check;
    } boxes[] = {{L"Check box", BS_AUTOCHECKBOX, BST_CHECKED},
                 {L"Three states", BS_AUTO3STATE, BST_INDETERMINATE},
                 {L"Radio one", BS_AUTORADIOBUTTON | WS_GROUP, BST_CHECKED},
                 {L"Radio two", BS_AUTORADIOBUTTON, BST_UNCHECKED},
                 {L"Text on the left", BS_AUTOCHECKBOX | BS_LEFTTEXT, BST_UNCHECKED},
                 {L"Disabled box", BS_AUTOCHECKBOX | WS_DISABLED, BST_CHECKED}};
    int y = 12;
    for (const Box& x : boxes) {
        HWND h = System(L"BUTTON", x.Text, x.Style | WS_TABSTOP, 500, y, 150, 20);
        SendMessageW(h, BM_SETCHECK, x.Check, 0);
        Wrap<TacCheckBoxWnd>(h, "CHECKBOX");
        y += 24;
    }
    auto* cb = Make<TCheckBox>(panel, "Class-library box", 500, y, 150, 20);
    cb->SetAllowGrayed(true);
    cb->SetChecked(true);
    Wrap<TacCheckBoxWnd>(cb->Handle(), "CHECKBOX", cb);

    // Group boxes and panels.
    Wrap<TacGroupBoxWnd>(System(L"BUTTON", L"Group box", BS_GROUPBOX, 12, 200, 220, 120), "GROUPBOX");
    Wrap<TacCheckBoxWnd>(System(L"BUTTON", L"Inside the group", BS_AUTOCHECKBOX, 24, 228, 180, 20), "CHECKBOX");
    auto* gb = Make<TGroupBox>(panel, "Class-library group box", 250, 200, 230, 120);
    Wrap<TacGroupBoxWnd>(gb->Handle(), "GROUPBOX", gb);
    for (int i = 0; i < 2; ++i) {
        auto* r = Make<TRadioButton>(gb, i ? "Second" : "First", 14, 28 + 26 * i, 150, 20);
        r->SetChecked(i == 0);
        Wrap<TacCheckBoxWnd>(r->Handle(), "CHECKBOX", r);
    }
    struct Bevels {
        const char* Caption;
        TPanelBevel Outer, Inner;
    } bevels[] = {{"Lowered", bvLowered, bvNone}, {"Raised, lowered", bvRaised, bvLowered}};
    int x = 500;
    for (const Bevels& v : bevels) {
        auto* sub = Make<TPanel>(panel, v.Caption, x, 200, 120, 56);
        sub->SetBevelOuter(v.Outer);
        sub->SetBevelInner(v.Inner);
        Wrap<TacPanelWnd>(sub->Handle(), "", sub);
        x += 130;
    }
    HWND pane = System(L"#32770", nullptr, WS_CLIPCHILDREN, 500, 264, 250, 56);
    Wrap<TacTransPanelWnd>(pane, "CHECKBOX");
    HWND inPane = CreateWindowExW(0, L"STATIC", L"A nested pane", WS_CHILD | WS_VISIBLE, 8, 18, 160, 18, pane, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(inPane, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    Wrap<TacStaticWnd>(inPane, "CHECKBOX");
}

