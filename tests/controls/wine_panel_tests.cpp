// The framed panel and group box under Wine: default bevel, grid, gradient
// rows, transparency over the parent, the enabled cascade, edge repaint on
// shrinking, the theme-change re-read and every group style's frame and
// client rectangle.
#include <gtest/gtest.h>

#include <memory>

#include "ExtControls.h"
#include "Graphics.h"
#include "RzButton.h"
#include "RzPanel.h"
#include "WineUi.h"

using namespace wineui;

namespace {
template <class P>
P* NewPanel(TWinControl* parent, int x, int y, int w, int h) {
    auto* p = new P(parent);
    p->SetParent(parent);
    p->SetBounds(x, y, w, h);
    p->SetCaption("");
    return p;
}

int TextHeight(TFont* font, const char* s) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    std::wstring w(s, s + strlen(s));
    SIZE sz{};
    GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return sz.cy;
}
}  // namespace

TEST(RzPanel, DefaultBevelGridAndGradient) {
    std::unique_ptr<TForm> f(NewForm(400, 300));
    auto* p = NewPanel<TRzPanel>(f.get(), 10, 10, 100, 50);
    Pump();
    Shot s(p->Handle());
    // fsRaised: light / dark outer line, highlight / shadow inner line.
    EXPECT_EQ(s.At(0, 25), Rgb(cl3DLight));
    EXPECT_EQ(s.At(50, 0), Rgb(cl3DLight));
    EXPECT_EQ(s.At(99, 25), Rgb(cl3DDkShadow));
    EXPECT_EQ(s.At(50, 49), Rgb(cl3DDkShadow));
    EXPECT_EQ(s.At(1, 25), Rgb(clBtnHighlight));
    EXPECT_EQ(s.At(98, 25), Rgb(clBtnShadow));
    EXPECT_EQ(s.At(50, 25), Rgb(clBtnFace));

    auto* g = NewPanel<TRzPanel>(f.get(), 150, 10, 40, 41);
    g->SetBorderOuter(fsNone);
    g->SetColor(clWhite);
    g->SetGridColor(clBlack);
    g->SetShowGrid(true);
    Shot dots(g->Handle());
    EXPECT_EQ(dots.At(7, 7), 0u);
    EXPECT_EQ(dots.At(15, 39), 0u);
    EXPECT_EQ(dots.At(6, 7), 0xFFFFFFu);
    EXPECT_EQ(dots.At(8, 8), 0xFFFFFFu);
    EXPECT_EQ(dots.Count(0), 25);  // 5 by 5 dots, none on the 41st row
    g->SetGridXSize(0);
    EXPECT_EQ(Shot(g->Handle()).Count(0), 0);  // no columns, no dots
    g->SetGridXSize(8);
    g->SetGridStyle(gsSolidLines);
    Shot lines(g->Handle());
    EXPECT_EQ(lines.At(7, 0), 0u);
    EXPECT_EQ(lines.At(7, 40), 0u);
    EXPECT_EQ(lines.At(0, 15), 0u);
    g->SetGridStyle(gsDottedLines);
    Shot dotted(g->Handle());
    EXPECT_EQ(dotted.At(7, 1), 0u);
    EXPECT_EQ(dotted.At(7, 2), 0xFFFFFFu);

    auto* gr = NewPanel<TRzPanel>(f.get(), 10, 80, 30, 200);
    gr->SetBorderOuter(fsNone);
    gr->SetVisualStyle(vsGradient);
    gr->SetGradientColorStyle(gcsCustom);
    gr->SetGradientColorStart(0x000000);
    gr->SetGradientColorStop(0xFFFFFF);
    gr->SetGradientDirection(gdHorizontalEnd);
    Shot ramp(gr->Handle());
    uint32_t prev = 0;
    for (int y = 0; y < 200; ++y) {
        uint32_t v = ramp.At(0, y);
        for (int x = 1; x < 30; ++x) ASSERT_EQ(ramp.At(x, y), v) << "row " << y;  // bands are rows
        ASSERT_GE(v & 0xFF, prev & 0xFF) << y;
        prev = v;
    }
    EXPECT_LE(ramp.At(0, 0) & 0xFF, 2u);
    EXPECT_GE(ramp.At(0, 199) & 0xFF, 250u);
}

TEST(RzPanel, TransparentShowsWhatIsUnderIt) {
    std::unique_ptr<TForm> f(NewForm(400, 200, 0x00C000));
    auto* shape = new TShape(f.get());
    shape->SetParent(f.get());
    shape->SetBounds(40, 40, 40, 40);
    shape->Brush()->SetColor(clBlue);
    shape->Pen()->SetColor(clBlue);
    auto* p = NewPanel<TRzPanel>(f.get(), 20, 20, 100, 100);
    p->SetColor(clWhite);
    Pump();
    EXPECT_EQ(Shot(p->Handle()).At(30, 30), 0xFFFFFFu);
    p->SetTransparent(true);
    EXPECT_FALSE(p->ControlStyle() & csOpaque);
    Shot s(p->Handle());
    EXPECT_EQ(s.At(30, 30), 0xFF0000u);  // the shape at (50, 50) of the form
    EXPECT_EQ(s.At(10, 10), 0x00C000u);  // the form's own colour
    EXPECT_EQ(s.At(0, 50), Rgb(cl3DLight));  // borders are still painted
    // Moved, a transparent panel or captioned group box shows its new background.
    auto* g = NewPanel<TRzGroupBox>(f.get(), 270, 20, 100, 100);
    g->SetGroupStyle(gsCustom);
    g->SetCaption("Ab");
    g->SetTransparent(true);
    for (TRzCustomPanel* moved : {static_cast<TRzCustomPanel*>(p), static_cast<TRzCustomPanel*>(g)}) {
        const int from = moved->Left();
        moved->SetLeft(150);
        EXPECT_EQ(Shot(moved->Handle()).At(30, 30), 0x00C000u) << moved->ClassName();
        moved->SetLeft(20);
        EXPECT_EQ(Shot(moved->Handle()).At(30, 30), 0xFF0000u) << moved->ClassName();
        moved->SetLeft(from);
    }
    // Without the client area the panel paints no background of its own.
    p->SetTransparent(false);
    p->SetPaintClientArea(false);
    p->SetShowGrid(true);
    p->SetGridColor(clRed);
    Shot s2(p->Handle());
    EXPECT_EQ(s2.At(0, 50), Rgb(cl3DLight));
    EXPECT_EQ(s2.At(9, 9), Rgb(clRed));
}

TEST(RzPanel, GradientChangeInvalidatesEveryTransparentChild) {
    std::unique_ptr<TForm> f(NewForm(300, 200));
    auto* p = NewPanel<TRzPanel>(f.get(), 10, 10, 200, 150);
    TWinControl* clear[] = {NewPanel<TRzPanel>(p, 5, 5, 40, 40), NewPanel<TRzGroupBox>(p, 50, 5, 40, 40)};
    for (TWinControl* c : clear) static_cast<TRzCustomPanel*>(c)->SetTransparent(true);
    auto* opaque = NewPanel<TRzPanel>(p, 95, 5, 40, 40);
    Pump();
    for (TWinControl* c : {clear[0], clear[1], static_cast<TWinControl*>(opaque)}) ValidateRect(c->Handle(), nullptr);
    p->SetGradientColorStart(clRed);
    for (TWinControl* c : clear) EXPECT_TRUE(GetUpdateRect(c->Handle(), nullptr, FALSE)) << c->ClassName();
    EXPECT_FALSE(GetUpdateRect(opaque->Handle(), nullptr, FALSE));
}

TEST(RzPanel, EnabledCascadeRestoresEachChild) {
    std::unique_ptr<TForm> f(NewForm(300, 200));
    auto* p = NewPanel<TRzPanel>(f.get(), 10, 10, 200, 150);
    auto* on = NewPanel<TRzPanel>(p, 5, 5, 40, 40);
    auto* off = NewPanel<TRzPanel>(p, 50, 5, 40, 40);
    auto* gone = new TRzButton(p);
    gone->SetParent(p);
    off->SetEnabled(false);
    p->SetEnabled(false);
    EXPECT_FALSE(on->Enabled());
    EXPECT_FALSE(off->Enabled());
    EXPECT_FALSE(gone->Enabled());
    EXPECT_EQ(p->EnabledRecord(on), 1);
    EXPECT_EQ(p->EnabledRecord(off), 0);
    // A child that goes while the panel is disabled leaves no record behind.
    EXPECT_EQ(p->EnabledRecord(gone), 1);
    delete gone;
    EXPECT_EQ(p->EnabledRecord(gone), -1);
    p->SetEnabled(true);
    EXPECT_TRUE(on->Enabled());
    EXPECT_FALSE(off->Enabled());
    EXPECT_EQ(p->ControlCount(), 2);
}

TEST(RzPanel, ShrinkingRepaintsTheNewBorder) {
    std::unique_ptr<TForm> f(NewForm(300, 200));
    auto* p = NewPanel<TRzPanel>(f.get(), 10, 10, 120, 80);
    p->SetFullRepaint(false);
    Pump();
    ValidateRect(p->Handle(), nullptr);
    p->SetBounds(10, 10, 100, 60);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(p->Handle(), rgn, FALSE);
    // The new right and bottom border lines are in what will repaint.
    EXPECT_TRUE(PtInRegion(rgn, 99, 30));
    EXPECT_TRUE(PtInRegion(rgn, 97, 30));
    EXPECT_TRUE(PtInRegion(rgn, 50, 59));
    EXPECT_TRUE(PtInRegion(rgn, 50, 57));
    EXPECT_FALSE(PtInRegion(rgn, 50, 30));
    DeleteObject(rgn);
    Pump();
    Shot s(p->Handle());
    EXPECT_EQ(s.At(99, 30), Rgb(cl3DDkShadow));
    EXPECT_EQ(s.At(50, 59), Rgb(cl3DDkShadow));

    // A bottom-aligned panel that grows keeps its bottom edge.
    auto* host = NewPanel<TRzPanel>(f.get(), 150, 10, 100, 150);
    auto* bottom = NewPanel<TRzPanel>(host, 0, 0, 100, 30);
    bottom->SetAlign(alBottom);
    int edge = bottom->Top() + bottom->Height();
    bottom->SetHeight(50);
    EXPECT_EQ(bottom->Top() + bottom->Height(), edge);
}

TEST(RzPanel, ThemeChangeReadsTheColourSetAgain) {
    std::unique_ptr<TForm> f(NewForm(200, 100));
    auto* p = NewPanel<TRzPanel>(f.get(), 10, 10, 50, 50);
    HKEY scratch = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TuvreliPanelTest", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &scratch, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch), ERROR_SUCCESS);
    HKEY tm = nullptr;
    RegCreateKeyExW(scratch, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &tm, nullptr);
    const wchar_t v[] = L"METALLIC";
    RegSetValueExW(tm, L"ColorName", 0, REG_SZ, reinterpret_cast<const BYTE*>(v), sizeof v);
    uint8_t saved = ThemeColorScheme;
    ThemeColorScheme = 0;
    SendMessageW(p->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(ThemeColorScheme, 2);
    RzForceVisualStyles(1);
    TColor a, b;
    SchemeGradientColors(gcsScheme, a, b);
    EXPECT_EQ(a, TColor(0xFFF9F9));
    RzForceVisualStyles(-1);
    ThemeColorScheme = saved;
    RegCloseKey(tm);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(scratch);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TuvreliPanelTest");
}

TEST(RzGroupBox, EveryStyleFramesAndInsets) {
    std::unique_ptr<TForm> f(NewForm(500, 400, clWhite));
    auto make = [&](TRzGroupBoxStyle style, int x, int y, const char* caption) {
        auto* g = NewPanel<TRzGroupBox>(f.get(), x, y, 100, 60);
        g->SetGroupStyle(style);
        g->SetColor(clWhite);
        g->SetFlatColor(clBlack);
        g->SetFlatColorAdjustment(0);
        g->Font()->SetName("Arial");
        g->Font()->SetHeight(-12);
        g->SetCaption(caption);
        return g;
    };
    auto* flat = make(gsFlat, 0, 0, "");
    int th = TextHeight(flat->Font(), "Pp"), h = TextHeight(flat->Font(), "Yy");
    int y0 = th / 2 - 1;
    Shot sf(flat->Handle());
    EXPECT_EQ(sf.At(0, y0 + 2), 0u);
    EXPECT_EQ(sf.At(0, y0 + 1), 0xFFFFFFu);  // cut corner
    EXPECT_EQ(sf.At(1, y0 + 1), 0u);
    EXPECT_EQ(sf.At(2, y0), 0u);
    EXPECT_EQ(sf.At(99, 30), 0u);
    EXPECT_EQ(sf.At(50, 59), 0u);
    EXPECT_EQ(sf.At(50, 30), 0xFFFFFFu);
    TRect r = Rect(0, 0, 100, 60);
    flat->AdjustClientRect(r);
    EXPECT_EQ(r, Rect(1, h + 1, 99, 59));

    auto* standard = make(gsStandard, 120, 0, "Ab");
    standard->Font()->SetColor(clRed);
    Shot ss(standard->Handle());
    TRect cap = standard->CaptionRect();
    EXPECT_EQ(cap.Left, 8);
    EXPECT_EQ(ss.At(0, 40), Rgb(clBtnShadow));  // groove
    EXPECT_EQ(ss.At(1, 40), Rgb(clBtnHighlight));
    EXPECT_EQ(ss.At(4, y0), Rgb(clBtnShadow));  // the top runs through the caption line...
    int groove = 0, ink = 0;
    for (int x = cap.Left; x < cap.Right; ++x) {
        groove += ss.At(x, y0) == Rgb(clBtnShadow);
        for (int y = 0; y < cap.Bottom; ++y) ink += ss.At(x, y) == 0x0000FFu;
    }
    EXPECT_EQ(groove, 0);  // ... and is covered by the caption box
    EXPECT_GT(ink, 5);
    r = Rect(0, 0, 100, 60);
    standard->AdjustClientRect(r);
    EXPECT_EQ(r, Rect(2, h + 2, 98, 58));
    standard->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(standard->CaptionRect().Right, 92);

    auto* top = make(gsTopLine, 240, 0, "");
    Shot st(top->Handle());
    EXPECT_EQ(st.At(50, y0), Rgb(clBtnShadow));
    EXPECT_EQ(st.At(50, y0 + 1), Rgb(clBtnHighlight));
    EXPECT_EQ(st.At(0, 40), 0xFFFFFFu);
    r = Rect(0, 0, 100, 60);
    top->AdjustClientRect(r);
    EXPECT_EQ(r.Top, h);

    auto* banner = make(gsBanner, 0, 100, "Ab");
    banner->SetGradientColorStyle(gcsCustom);
    banner->SetGradientColorStart(0x0000FF);
    banner->SetGradientColorStop(0x0000FF);
    int hc = TextHeight(banner->Font(), "Ab");
    Shot sb(banner->Handle());
    EXPECT_EQ(sb.At(0, 3), 0u);  // the outline round the caption strip
    EXPECT_EQ(sb.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(sb.At(50, hc + 5), 0u);
    EXPECT_EQ(sb.At(60, 2), 0x0000FFu);  // the strip's gradient
    EXPECT_EQ(sb.At(50, 40), 0xFFFFFFu);
    r = Rect(0, 0, 100, 60);
    banner->AdjustClientRect(r);
    EXPECT_EQ(r.Top, h + 8);

    auto* under = make(gsUnderline, 120, 100, "Ab");
    Shot su(under->Handle());
    EXPECT_EQ(su.At(50, hc + 2), 0u);
    EXPECT_EQ(su.At(50, hc + 3), 0xFFFFFFu);
    r = Rect(0, 0, 100, 60);
    under->AdjustClientRect(r);
    EXPECT_EQ(r.Top, h + 4);

    auto* custom = make(gsCustom, 240, 100, "");
    custom->SetBorderOuter(fsFlat);
    Shot sc(custom->Handle());
    EXPECT_EQ(sc.At(0, 30), 0u);  // painted as a panel
    r = Rect(0, 0, 100, 60);
    custom->AdjustClientRect(r);
    EXPECT_EQ(r, Rect(2, 2, 98, 58));
    custom->SetCaption("Ab");
    r = Rect(0, 0, 100, 60);
    custom->AdjustClientRect(r);
    EXPECT_EQ(r, Rect(2, h + 2, 98, 58));

    // A transparent gsFlat box leaves the caption strip free of the frame.
    auto* clear = make(gsFlat, 0, 200, "Abc");
    clear->Font()->SetColor(clRed);
    clear->SetTransparent(true);
    f->SetColor(0x00C000);
    Shot sx(clear->Handle());
    TRect c2 = clear->CaptionRect();
    int line = 0, form = 0;
    for (int x = c2.Left; x < c2.Right; ++x) {
        line += sx.At(x, y0) == 0u;
        form += sx.At(x, y0) == 0x00C000u;
    }
    EXPECT_EQ(line, 0);
    EXPECT_GT(form, 0);
    EXPECT_EQ(sx.At(4, y0), 0u);
    EXPECT_EQ(sx.At(50, 30), 0x00C000u);
}

TEST(RzPanel, ChildrenAlignInsideTheBordersAndCaptionPlaces) {
    std::unique_ptr<TForm> f(NewForm(300, 200));
    auto* p = NewPanel<TRzPanel>(f.get(), 10, 10, 120, 80);
    p->SetBorderWidth(3);
    auto* child = NewPanel<TRzPanel>(p, 0, 0, 10, 10);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), Rect(5, 5, 115, 75));  // raised border 2, border width 3
    p->SetBorderOuter(fsFlat);
    EXPECT_EQ(child->BoundsRect(), Rect(4, 4, 116, 76));
    p->SetBorderSides(SideBit(sdLeft));
    EXPECT_EQ(child->BoundsRect(), Rect(4, 3, 117, 77));
    delete child;

    p->SetBorderOuter(fsNone);
    p->SetBorderWidth(0);
    p->SetCaption("Ab");
    p->Font()->SetName("Arial");
    p->Font()->SetHeight(-14);
    p->Font()->SetColor(clRed);
    auto inkRows = [&](int& top, int& bottom) {
        Shot s(p->Handle());
        top = s.H;
        bottom = -1;
        for (int y = 0; y < s.H; ++y)
            for (int x = 0; x < s.W; ++x)
                if (s.At(x, y) == 0x0000FFu) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
    };
    int t, b;
    p->SetAlignmentVertical(avTop);
    inkRows(t, b);
    EXPECT_LT(t, 6);
    p->SetAlignmentVertical(avBottom);
    inkRows(t, b);
    EXPECT_GT(b, 70);
    p->SetAlignmentVertical(avCenter);
    inkRows(t, b);
    EXPECT_NEAR((t + b) / 2.0, 40, 4);
    p->SetEnabled(false);
    Shot grey(p->Handle());
    EXPECT_EQ(grey.Count(0x0000FFu), 0);
    EXPECT_GT(grey.Count(Rgb(clGrayText)), 3);
}

TEST(RzGroupBox, AcceleratorFocusesTheFirstChild) {
    std::unique_ptr<TForm> f(NewForm(300, 200));
    auto* g = NewPanel<TRzGroupBox>(f.get(), 10, 10, 200, 150);
    g->SetCaption("&Group");
    auto* inner = new TRzButton(g);
    inner->SetParent(g);
    inner->SetBounds(10, 30, 75, 25);
    auto* outside = new TRzButton(f.get());
    outside->SetParent(f.get());
    outside->SetBounds(220, 10, 75, 25);
    outside->SetFocus();
    Pump();
    PostMessageW(outside->Handle(), WM_SYSCHAR, 'g', 1 << 29);
    Pump();
    EXPECT_TRUE(inner->Focused());
}

TEST(RzGroupBox, ThemedBranchPaints) {
    std::unique_ptr<TForm> f(NewForm(300, 200, clWhite));
    auto* g = NewPanel<TRzGroupBox>(f.get(), 10, 10, 150, 100);
    g->SetGroupStyle(gsStandard);
    g->SetCaption("Themed");
    g->SetColor(clYellow);
    RzForceVisualStyles(1);
    Shot themed(g->Handle(), TShotPaint::Repainted);
    TRect cap = g->CaptionRect();
    RzForceVisualStyles(-1);
    Shot classic(g->Handle(), TShotPaint::Repainted);
    // Themed, the form shows through inside the theme's frame and the theme
    // writes the caption; classic, the box fills with its own colour.
    EXPECT_GT(cap.Right, cap.Left);
    EXPECT_EQ(themed.At(75, 60), 0xFFFFFFu);
    EXPECT_NE(themed.At(0, 50), 0xFFFFFFu);
    int ink = 0;
    for (int y = cap.Top; y < cap.Bottom; ++y)
        for (int x = cap.Left; x < cap.Right; ++x) ink += themed.At(x, y) != 0xFFFFFFu;
    EXPECT_GT(ink, 10);
    EXPECT_EQ(classic.At(75, 60), Rgb(clYellow));
}
