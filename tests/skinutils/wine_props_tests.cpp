// Published properties read and changed by name on real controls of a real
// form, and on a small component of the tests' own whose set has elements
// whose names are parts of other names.
#include <gtest/gtest.h>

#include <windows.h>

#include "ExtControls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "TypeInfo.h"
#include "acntUtilsWin.h"

namespace {

enum TNutKind { nkPeanut, nkWalnut, nkHazel };
// Elements: mask 1 << element.
enum TNut { nuNut, nuNutmeg, nuWalnut, nuFig, nuLast = 31 };
using TNuts = uint32_t;

// Counts the writes of its set so that "nothing is written" can be seen.
class TNutBox : public TComponent {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TNutBox"; }
    TNuts Nuts() const { return FNuts; }
    void SetNuts(TNuts Value) {
        FNuts = Value;
        ++Writes;
    }
    TNutKind Kind() const { return FKind; }
    void SetKind(TNutKind Value) { FKind = Value; }
    const AnsiString& Label() const { return FLabel; }
    void SetLabel(const AnsiString& Value) { FLabel = Value; }
    double Weight() const { return FWeight; }
    void SetWeight(double Value) { FWeight = Value; }
    void SetSealed(bool Value) { FSealed = Value; }  // published without a getter
    bool Sealed() const { return FSealed; }
    int Writes = 0;

private:
    TNuts FNuts = 0;
    TNutKind FKind = nkPeanut;
    AnsiString FLabel;
    double FWeight = 0;
    bool FSealed = false;
};

constexpr TNuts Bit(TNut N) { return TNuts(1) << N; }

void RegisterNutBox() {
    static bool done = false;
    if (done) return;
    done = true;
    const TEnumInfo& nuts = RegisterEnum(
        "TNuts", {{"Nut", Bit(nuNut)}, {"Nutmeg", Bit(nuNutmeg)}, {"Walnut", Bit(nuWalnut)}, {"Fig", Bit(nuFig)},
                  {"Last", Bit(nuLast)}});
    const TEnumInfo& kind =
        RegisterEnum("TNutKind", {{"nkPeanut", nkPeanut}, {"nkWalnut", nkWalnut}, {"nkHazel", nkHazel}});
    RegisterPersistentClass<TNutBox>("TNutBox", "TComponent")
        .Set("Nuts", &TNutBox::Nuts, &TNutBox::SetNuts, nuts)
        .Enum("Kind", &TNutBox::Kind, &TNutBox::SetKind, kind)
        .Str("Label", &TNutBox::Label, &TNutBox::SetLabel)
        .Float("Weight", &TNutBox::SetWeight)
        .Bool("Sealed", &TNutBox::SetSealed);
}

struct NutBoxTest : ::testing::Test {
    TNutBox Box{nullptr};
    void SetUp() override { RegisterNutBox(); }
    AnsiString Text() {
        AnsiString t;
        EXPECT_TRUE(ReadPropertyText(&Box, *FindClassInfo("TNutBox"), "Nuts", t));
        return t;
    }
};

TEST_F(NutBoxTest, OrdinalValuesAndWhatIsNoOrdinal) {
    Box.SetNuts(Bit(nuNutmeg) | Bit(nuLast));
    Box.SetKind(nkHazel);
    Box.SetLabel("box");
    Box.SetTag(-98);
    EXPECT_EQ(OrdPropOf(&Box, "Nuts"), int64_t(Bit(nuNutmeg) | Bit(nuLast)));
    EXPECT_EQ(OrdPropOf(&Box, "Kind"), nkHazel);
    EXPECT_EQ(OrdPropOf(&Box, "kind"), nkHazel) << "names are looked up ignoring case";
    EXPECT_EQ(OrdPropOf(&Box, "Tag"), -98) << "inherited from TComponent";
    EXPECT_EQ(OrdPropOf(&Box, "Label"), -1) << "a string is no ordinal";
    EXPECT_EQ(OrdPropOf(&Box, "Weight"), -1) << "a float is no ordinal";
    Box.SetSealed(true);
    EXPECT_EQ(OrdPropOf(&Box, "Sealed"), -1) << "no getter: cannot be read";
    EXPECT_EQ(OrdPropOf(&Box, "Colour"), -1);
    EXPECT_EQ(OrdPropOf(nullptr, "Kind"), -1);
    // A class the registry does not know.
    struct TStray : TComponent {
        using TComponent::TComponent;
        const char* ClassName() const override { return "TStray"; }
    } stray(nullptr);
    stray.SetTag(5);
    EXPECT_EQ(OrdPropOf(&stray, "Tag"), -1);
    // PutOrdProp and OrdPropOf meet.
    PutOrdProp(&Box, "Kind", nkWalnut);
    EXPECT_EQ(Box.Kind(), nkWalnut);
    EXPECT_EQ(OrdPropOf(&Box, "Kind"), nkWalnut);
}

TEST_F(NutBoxTest, TextFormsOfTheValues) {
    const TClassInfo& info = *FindClassInfo("TNutBox");
    AnsiString t;
    EXPECT_EQ(Text(), "");
    Box.SetNuts(Bit(nuLast) | Bit(nuFig) | Bit(nuNut));
    EXPECT_EQ(Text(), "Nut,Fig,Last") << "element order, commas, no brackets";
    Box.SetNuts(Box.Nuts() | (TNuts(1) << 20));  // a bit no element has
    EXPECT_EQ(Text(), "Nut,Fig,Last");
    ASSERT_TRUE(ReadPropertyText(&Box, info, "Kind", t));
    EXPECT_EQ(t, "nkPeanut");
    Box.SetLabel("a, b");
    ASSERT_TRUE(ReadPropertyText(&Box, info, "Label", t));
    EXPECT_EQ(t, "a, b");
    EXPECT_FALSE(ReadPropertyText(&Box, info, "Weight", t));
    EXPECT_FALSE(ReadPropertyText(&Box, info, "Nothing", t));

    // The text goes back through the form reader's conversion.
    TReadContext ctx;
    WriteProperty(&Box, info, "Nuts", SetValueFromText(" [Walnut , Nutmeg,,] "), ctx);
    EXPECT_EQ(Box.Nuts(), Bit(nuWalnut) | Bit(nuNutmeg));
    WriteProperty(&Box, info, "Nuts", SetValueFromText(""), ctx);
    EXPECT_EQ(Box.Nuts(), 0u);
    EXPECT_THROW(WriteProperty(&Box, info, "Nuts", SetValueFromText("Nut,Almond"), ctx), EPropertyError);
}

TEST_F(NutBoxTest, ContainsComparesWholeExactNames) {
    Box.SetNuts(Bit(nuNutmeg) | Bit(nuLast));
    EXPECT_TRUE(SetPropContains(&Box, "Nuts", "Nutmeg"));
    EXPECT_TRUE(SetPropContains(&Box, "Nuts", "Last")) << "element 31";
    EXPECT_FALSE(SetPropContains(&Box, "Nuts", "Nut")) << "a part of Nutmeg is not Nut";
    EXPECT_FALSE(SetPropContains(&Box, "Nuts", "nutmeg")) << "case-sensitive";
    EXPECT_FALSE(SetPropContains(&Box, "Nuts", "Fig"));
    EXPECT_FALSE(SetPropContains(&Box, "Nuts", "Almond"));
    EXPECT_FALSE(SetPropContains(&Box, "Nuts", ""));
    EXPECT_FALSE(SetPropContains(&Box, "Kind", "nkPeanut")) << "an enumeration is no set";
    EXPECT_FALSE(SetPropContains(&Box, "Pockets", "Nutmeg"));
    EXPECT_FALSE(SetPropContains(nullptr, "Nuts", "Nutmeg"));
}

TEST_F(NutBoxTest, IncludeAndExcludeRoundTrips) {
    ChangeSetProp(&Box, "Nuts", "Nutmeg", true);
    EXPECT_EQ(Box.Nuts(), Bit(nuNutmeg));
    ChangeSetProp(&Box, "Nuts", "Nut", true);
    EXPECT_EQ(Box.Nuts(), Bit(nuNutmeg) | Bit(nuNut)) << "Nut is no part of Nutmeg";
    ChangeSetProp(&Box, "Nuts", "Last", true);
    EXPECT_TRUE(SetPropContains(&Box, "Nuts", "Last"));
    EXPECT_EQ(Text(), "Nut,Nutmeg,Last");

    ChangeSetProp(&Box, "Nuts", "Nut", false);
    EXPECT_EQ(Box.Nuts(), Bit(nuNutmeg) | Bit(nuLast)) << "only the whole name Nut goes";
    ChangeSetProp(&Box, "Nuts", "Last", false);
    ChangeSetProp(&Box, "Nuts", "Nutmeg", false);
    EXPECT_EQ(Box.Nuts(), 0u);
    EXPECT_EQ(Box.Writes, 6);

    // Nothing to change, nothing written.
    const int writes = Box.Writes;
    ChangeSetProp(&Box, "Nuts", "Fig", false);
    Box.SetNuts(Bit(nuFig));
    ChangeSetProp(&Box, "Nuts", "Fig", true);
    ChangeSetProp(&Box, "Nuts", "Nut", false);
    EXPECT_EQ(Box.Writes, writes + 1);
    EXPECT_EQ(Box.Nuts(), Bit(nuFig));

    // What is no element, no set or no property leaves everything as it was.
    ChangeSetProp(&Box, "Nuts", "Almond", true);
    ChangeSetProp(&Box, "Nuts", "fig", false);
    ChangeSetProp(&Box, "Kind", "nkHazel", true);
    ChangeSetProp(&Box, "Label", "x", true);
    ChangeSetProp(&Box, "Pockets", "Fig", false);
    ChangeSetProp(nullptr, "Nuts", "Fig", false);
    EXPECT_EQ(Box.Writes, writes + 1);
    EXPECT_EQ(Box.Nuts(), Bit(nuFig));
    EXPECT_EQ(Box.Kind(), nkPeanut);
    EXPECT_EQ(Box.Label(), "");
}

struct FormTest : ::testing::Test {
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TLabel* Label = nullptr;
    void SetUp() override {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 320, 240);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 20, 100, 50);
        Label = new TLabel(Form);
        Label->SetParent(Form);
        Label->SetCaption("Label");
        Form->Show();
        Pump(50);
    }
    void TearDown() override { delete Form; }
};

TEST_F(FormTest, OrdinalValuesOfRealControls) {
    EXPECT_EQ(OrdPropOf(Panel, "Left"), 10);
    EXPECT_EQ(OrdPropOf(Panel, "Top"), 20);
    EXPECT_EQ(OrdPropOf(Panel, "Width"), 100);
    EXPECT_EQ(OrdPropOf(Panel, "Height"), 50);
    EXPECT_EQ(OrdPropOf(Panel, "Visible"), 1);
    Panel->SetEnabled(false);
    EXPECT_EQ(OrdPropOf(Panel, "Enabled"), 0);
    Panel->SetColor(clRed);
    EXPECT_EQ(OrdPropOf(Panel, "Color"), clRed);
    Panel->SetTag(-98);
    EXPECT_EQ(OrdPropOf(Panel, "Tag"), -98);
    EXPECT_EQ(OrdPropOf(Panel, "Align"), alNone);
    EXPECT_EQ(OrdPropOf(Form, "BorderIcons"), int64_t(Form->BorderIcons()));
    Label->Font()->SetStyle(TFontStyles(1 << fsItalic));
    EXPECT_EQ(OrdPropOf(Label->Font(), "Style"), 1 << fsItalic);
    EXPECT_EQ(OrdPropOf(Panel, "Caption"), -1);
    EXPECT_EQ(OrdPropOf(Panel, "Font"), -1) << "an object is no ordinal";
    EXPECT_EQ(OrdPropOf(Label, "TabOrder"), -1) << "a label has none";
    EXPECT_EQ(OrdPropOf(Panel, "Anchorage"), -1);

    // Written by name, the window itself moves; read back by name.
    PutOrdProp(Panel, "Left", 40);
    PutOrdProp(Panel, "Align", alBottom);
    Pump(30);
    EXPECT_EQ(OrdPropOf(Panel, "Align"), alBottom);
    RECT r;
    GetWindowRect(Panel->Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0) << "aligned to the bottom: full width";
    EXPECT_EQ(r.bottom, Form->ClientHeight());
    EXPECT_EQ(OrdPropOf(Panel, "Width"), Form->ClientWidth());
    EXPECT_EQ(OrdPropOf(Panel, "Top"), Form->ClientHeight() - 50);
}

TEST_F(FormTest, EditAndLabelValuesByName) {
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(10, 100, 120, 24);
    Pump(30);
    EXPECT_EQ(OrdPropOf(Panel, "TabOrder"), 0);
    EXPECT_EQ(OrdPropOf(edit, "TabOrder"), 1);
    EXPECT_EQ(OrdPropOf(edit, "MaxLength"), 0);
    PutOrdProp(edit, "MaxLength", 5);
    EXPECT_EQ(OrdPropOf(edit, "MaxLength"), 5);
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 5) << "the window limits the text";
    PutOrdProp(edit, "ReadOnly", 1);
    EXPECT_EQ(OrdPropOf(edit, "ReadOnly"), 1);
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(OrdPropOf(Label, "Alignment"), taLeftJustify);
    PutOrdProp(Label, "Alignment", taCenter);
    EXPECT_EQ(OrdPropOf(Label, "Alignment"), taCenter);
    EXPECT_EQ(Label->Alignment(), taCenter);
}

TEST_F(FormTest, TextOfRealControls) {
    const TClassInfo& panel = *FindClassInfo("TPanel");
    AnsiString t;
    Panel->SetCaption("Box, big");
    ASSERT_TRUE(ReadPropertyText(Panel, panel, "Caption", t));
    EXPECT_EQ(t, "Box, big");
    Panel->SetColor(clBtnFace);
    ASSERT_TRUE(ReadPropertyText(Panel, panel, "Color", t));
    EXPECT_EQ(t, "clBtnFace");
    Panel->SetColor(0x123456);
    ASSERT_TRUE(ReadPropertyText(Panel, panel, "Color", t));
    EXPECT_EQ(t, IntToStr(0x123456));
    ASSERT_TRUE(ReadPropertyText(Panel, panel, "Visible", t));
    EXPECT_EQ(t, "True");
    ASSERT_TRUE(ReadPropertyText(Panel, panel, "Align", t));
    EXPECT_EQ(t, "alNone");
    ASSERT_TRUE(ReadPropertyText(Form, *FindClassInfo("TForm"), "BorderIcons", t));
    EXPECT_EQ(t, "biSystemMenu,biMinimize,biMaximize");
}

TEST_F(FormTest, BorderIconsChangedByNameReachTheWindow) {
    auto style = [&] { return GetWindowLongW(Form->Handle(), GWL_STYLE); };
    ASSERT_TRUE(SetPropContains(Form, "BorderIcons", "biMaximize"));
    EXPECT_FALSE(SetPropContains(Form, "BorderIcons", "biHelp"));
    EXPECT_FALSE(SetPropContains(Form, "BorderIcons", "bimaximize"));
    EXPECT_FALSE(SetPropContains(Form, "BorderStyle", "bsSizeable")) << "an enumeration is no set";
    ASSERT_TRUE(style() & WS_MAXIMIZEBOX);

    ChangeSetProp(Form, "BorderIcons", "biMaximize", false);
    Pump(30);
    EXPECT_FALSE(SetPropContains(Form, "BorderIcons", "biMaximize"));
    EXPECT_TRUE(SetPropContains(Form, "BorderIcons", "biMinimize"));
    EXPECT_FALSE(style() & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style() & WS_MINIMIZEBOX);

    ChangeSetProp(Form, "BorderIcons", "biMaximize", true);
    Pump(30);
    EXPECT_TRUE(Form->BorderIcons() & BorderIconBit(biMaximize));
    EXPECT_TRUE(style() & WS_MAXIMIZEBOX);
    EXPECT_EQ(OrdPropOf(Form, "BorderIcons"),
              int64_t(BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize)));
}

TEST_F(FormTest, FontStyleChangedByName) {
    TFont* font = Label->Font();
    font->SetStyle(0);
    ChangeSetProp(font, "Style", "fsBold", true);
    ChangeSetProp(font, "Style", "fsUnderline", true);
    EXPECT_EQ(font->Style(), TFontStyles((1 << fsBold) | (1 << fsUnderline)));
    EXPECT_TRUE(SetPropContains(font, "Style", "fsUnderline"));
    ChangeSetProp(font, "Style", "fsBold", false);
    EXPECT_EQ(font->Style(), TFontStyles(1 << fsUnderline));
    ChangeSetProp(font, "Style", "fsHeavy", true);
    EXPECT_EQ(font->Style(), TFontStyles(1 << fsUnderline));
    // The label draws with the changed font: bold ink is wider.
    font->SetStyle(0);
    font->SetSize(14);
    Label->SetAutoSize(true);
    const int plain = Label->Width();
    ChangeSetProp(font, "Style", "fsBold", true);
    Pump(30);
    EXPECT_GT(Label->Width(), plain);
}

}  // namespace
