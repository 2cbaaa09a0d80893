// The framed controls as form definitions create them, the parent
// background, rotated fonts and the display depth.
#include <gtest/gtest.h>

#include <memory>

#include "FormLoader.h"
#include "Forms.h"
#include "RzBckgnd.h"
#include "RzLabel.h"
#include "RzLine.h"
#include "Shapes.h"
#include "TypeInfo.h"
#include "WineUi.h"

namespace {
class TFramedForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TFramedForm"; }
    void LabelClick(TObject*) { ++Clicks; }
    int Clicks = 0;
};

std::unique_ptr<TFramedForm> LoadText(const char8_t* utf8) {
    static bool registered = false;
    if (!registered) {
        RegisterFormClass<TFramedForm>("TFramedForm").Handler<&TFramedForm::LabelClick>("LabelClick");
        registered = true;
    }
    return wineui::LoadFormText<TFramedForm>(utf8, "framed.form");
}

using wineui::Find;
}  // namespace

TEST(FramedForms, DefinitionsCreateAndSetEveryControl) {
    auto form = LoadText(u8R"(object FramedForm: TFramedForm
  ClientWidth = 300
  ClientHeight = 200
  object Back: TRzBackground
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    Align = alClient
    GradientColorStart = clAqua
    GradientColorStop = 16777173
    GradientDirection = gdDiagonalUp
    FrameStyle = fsFlat
  end
  object Label7: TRzLabel
    Left = 10
    Top = 20
    Width = 100
    Height = 30
    Cursor = crHandPoint
    Alignment = taCenter
    AutoSize = False
    Caption = 'Выход'
    Font.Color = clRed
    Font.Height = -21
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    Layout = tlCenter
    ParentFont = False
    Transparent = True
    BlinkColor = clYellow
    BorderOuter = fsFlatRounded
    BorderSides = [sdLeft, sdBottom]
    FrameSides = [sdTop]
    ShadowColor = clYellow
    ShadowDepth = 3
    TextStyle = tsRaised
    Angle = 30
    Rotation = roFlat
    OnClick = LabelClick
  end
  object Line1: TRzLine
    Left = 50
    Top = 60
    Width = 120
    Height = 80
    LineColor = clRed
    LineWidth = 2
    LineSlope = lsUp
    ShowArrows = saStart
  end
  object Star1: TStarShape
    Left = 200
    Top = 100
    Width = 65
    Height = 65
    Brush.Color = clYellow
    Pen.Color = clRed
    Pen.Width = 5
    ShadowOffset = 3
    Visible = False
  end
end
)");
    auto* back = Find<TRzBackground>(form.get(), "Back");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GradientDirection(), gdDiagonalUp);
    EXPECT_EQ(back->GradientColorStop(), TColor(0xFFFFD5));
    EXPECT_EQ(back->Align(), alClient);
    EXPECT_EQ(back->FrameStyle(), fsFlat);

    auto* label = Find<TRzLabel>(form.get(), "Label7");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "Выход");
    EXPECT_EQ(label->TextStyle(), tsRaised);
    EXPECT_EQ(label->ShadowDepth(), 3);
    EXPECT_EQ(label->BlinkColor(), clYellow);
    EXPECT_EQ(label->BorderOuter(), fsFlatRounded);
    EXPECT_EQ(label->BorderSides(), SideBit(sdLeft) | SideBit(sdBottom));
    EXPECT_EQ(label->Font()->Color(), clRed);
    EXPECT_EQ(label->FaceColor(), clRed);  // taken from the font on loading
    EXPECT_EQ(label->Layout(), tlCenter);
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(label->Angle(), 30);  // Rotation streamed after Angle keeps it
    EXPECT_EQ(label->Rotation(), roFlat);
    EXPECT_EQ(label->Width(), 100);
    ASSERT_TRUE(label->OnClick);
    label->OnClick(label);
    EXPECT_EQ(form->Clicks, 1);

    auto* line = Find<TRzLine>(form.get(), "Line1");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->LineWidth(), 2);  // read before ShowArrows: stays even
    EXPECT_EQ(line->ShowArrows(), saStart);
    EXPECT_EQ(line->LineSlope(), lsUp);
    EXPECT_EQ(line->StartPoint(), (TPoint{10, 70}));

    auto* star = Find<TStarShape>(form.get(), "Star1");
    ASSERT_NE(star, nullptr);
    EXPECT_EQ(star->Pen()->Width(), 5);
    EXPECT_EQ(star->Brush()->Color(), clYellow);
    EXPECT_EQ(star->ShadowOffset(), 3u);
    EXPECT_FALSE(star->Visible());
}

TEST(FramedForms, ParentBackgroundShowsWhatLiesUnder) {
    auto form = LoadText(u8R"(object FramedForm: TFramedForm
  ClientWidth = 100
  ClientHeight = 100
  Color = clYellow
  object Back: TRzBackground
    Left = 0
    Top = 0
    Width = 50
    Height = 100
    GradientColorStart = clRed
    GradientColorStop = clRed
    GradientDirection = gdDiagonalUp
  end
  object Label1: TRzLabel
    Left = 40
    Top = 10
    Width = 20
    Height = 20
    AutoSize = False
    Transparent = True
  end
end
)");
    auto* label = Find<TRzLabel>(form.get(), "Label1");
    ASSERT_NE(label, nullptr);
    form->HandleNeeded();
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(20, 20);
    HDC dc = bmp.Canvas()->Handle();
    PaintParentBackground(label, dc, false);
    EXPECT_EQ(GetPixel(dc, 2, 5) & 0xFFFFFF, 0x0000FFu);   // the background under the left half
    EXPECT_EQ(GetPixel(dc, 15, 5) & 0xFFFFFF, 0x00FFFFu);  // the form's colour beyond it
    POINT org;
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);  // the DC is given back as it was
    // No parent: nothing is painted.
    TRzLabel orphan(nullptr);
    PaintParentBackground(&orphan, dc, true);
    EXPECT_EQ(GetPixel(dc, 2, 5) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(GetPixel(dc, 15, 5) & 0xFFFFFF, 0x00FFFFu);
}

TEST(Fonts, RotatedFontsAndTrueTypeLeakNothing) {
    EXPECT_TRUE(FullColorDisplay);  // a 24-bit screen
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-16);
    f.SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsItalic));
    HFONT h = CreateRotatedFont(&f, 45);
    ASSERT_NE(h, nullptr);
    LOGFONTW lf{};
    GetObjectW(h, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfEscapement, 450);
    EXPECT_EQ(lf.lfOrientation, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"Arial");
    DeleteObject(h);
    EXPECT_TRUE(IsTrueTypeFont(&f));

    // Painting rotated and curved labels gives the DC back with its own
    // font selected, and measuring TrueType leaves the font deletable (not
    // left selected in a screen DC). Wine answers no GDI object counts, so
    // the selection state is what is checked.
    TRzLabel l(nullptr);
    l.SetAutoSize(false);
    l.SetBounds(0, 0, 80, 80);
    l.SetCaption("Text");
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(80, 80);
    HDC dc = bmp.Canvas()->Handle();
    HGDIOBJ own = GetCurrentObject(dc, OBJ_FONT);
    for (int a : {0, 30, 90, 180, 270}) {
        l.SetAngle(a);
        l.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own) << a;
    }
    l.SetRotation(roCurve);
    l.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own);
    TFont probe;
    probe.SetName("Arial");
    HFONT ph = probe.Handle();
    IsTrueTypeFont(&probe);
    HDC screen = GetDC(nullptr);
    EXPECT_NE(GetCurrentObject(screen, OBJ_FONT), ph);
    ReleaseDC(nullptr, screen);
}

TEST(Gradients, GradientFrameColoursOnlyTheRing) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(30, 30);
    HDC dc = bmp.Canvas()->Handle();
    RECT all{0, 0, 30, 30};
    HBRUSH b = CreateSolidBrush(0xFF00FF);
    FillRect(dc, &all, b);
    DeleteObject(b);
    PaintGradientFrame(bmp.Canvas(), Rect(0, 0, 30, 30), gdHorizontalEnd, clBlack, clWhite);
    EXPECT_NE(GetPixel(dc, 0, 15) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_NE(GetPixel(dc, 1, 15) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(GetPixel(dc, 2, 15) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(GetPixel(dc, 15, 15) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_NE(GetPixel(dc, 28, 15) & 0xFFFFFF, 0xFF00FFu);
    // Clipping is removed afterwards.
    b = CreateSolidBrush(0x00FF00);
    FillRect(dc, &all, b);
    DeleteObject(b);
    EXPECT_EQ(GetPixel(dc, 15, 15) & 0xFFFFFF, 0x00FF00u);
}

namespace {
// Handlers of the class library's own event types, as form data bind them.
class TEventForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TEventForm"; }
    void Popup(TObject* Sender, TPoint, bool& Handled) {
        Seen.push_back(std::string("popup ") + static_cast<TComponent*>(Sender)->Name().c_str());
        Handled = true;  // no menu
    }
    void StartDock(TObject*, TDragDockObject*&) { Seen.push_back("start"); }
    void EndDock(TObject*, TObject*, int, int) { Seen.push_back("end"); }
    std::vector<std::string> Seen;
};
}  // namespace

TEST(FramedForms, InheritedEventsBindTheClassLibrarysOwn) {
    RegisterFormClass<TEventForm>("TEventForm")
        .Handler<&TEventForm::Popup>("Popup")
        .Handler<&TEventForm::StartDock>("StartDock")
        .Handler<&TEventForm::EndDock>("EndDock");
    for (const std::string cls : {"TRzLabel", "TRzLine", "TRzEdit", "TRzButton"}) {
        SCOPED_TRACE(cls);
        const std::string text = "object EventForm: TEventForm\n  ClientWidth = 200\n  ClientHeight = 120\n  object C: " +
                                 cls + (cls == "TRzLabel" ? "\n    AutoSize = False" : "") +  // keeps its size only so
                                 "\n    Left = 20\n    Top = 20\n    Width = 80\n    Height = 40\n"
                                 "    OnContextPopup = Popup\n    OnStartDock = StartDock\n    OnEndDock = EndDock\n  end\nend\n";
        auto form = wineui::LoadFormText<TEventForm>(reinterpret_cast<const char8_t*>(text.c_str()), "events.form");
        auto* c = Find<TControl>(form.get(), "C");
        ASSERT_NE(c, nullptr);
        form->Show();
        wineui::Pump(60);
        const TPoint at = c->ClientToScreen(Point(10, 10));
        testwin::MouseAt(at.X, at.Y, MOUSEEVENTF_RIGHTDOWN);
        testwin::MouseAt(at.X, at.Y, MOUSEEVENTF_RIGHTUP);
        wineui::PumpUntil([&] { return !form->Seen.empty(); }, 1000);
        // The docking machinery calls the class library's events.
        TDragDockObject* drag = nullptr;
        ASSERT_TRUE(c->OnStartDock && c->OnEndDock);
        c->OnStartDock(c, drag);
        c->OnEndDock(c, nullptr, 0, 0);
        EXPECT_EQ(form->Seen, (std::vector<std::string>{"popup C", "start", "end"}));
    }
}
