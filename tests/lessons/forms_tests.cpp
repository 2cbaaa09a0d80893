// The six lesson forms from text to binary (the build's form compiler) to
// loaded forms: every object of the definition is a component of that class
// with the stated bounds, captions and states, and the events are bound to
// the form's own handlers. Then the cut-down game forms' closing behaviour.
#include <gtest/gtest.h>

#include "FormData.h"
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
    if (auto* v = Prop(o, "Left")) EXPECT_EQ(ctl->Left(), v->Int);
    if (auto* v = Prop(o, "Top")) EXPECT_EQ(ctl->Top(), v->Int);
    if (!autoSize) {
        if (auto* v = Prop(o, "Width")) EXPECT_EQ(ctl->Width(), v->Int);
        if (auto* v = Prop(o, "Height")) EXPECT_EQ(ctl->Height(), v->Int);
    }
    if (auto* v = Prop(o, "Caption")) EXPECT_EQ(ctl->Caption(), v->Str);
    EXPECT_EQ(ctl->Enabled(), IsTrue(Prop(o, "Enabled"), true));
    EXPECT_EQ(ctl->Visible(), IsTrue(Prop(o, "Visible"), true));
    if (auto* v = Prop(o, "Font.Height")) EXPECT_EQ(ctl->Font()->Height(), v->Int);
    if (auto* v = Prop(o, "Font.Name")) EXPECT_EQ(ctl->Font()->Name(), v->Str);
    for (const FormObject& child : o.Children) CheckObject(Form, child, dynamic_cast<TWinControl*>(ctl));
}

void CheckForm(TForm* Form, const wchar_t* Resource) {
    FormObject tree = ResourceTree(Resource);
    SCOPED_TRACE(Form->ClassName());
    EXPECT_EQ(tree.ClassName, Form->ClassName());
    EXPECT_EQ(Form->Caption(), Prop(tree, "Caption")->Str);
    EXPECT_EQ(Form->ClientWidth(), Prop(tree, "ClientWidth")->Int);
    EXPECT_EQ(Form->ClientHeight(), Prop(tree, "ClientHeight")->Int);
    if (Prop(tree, "BorderStyle")) EXPECT_EQ(Form->BorderStyle(), bsSingle);
    int components = 0;
    std::function<void(const FormObject&)> count = [&](const FormObject& o) {
        for (const FormObject& c : o.Children) ++components, count(c);
    };
    count(tree);
    EXPECT_EQ(Form->ComponentCount(), components);
    for (const FormObject& child : tree.Children) CheckObject(Form, child, Form);
}

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

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application->Initialize();
    StartProgramUnits();
    Application->CreateForm(Form2);
    Form2->Show();
    Pump();
    int rc = RUN_ALL_TESTS();
    Application->DestroyForms();
    StopProgramUnits();
    return rc;
}
