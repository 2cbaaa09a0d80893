// The six lesson forms from text to binary (the build's form compiler) to
// loaded forms: every object of the definition is a component of that class
// with the stated bounds, captions and states, and the events are bound to
// the form's own handlers. Then the cut-down game forms' closing behaviour.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "FormData.h"
#include "Jpeg.h"
#include "LessonTestUtil.h"
#include "LessonUnits.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit51.h"
#include "Unit52.h"
#include "Unit6.h"

namespace {

FormObject ResourceTree(const wchar_t* Name) {
    HRSRC r = FindResourceW(nullptr, Name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!r) throw Exception("no resource");
    HGLOBAL g = LoadResource(nullptr, r);
    auto* p = static_cast<const uint8_t*>(LockResource(g));
    return ReadFormBinary(p, SizeofResource(nullptr, r));
}

const FormValue* Prop(const FormObject& o, const char* Name) {
    const FormProperty* p = o.Find(Name);
    return p ? &p->Value : nullptr;
}

bool IsTrue(const FormValue* v, bool Default) {
    if (!v) return Default;
    return v->Kind == FormValueKind::True;
}

// Compares one object of the definition with the component read from it.
void CheckObject(TForm* Form, const FormObject& o, TWinControl* ExpectedParent) {
    SCOPED_TRACE(std::string(Form->ClassName()) + "." + o.Name);
    TComponent* c = Form->FindComponent(o.Name);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->ClassName(), o.ClassName.c_str());
    auto* ctl = dynamic_cast<TControl*>(c);
    if (!ctl) return;
    EXPECT_EQ(ctl->Parent(), ExpectedParent);
    bool autoSize = IsTrue(Prop(o, "AutoSize"), o.ClassName == "TLabel" || o.ClassName == "TRzLabel");
    if (auto* v = Prop(o, "Left")) {
        EXPECT_EQ(ctl->Left(), v->Int);
    }
    if (auto* v = Prop(o, "Top")) {
        EXPECT_EQ(ctl->Top(), v->Int);
    }
    if (!autoSize) {
        if (auto* v = Prop(o, "Width")) {
            EXPECT_EQ(ctl->Width(), v->Int);
        }
        if (auto* v = Prop(o, "Height")) {
            EXPECT_EQ(ctl->Height(), v->Int);
        }
    }
    if (auto* v = Prop(o, "Caption")) {
        EXPECT_EQ(ctl->Caption(), v->Str);
    }
    EXPECT_EQ(ctl->Enabled(), IsTrue(Prop(o, "Enabled"), true));
    EXPECT_EQ(ctl->Visible(), IsTrue(Prop(o, "Visible"), true));
    if (auto* v = Prop(o, "Font.Height")) {
        EXPECT_EQ(ctl->Font()->Height(), v->Int);
    }
    if (auto* v = Prop(o, "Font.Name")) {
        EXPECT_EQ(ctl->Font()->Name(), v->Str);
    }
    for (const FormObject& child : o.Children) CheckObject(Form, child, dynamic_cast<TWinControl*>(ctl));
}

void CheckForm(TForm* Form, const wchar_t* Resource) {
    FormObject tree = ResourceTree(Resource);
    SCOPED_TRACE(Form->ClassName());
    EXPECT_EQ(tree.ClassName, Form->ClassName());
    EXPECT_EQ(Form->Caption(), Prop(tree, "Caption")->Str);
    EXPECT_EQ(Form->ClientWidth(), Prop(tree, "ClientWidth")->Int);
    EXPECT_EQ(Form->ClientHeight(), Prop(tree, "ClientHeight")->Int);
    if (Prop(tree, "BorderStyle")) {
        EXPECT_EQ(Form->BorderStyle(), bsSingle);
    }
    int components = 0;
    std::function<void(const FormObject&)> count = [&](const FormObject& o) {
        for (const FormObject& c : o.Children) ++components, count(c);
    };
    count(tree);
    // Components a form makes in code at its creation (the sorting game's
    // placeholders) have no name; the named ones are the definition's.
    int named = 0;
    for (int i = 0; i < Form->ComponentCount(); ++i) named += !Form->Components(i)->Name().empty();
    EXPECT_EQ(named, components);
    for (const FormObject& child : tree.Children) CheckObject(Form, child, Form);
}

// Straight-alpha pixels of a 32-bit picture, 0xAARRGGBB, top row first.
std::vector<uint32_t> AlphaPixels(TBitmap* B) {
    std::vector<uint32_t> px;
    for (int y = 0; y < B->Height(); ++y) {
        auto* row = static_cast<const uint8_t*>(B->ScanLine(y));
        for (int x = 0; x < B->Width(); ++x)
            px.push_back(uint32_t(row[4 * x + 3]) << 24 | uint32_t(row[4 * x + 2]) << 16 |
                         uint32_t(row[4 * x + 1]) << 8 | row[4 * x]);
    }
    return px;
}

// Src over Dst with the source's straight alpha, per channel, rounded.
uint32_t Over(uint32_t Src, uint32_t Dst) {
    unsigned a = Src >> 24;
    auto mix = [a](unsigned s, unsigned d) { return (s * a + d * (255 - a) + 127) / 255; };
    return mix(Red(Src), Red(Dst)) << 16 | mix(Green(Src), Green(Dst)) << 8 | mix(Blue(Src), Blue(Dst));
}

int ChannelDistance(uint32_t A, uint32_t B) {
    return std::max({std::abs(Red(A) - Red(B)), std::abs(Green(A) - Green(B)), std::abs(Blue(A) - Blue(B))});
}

// Pixels of the picture's rectangle where Shown is not Over(picture, Under)
// within the rounding of the blend; Partial counts the half-transparent ones.
int BlendMismatches(const Pixels& Shown, const Pixels& Under, TImage* Img, int& Partial, int& Clear,
                    const TRect* Skip = nullptr) {
    std::vector<uint32_t> pic = AlphaPixels(static_cast<TBitmap*>(Img->Picture()->Graphic()));
    int w = Img->Picture()->Width(), bad = 0;
    Partial = Clear = 0;
    for (int i = 0; i < int(pic.size()); ++i) {
        int x = Img->Left() + i % w, y = Img->Top() + i / w;
        if (Skip && x >= Skip->Left && x < Skip->Right && y >= Skip->Top && y < Skip->Bottom) continue;
        unsigned a = pic[size_t(i)] >> 24;
        Partial += a > 0 && a < 255;
        Clear += a == 0;
        bad += ChannelDistance(Shown.At(x, y), Over(pic[size_t(i)], Under.At(x, y))) > 3;
    }
    return bad;
}

TImage* MenuImage(const char* Name) { return static_cast<TImage*>(Form2->FindComponent(Name)); }

}  // namespace

TEST(LessonForms, MenuDefinitionLoadsWhole) {
    CheckForm(Form2, L"TFORM2");
    EXPECT_EQ(Form2->BorderIcons(), BorderIconBit(biSystemMenu));
    EXPECT_EQ(Form2->Position(), poScreenCenter);
    EXPECT_FALSE(Form2->HorzScrollBar()->Visible());
    EXPECT_EQ(Form2->OnShow, TNotifyEvent::Of<&TForm2::FormShow>(Form2));
    EXPECT_EQ(Form2->Shape2->OnMouseDown, TMouseEvent::Of<&TForm2::Shape2MouseDown>(Form2));
    EXPECT_EQ(Form2->Shape3->OnMouseDown, TMouseEvent::Of<&TForm2::Shape3MouseDown>(Form2));
    EXPECT_EQ(Form2->Shape1->OnMouseDown, TMouseEvent::Of<&TForm2::Shape1MouseDown>(Form2));
    EXPECT_EQ(Form2->RzLabel13->OnClick, TNotifyEvent::Of<&TForm2::RzLabel13Click>(Form2));
    EXPECT_EQ(Form2->RzLabel1->OnClick, TNotifyEvent::Of<&TForm2::RzLabel1Click>(Form2));
    EXPECT_EQ(Form2->Timer1->OnTimer, TNotifyEvent::Of<&TForm2::Timer1Timer>(Form2));
    EXPECT_EQ(Form2->Shape2->Cursor(), crHandPoint);
    // The pictures are there: the background is not the form's plain colour.
    Pixels px = Render(Form2);
    int plain = 0;
    for (int y = 0; y < 666; y += 37)
        for (int x = 0; x < 992; x += 41) plain += px.At(x, y) == 0xF0F0F0 || px.At(x, y) == 0xC0C0C0;
    EXPECT_LT(plain, 10);
}

// What the menu window shows: the JPEG background as decoded, and the round
// buttons' pictures blended over it with their own per-pixel alpha, the ball
// over the disc.
TEST(LessonForms, MenuPicturesAreBlendedOverTheJpegBackground) {
    auto* jpeg = dynamic_cast<TJPEGImage*>(MenuImage("Image1")->Picture()->Graphic());
    ASSERT_NE(jpeg, nullptr);
    ASSERT_EQ(jpeg->Width(), 992);
    ASSERT_EQ(jpeg->Height(), 666);
    for (const char* n : {"Image2", "Image3", "Image31", "Image32", "Image4", "Image5", "Image6", "Image7",
                          "Image8", "Image9"}) {
        TGraphic* g = MenuImage(n)->Picture()->Graphic();
        ASSERT_NE(g, nullptr) << n;
        EXPECT_STREQ(g->ClassName(), "TPNGGraphic") << n;
        EXPECT_EQ(static_cast<TBitmap*>(g)->PixelFormat(), pf32bit) << n;
        EXPECT_EQ(g->Width(), 80) << n;
        EXPECT_EQ(g->Height(), 78) << n;
    }

    // Everything but the background hidden for a while.
    std::vector<TControl*> hidden;
    for (int i = 0; i < Form2->ControlCount(); ++i) {
        TControl* c = Form2->Controls(i);
        if (c->Name() != "Image1" && c->Visible()) hidden.push_back(c), c->SetVisible(false);
    }
    Pixels under = Grab(Form2);

    TBitmap decoded;
    decoded.SetPixelFormat(pf32bit);
    decoded.SetSize(992, 666);
    decoded.Canvas()->Draw(0, 0, jpeg);
    std::vector<uint32_t> ref = AlphaPixels(&decoded);
    int off = 0;
    std::set<uint32_t> colours;
    for (int y = 0; y < 666; ++y)
        for (int x = 0; x < 992; ++x) {
            off += ChannelDistance(under.At(x, y), ref[size_t(y) * 992 + x]) > 1;
            colours.insert(under.At(x, y));
        }
    EXPECT_EQ(off, 0) << "the background differs from its decoded JPEG";
    EXPECT_GT(colours.size(), 200u) << "the background is a picture, not a plain fill";

    // One picture at a time over the background, then the stack as the menu shows it.
    int partial = 0, clear = 0;
    for (const char* n : {"Image2", "Image3"}) {
        SCOPED_TRACE(n);
        MenuImage(n)->SetVisible(true);
        Pixels shown = Grab(Form2);
        MenuImage(n)->SetVisible(false);
        EXPECT_EQ(BlendMismatches(shown, under, MenuImage(n), partial, clear), 0);
        EXPECT_GT(partial, 20) << "the edge is anti-aliased";
        EXPECT_GT(clear, 100) << "the corners are see-through";
    }
    for (TControl* c : hidden) c->SetVisible(true);
    Pixels menu = Grab(Form2);
    MenuImage("Image3")->SetVisible(false);
    Pixels discOnly = Grab(Form2);
    MenuImage("Image3")->SetVisible(true);
    TControl* digit = static_cast<TControl*>(Form2->FindComponent("RzLabel5"));
    TRect skip = Rect(digit->Left(), digit->Top(), digit->Left() + digit->Width(), digit->Top() + digit->Height());
    EXPECT_EQ(BlendMismatches(menu, discOnly, MenuImage("Image3"), partial, clear, &skip), 0);
    // The disc shows through the ball's see-through parts, and the background
    // through both.
    EXPECT_EQ(BlendMismatches(discOnly, under, MenuImage("Image2"), partial, clear, &skip), 0);
}

TEST(LessonForms, GameAndPrizeDefinitionsLoadWhole) {
    Application->CreateForm(sost);
    CheckForm(sost, L"TSOST");
    Application->CreateForm(raspr1);
    CheckForm(raspr1, L"TRASPR1");
    Application->CreateForm(raspr);
    CheckForm(raspr, L"TRASPR");
    Application->CreateForm(kros);
    CheckForm(kros, L"TKROS");
    Application->CreateForm(Form1);
    CheckForm(Form1, L"TFORM1");

    // The crossword's definition shows it at creation; the others wait.
    EXPECT_TRUE(kros->Visible());
    EXPECT_FALSE(sost->Visible());
    EXPECT_FALSE(raspr->Visible());
    EXPECT_FALSE(raspr1->Visible());
    EXPECT_FALSE(Form1->Visible());
    EXPECT_EQ(raspr->Color(), clGradientActiveCaption);
    EXPECT_EQ(Form1->Color(), clAqua);
    EXPECT_EQ(Form1->BorderIcons(), 0u);
    // "ДОМ": disabled in the games until the win, enabled on the prize screen.
    for (TRzLabel* home : {sost->RzLabel13, raspr->RzLabel13, kros->RzLabel13}) {
        EXPECT_EQ(home->Caption(), "ДОМ");
        EXPECT_FALSE(home->Enabled());
    }
    EXPECT_TRUE(Form1->RzLabel13->Enabled());
    EXPECT_EQ(sost->OnClose, TCloseEvent::Of<&Tsost::FormClose>(sost));
    EXPECT_EQ(raspr->OnClose, TCloseEvent::Of<&Traspr::FormClose>(raspr));
    EXPECT_EQ(kros->OnClose, TCloseEvent::Of<&Tkros::FormClose>(kros));
    EXPECT_EQ(raspr->RzLabel13->OnClick, TNotifyEvent::Of<&Traspr::RzButton3Click>(raspr));
}

TEST(LessonForms, DisabledHomeButtonDoesNothing) {
    Form2->Hide();
    sost->Show();
    Pump();
    ClickControl(sost, sost->RzLabel13);
    EXPECT_TRUE(sost->Visible());
    EXPECT_TRUE(sost->Image32->Visible());
    EXPECT_FALSE(Form2->Visible());
}

TEST(LessonForms, SortingGameCountsItsWinOnlyWhenClosedAfterIt) {
    Form2->Label1->SetCaption("0");
    raspr->Show();
    Pump();
    raspr->Close();  // before the win
    Pump();
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    EXPECT_TRUE(Form2->Visible());
    raspr->RzLabel13->SetEnabled(true);
    raspr->Show();
    Pump();
    PostMessageW(raspr->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // close box after the win
    EXPECT_TRUE(PumpUntil([] { return !raspr->Visible(); }));
    EXPECT_EQ(Form2->Label1->Caption(), "1");
}
