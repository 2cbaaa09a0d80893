// The class library's classes through the form reader: their published
// properties, controls placed in their parents, pictures read, and the
// failures only real controls and pictures show. The reader's own logic is
// tested natively on test classes (tests/model).
#include <gtest/gtest.h>

#include <cstring>

#include "ExtControls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "Graphics.h"
#include "TypeInfo.h"
#include "UnitInit.h"

namespace {
int g_itemsAlive = 0;
class TTestItem : public TCollectionItem {
public:
    explicit TTestItem(TCollection* c) : TCollectionItem(c) { ++g_itemsAlive; }
    ~TTestItem() override { --g_itemsAlive; }
    const char* ClassName() const override { return "TTestItem"; }
    void SetValue(int v) { Value = v; }
    int Value = 0;
};
}  // namespace

// ---------------------------------------------------------------- registry and reader

namespace {

class TTestPanel : public TCustomControl {
public:
    explicit TTestPanel(TComponent* Owner) : TCustomControl(Owner) { FControlStyle |= csAcceptsControls; }
    const char* ClassName() const override { return "TTestPanel"; }
    void Loaded() override {
        TCustomControl::Loaded();
        // References are resolved before anyone hears Loaded.
        SawPartnerAtLoaded = Partner != nullptr;
        ++LoadedCalls;
    }
    void SetPartner(TControl* p) { Partner = p; }
    void SetItems(int) {}
    TCollection* Items() const { return FItems; }
    TControl* Partner = nullptr;
    bool SawPartnerAtLoaded = false;
    int LoadedCalls = 0;
    ~TTestPanel() override { delete FItems; }

private:
    TCollection* FItems = new TCollection([](TCollection* o) -> TCollectionItem* { return new TTestItem(o); }, "TTestItem");
};

class TLoaderForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TLoaderForm"; }
    void FormShow(TObject*) { ++Shows; }
    void Shape1MouseDown(TObject*, TMouseButton, TShiftState, int, int) { ++Presses; }
    void Timer1Timer(TObject*) {}
    int Shows = 0, Presses = 0;
};

void RegisterTestClasses() {
    RegisterPersistentClass<TTestItem>("TTestItem").Int("Value", &TTestItem::SetValue);
    RegisterComponentClass<TTestPanel>("TTestPanel", "TCustomControl")
        .Ref("Partner", &TTestPanel::SetPartner, "TControl")
        .Collection("Items", &TTestPanel::Items);
    RegisterFormClass<TLoaderForm>("TLoaderForm")
        .Handler<&TLoaderForm::FormShow>("FormShow")
        .Handler<&TLoaderForm::Shape1MouseDown>("Shape1MouseDown")
        .Handler<&TLoaderForm::Timer1Timer>("Timer1Timer");
}

FormProperty P(const char* name, FormValue v) { return FormProperty{name, std::move(v)}; }
FormValue Set(std::vector<AnsiString> ids) {
    FormValue v;
    v.Kind = FormValueKind::Set;
    v.Set = std::move(ids);
    return v;
}

// A 2x2 24-bit BMP file, bottom-up, all pixels of one colour.
std::vector<uint8_t> TinyBmp(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> f(54 + 16, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    f[26] = 1;
    f[28] = 24;
    for (int row = 0; row < 2; ++row)
        for (int px = 0; px < 2; ++px) {
            size_t at = 54 + size_t(row) * 8 + size_t(px) * 3;
            f[at] = b;
            f[at + 1] = g;
            f[at + 2] = r;
        }
    return f;
}

FormValue PictureData(const std::vector<uint8_t>& bmp) {
    FormValue v;
    v.Kind = FormValueKind::Binary;
    // Class name as a short string, the uint32 size, then the BMP file.
    const uint32_t n = uint32_t(bmp.size());
    const uint8_t head[] = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p',
                            uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    v.Binary.resize(sizeof head + bmp.size());
    std::copy(std::begin(head), std::end(head), v.Binary.begin());
    std::copy(bmp.begin(), bmp.end(), v.Binary.begin() + sizeof head);
    return v;
}

FormObject Child(const char* cls, const char* name, std::vector<FormProperty> props) {
    FormObject o;
    o.ClassName = cls;
    o.Name = name;
    o.Props = std::move(props);
    return o;
}

FormObject GoodForm() {
    FormObject f = Child("TLoaderForm", "LoaderForm", {
        P("Caption", FormValue::MakeString("Выход")),
        P("ClientWidth", FormValue::MakeInt(300)),
        P("ClientHeight", FormValue::MakeInt(200)),
        P("Color", FormValue::MakeIdent("clAqua")),
        P("BorderIcons", Set({"biSystemMenu"})),
        P("BorderStyle", FormValue::MakeIdent("bsSingle")),
        P("Position", FormValue::MakeIdent("poScreenCenter")),
        P("Font.Name", FormValue::MakeString("Arial")),
        P("Font.Height", FormValue::MakeInt(-21)),
        P("Font.Style", Set({"fsBold", "fsItalic"})),
        P("HorzScrollBar.Visible", FormValue::MakeBool(false)),
        P("OldCreateOrder", FormValue::MakeBool(false)),
        P("OnShow", FormValue::MakeIdent("FormShow")),
    });
    FormObject label = Child("TLabel", "Label1", {
        P("Left", FormValue::MakeInt(32)), P("Top", FormValue::MakeInt(152)),
        P("Caption", FormValue::MakeString("0")), P("Visible", FormValue::MakeBool(false)),
        P("Alignment", FormValue::MakeIdent("taCenter")),
        P("Font.Color", FormValue::MakeInt(0x0000FF)),
    });
    FormObject image = Child("TImage", "Image1", {
        P("Left", FormValue::MakeInt(0)), P("Top", FormValue::MakeInt(0)),
        P("Width", FormValue::MakeInt(50)), P("Height", FormValue::MakeInt(40)),
        P("AutoSize", FormValue::MakeBool(true)),
        P("Picture.Data", PictureData(TinyBmp(255, 0, 0))),
    });
    FormObject panel = Child("TTestPanel", "Panel1", {
        P("Left", FormValue::MakeInt(100)), P("Top", FormValue::MakeInt(10)),
        P("Width", FormValue::MakeInt(150)), P("Height", FormValue::MakeInt(100)),
        P("ParentColor", FormValue::MakeBool(false)), P("Color", FormValue::MakeIdent("clYellow")),
        P("TabOrder", FormValue::MakeInt(0)),
        // A reference to a component read later.
        P("Partner", FormValue::MakeIdent("Shape1")),
    });
    FormValue items;
    items.Kind = FormValueKind::Collection;
    items.Items = {{P("Value", FormValue::MakeInt(7))}, {P("Value", FormValue::MakeInt(9))}};
    panel.Props.push_back(P("Items", items));
    panel.Children.push_back(Child("TShape", "Shape1", {
        P("Left", FormValue::MakeInt(5)), P("Top", FormValue::MakeInt(6)),
        P("Width", FormValue::MakeInt(57)), P("Height", FormValue::MakeInt(65)),
        P("Shape", FormValue::MakeIdent("stCircle")), P("Brush.Style", FormValue::MakeIdent("bsClear")),
        P("Pen.Style", FormValue::MakeIdent("psClear")), P("Cursor", FormValue::MakeIdent("crHandPoint")),
        P("OnMouseDown", FormValue::MakeIdent("Shape1MouseDown")),
    }));
    FormObject timer = Child("TTimer", "Timer1", {
        P("Enabled", FormValue::MakeBool(false)), P("Interval", FormValue::MakeInt(500)),
        P("OnTimer", FormValue::MakeIdent("Timer1Timer")),
    });
    f.Children = {label, image, panel, timer};
    return f;
}

std::unique_ptr<TLoaderForm> NewForm() {
    static bool registered = false;
    if (!registered) {
        RegisterTestClasses();
        registered = true;
    }
    return std::make_unique<TLoaderForm>(nullptr);
}

}  // namespace

TEST(Registry, ClassLibraryClassesInheritTheirBasesProperties) {
    NewForm();
    const TClassInfo* image = FindClassInfo("TImage");
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->FindProp("Left"), nullptr);      // from TControl
    EXPECT_NE(image->FindProp("OnDragDrop"), nullptr);
    EXPECT_EQ(image->FindProp("TabOrder"), nullptr);  // TWinControl's, not a graphic control's
    EXPECT_TRUE(FindClassInfo("TLoaderForm")->InheritsFrom("TWinControl"));
    EXPECT_NE(FindClassInfo("TLoaderForm")->FindHandler("formshow"), nullptr);
    int64_t v;
    EXPECT_TRUE(FindEnum("TAlign")->ValueOf("alClient", v));
    EXPECT_EQ(v, alClient);
}

TEST(FormReader, RoundTripThroughTheBinaryStreamSetsEverything) {
    auto form = NewForm();
    std::vector<uint8_t> bytes = WriteFormBinary(GoodForm());
    ASSERT_EQ(std::memcmp(bytes.data(), "TPF0", 4), 0);
    LoadFormDefinition(form.get(), bytes.data(), bytes.size());

    EXPECT_EQ(form->Name(), "LoaderForm");
    EXPECT_EQ(form->Caption(), "Выход");
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    EXPECT_EQ(form->Color(), clAqua);
    EXPECT_EQ(form->BorderIcons(), TBorderIcons(1u << biSystemMenu));
    EXPECT_EQ(form->BorderStyle(), bsSingle);
    EXPECT_EQ(form->Position(), poScreenCenter);
    EXPECT_EQ(form->Font()->Name(), "Arial");
    EXPECT_EQ(form->Font()->Style(), FontStyleBit(fsBold) | FontStyleBit(fsItalic));
    EXPECT_FALSE(form->HorzScrollBar()->Visible());
    EXPECT_EQ(form->ComponentState() & (csLoading | csReading), 0u);
    ASSERT_EQ(form->ComponentCount(), 5);

    auto* label = dynamic_cast<TLabel*>(form->FindComponent("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "0");
    EXPECT_FALSE(label->Visible());
    EXPECT_EQ(label->Alignment(), taCenter);
    EXPECT_EQ(label->Font()->Color(), clRed);
    EXPECT_FALSE(label->ParentFont());  // its own font colour
    auto* image = dynamic_cast<TImage*>(form->FindComponent("Image1"));
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->Picture()->Graphic(), nullptr);
    EXPECT_STREQ(image->Picture()->Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(image->Width(), 2);  // AutoSize, applied once loaded
    EXPECT_EQ(image->Height(), 2);

    auto* panel = dynamic_cast<TTestPanel*>(form->FindComponent("Panel1"));
    auto* shape = dynamic_cast<TShape*>(form->FindComponent("Shape1"));
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(panel->Parent(), form.get());
    EXPECT_EQ(shape->Parent(), panel);
    EXPECT_EQ(shape->Owner(), form.get());
    EXPECT_EQ(panel->Partner, shape);
    EXPECT_TRUE(panel->SawPartnerAtLoaded);
    EXPECT_EQ(panel->LoadedCalls, 1);
    ASSERT_EQ(panel->Items()->Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(panel->Items()->Items(1))->Value, 9);
    EXPECT_EQ(panel->Color(), clYellow);
    EXPECT_EQ(shape->Shape(), stCircle);
    EXPECT_EQ(shape->Brush()->Style(), bsClear);
    EXPECT_EQ(shape->Pen()->Style(), psClear);
    EXPECT_EQ(shape->Cursor(), crHandPoint);
    EXPECT_EQ(shape->Font()->Name(), "Arial");  // ParentFont through the panel
    auto* timer = dynamic_cast<TTimer*>(form->FindComponent("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 500u);

    // Events are bound to this form's handlers.
    ASSERT_TRUE(bool(form->OnShow));
    form->OnShow(form.get());
    EXPECT_EQ(form->Shows, 1);
    ASSERT_TRUE(bool(shape->OnMouseDown));
    shape->OnMouseDown(shape, mbRight, 0, 1, 1);
    EXPECT_EQ(form->Presses, 1);
    EXPECT_TRUE(shape->OnMouseDown == (TMouseEvent::Of<&TLoaderForm::Shape1MouseDown>(form.get())));
}

namespace {

// Loads Def into a fresh form and answers the error message (empty when none).
AnsiString LoadError(const FormObject& def, int* componentsLeft = nullptr) {
    auto form = NewForm();
    std::vector<uint8_t> bytes = WriteFormBinary(def);
    AnsiString msg;
    try {
        LoadFormDefinition(form.get(), bytes.data(), bytes.size());
    } catch (const EFormError& e) {
        msg = e.Message;
    }
    if (componentsLeft) *componentsLeft = form->ComponentCount() + form->ControlCount();
    return msg;
}

FormProperty* FindProp(FormObject& o, const char* name) {
    for (FormProperty& p : o.Props)
        if (p.Name == name) return &p;
    return nullptr;
}

}  // namespace

TEST(FormReader, BadDataOfRealControlsAndPicturesNamesWhereAndLeavesNothing) {
    struct Case {
        const char* what;
        std::function<void(FormObject&)> spoil;
        std::vector<const char*> mustName;
    };
    const std::vector<Case> cases = {
        {"unknown nested property",
         [](FormObject& f) { f.Children[2].Children[0].Props.push_back(P("Pen.Colr", FormValue::MakeInt(1))); },
         {"Shape1", "Pen.Colr"}},
        {"identifier outside the enumeration",
         [](FormObject& f) { FindProp(f.Children[0], "Alignment")->Value = FormValue::MakeIdent("tacenter"); },
         {"Label1", "Alignment", "tacenter"}},
        {"set element unknown", [](FormObject& f) { FindProp(f, "BorderIcons")->Value = Set({"biClose"}); },
         {"form", "BorderIcons", "biClose"}},
        {"picture of an unknown class",
         [](FormObject& f) { FindProp(f.Children[1], "Picture.Data")->Value.Binary[1] = 'X'; },
         {"Image1", "Picture.Data"}},
        {"anchor unknown",
         [](FormObject& f) { f.Children[0].Props.push_back(P("Anchors", Set({"akLeft", "akMiddle"}))); },
         {"Label1", "Anchors", "akMiddle"}},
        {"negative size constraint",
         [](FormObject& f) { f.Children[0].Props.push_back(P("Constraints.MinWidth", FormValue::MakeInt(-5))); },
         {"Label1", "Constraints.MinWidth", "negative"}},
        {"negative border width", [](FormObject& f) { f.Props.push_back(P("BorderWidth", FormValue::MakeInt(-1))); },
         {"form", "BorderWidth", "negative"}},
        {"control inside a non-container",
         [](FormObject& f) { f.Children[3].Children.push_back(Child("TShape", "Shape7", {})); }, {"Shape7"}},
        {"control inside a graphic control",
         [](FormObject& f) { f.Children[0].Children.push_back(Child("TShape", "Shape8", {})); },
         {"Shape8", "Label1", "cannot hold controls"}},
    };
    for (const Case& c : cases) {
        FormObject def = GoodForm();
        c.spoil(def);
        int left = -1;
        AnsiString msg = LoadError(def, &left);
        ASSERT_FALSE(msg.empty()) << c.what;
        for (const char* n : c.mustName) EXPECT_NE(msg.find(n), AnsiString::npos) << c.what << ": " << msg;
        EXPECT_EQ(left, 0) << c.what;
    }
    // And the good one still loads after all that.
    EXPECT_EQ(LoadError(GoodForm()), "");
}

// ---------------------------------------------------------------- unit start-up

namespace {
std::vector<AnsiString> g_steps;
void UpA() { g_steps.push_back("up A"); }
void DownA() { g_steps.push_back("down A"); }
void UpB() { g_steps.push_back("up B"); }
void DownB() { g_steps.push_back("down B"); }
void UpFail() { throw Exception("no"); }
}  // namespace

TEST(UnitStartup, OrderedOnceAndShutDownInReverse) {
    g_steps.clear();
    static const TUnitStep steps[] = {{"TestA", UpA, DownA}, {"TestB", UpB, DownB}, {"TestA", UpA, DownA}};
    StartUnits(steps);
    StartUnits(steps);  // again: nothing runs twice
    EXPECT_TRUE(UnitStarted("TestB"));
    EXPECT_TRUE(UnitStarted("Forms"));
    ASSERT_NE(Application, nullptr);
    FinishUnits();
    FinishUnits();
    std::vector<AnsiString> expect = {"up A", "up B", "down B", "down A"};
    EXPECT_EQ(g_steps, expect);
    EXPECT_EQ(Application, nullptr);  // the class library's own units went last

    // A failing step: the ones before it are shut down again.
    g_steps.clear();
    static const TUnitStep failing[] = {{"TestA", UpA, DownA}, {"TestFail", UpFail, nullptr}, {"TestB", UpB, DownB}};
    EXPECT_THROW(StartUnits(failing), Exception);
    std::vector<AnsiString> expect2 = {"up A", "down A"};
    EXPECT_EQ(g_steps, expect2);
    EXPECT_FALSE(UnitStarted("Forms"));

    StartUnits({});  // as the other tests expect
    Application->Initialize();
    EXPECT_NE(Application, nullptr);
}
