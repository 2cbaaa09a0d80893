// Owner model, lists, the registry of published properties and the form
// reader: round trip through the binary stream and every kind of bad data.
#include <gtest/gtest.h>

#include <cstring>

#include "ExtControls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "Graphics.h"
#include "TypeInfo.h"
#include "UnitInit.h"

namespace {

std::vector<AnsiString> g_log;

class TNoisy : public TComponent {
public:
    using TComponent::TComponent;
    ~TNoisy() override { g_log.push_back("free " + Name()); }
    const char* ClassName() const override { return "TNoisy"; }
    void Notification(TComponent* C, TOperation Op) override {
        TComponent::Notification(C, Op);
        if (Op == opRemove && !(ComponentState() & csDestroying)) g_log.push_back(Name() + " hears " + C->Name());
        if (Op == opRemove && C == Watched) Watched = nullptr;
    }
    TComponent* Watched = nullptr;
};

TNoisy* Make(TComponent* owner, const char* name) {
    auto* c = new TNoisy(owner);
    c->SetName(name);
    return c;
}

}  // namespace

TEST(Ownership, OwnerFreesTheLastCreatedFirstAndHearsOfRemovals) {
    g_log.clear();
    auto* owner = Make(nullptr, "Owner");
    Make(owner, "A");
    TNoisy* b = Make(owner, "B");
    Make(owner, "C");
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->FindComponent("b"), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    delete b;  // leaves its owner, which passes the news on
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("B"), nullptr);
    std::vector<AnsiString> expect1 = {"free B", "A hears B", "C hears B", "Owner hears B"};
    EXPECT_EQ(g_log, expect1);
    g_log.clear();
    delete owner;
    std::vector<AnsiString> expect2 = {"free Owner", "free C", "free A"};
    EXPECT_EQ(g_log, expect2);
}

TEST(Ownership, FreeNotificationCrossesOwnersAndCanBeWithdrawn) {
    g_log.clear();
    auto* left = Make(nullptr, "Left");
    auto* right = Make(nullptr, "Right");
    TNoisy* watcher = Make(left, "Watcher");
    TNoisy* target = Make(right, "Target");
    TNoisy* other = Make(right, "Other");
    watcher->Watched = target;
    target->FreeNotification(watcher);
    delete target;
    EXPECT_EQ(watcher->Watched, nullptr);
    // Withdrawn: no news, and no dangling entry when either goes.
    watcher->Watched = other;
    other->FreeNotification(watcher);
    other->RemoveFreeNotification(watcher);
    g_log.clear();
    delete other;
    for (const AnsiString& l : g_log) EXPECT_EQ(l.find("Watcher hears"), AnsiString::npos) << l;
    // A watcher freed first is forgotten by what it watched.
    TNoisy* t2 = Make(right, "T2");
    t2->FreeNotification(watcher);
    delete watcher;
    delete t2;
    delete left;
    delete right;
}

TEST(Ownership, NamesAreIdentifiersUniquePerOwner) {
    auto* owner = Make(nullptr, "Owner");
    Make(owner, "Label1");
    auto* second = new TNoisy(owner);
    EXPECT_THROW(second->SetName("label1"), EComponentError);
    EXPECT_THROW(second->SetName("1abc"), EComponentError);
    EXPECT_THROW(second->SetName("a b"), EComponentError);
    EXPECT_NO_THROW(second->SetName("Label2"));
    // Moving to another owner that already has the name is refused.
    auto* other = Make(nullptr, "Other");
    Make(other, "Label2");
    EXPECT_THROW(other->InsertComponent(second), EComponentError);
    delete other;
    delete owner;
}

TEST(Lists, IndexesAreCheckedAndTextSplitsEveryLineEnd) {
    TList l;
    int a = 1, b = 2, c = 3;
    l.Add(&a);
    l.Add(&b);
    l.Insert(0, &c);
    EXPECT_EQ(l[0], &c);
    l.Move(0, 2);
    EXPECT_EQ(l[2], &c);
    EXPECT_EQ(l.Remove(&a), 0);
    EXPECT_EQ(l.Remove(&a), -1);
    EXPECT_THROW(l.Get(2), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Insert(5, &a), EListError);

    TStringList s;
    s.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(s.Count(), 4);
    EXPECT_EQ(s[3], "four");
    EXPECT_EQ(s.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_EQ(s.IndexOf("TWO"), 1);
    EXPECT_THROW(s.Strings(4), EListError);
    int changes = 0;
    s.OnChange = TNotifyEvent::Fn(&changes, [](void* n, TObject*) { ++*static_cast<int*>(n); });
    s.Delete(0);
    s.Add("five");
    EXPECT_EQ(changes, 2);
}

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

TEST(Lists, CollectionOwnsItemsAndKeepsIds) {
    {
        TCollection c([](TCollection* o) -> TCollectionItem* { return new TTestItem(o); }, "TTestItem");
        c.Add();
        c.Add();
        c.Add();
        EXPECT_EQ(g_itemsAlive, 3);
        c.Delete(1);
        EXPECT_EQ(c.Count(), 2);
        EXPECT_EQ(c.Items(1)->ID(), 2);
        EXPECT_EQ(c.Items(1)->Index(), 1);
        delete c.Items(0);  // an item freed by itself leaves its collection
        EXPECT_EQ(c.Count(), 1);
        EXPECT_THROW(c.Items(1), EListError);
    }
    EXPECT_EQ(g_itemsAlive, 0);
}

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

TEST(Registry, EnumerationsAreExactAndClassesInherit) {
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
    EXPECT_FALSE(FindEnum("TAlign")->ValueOf("alclient", v));
    EXPECT_THROW(RegisterClassInfo("TOrphan", "TNoSuchBase"), Exception);
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

TEST(FormReader, EveryPrefixOfTheStreamIsRefusedCleanly) {
    std::vector<uint8_t> bytes = WriteFormBinary(GoodForm());
    for (size_t n = 0; n < bytes.size(); n += (n < 64 ? 1 : 7)) {
        auto form = NewForm();
        bool threw = false;
        try {
            LoadFormDefinition(form.get(), bytes.data(), n);
        } catch (const EFormError& e) {
            threw = true;
            EXPECT_NE(e.Message.find("TLoaderForm"), AnsiString::npos) << e.Message;
        }
        EXPECT_TRUE(threw) << "prefix " << n;
        EXPECT_EQ(form->ComponentCount(), 0) << "prefix " << n;
        EXPECT_EQ(form->ControlCount(), 0) << "prefix " << n;
    }
}

TEST(FormReader, BadDataNamesFormComponentAndPropertyAndLeavesNothing) {
    struct Case {
        const char* what;
        std::function<void(FormObject&)> spoil;
        std::vector<const char*> mustName;
    };
    const std::vector<Case> cases = {
        {"unknown class", [](FormObject& f) { f.Children[2].Children[0].ClassName = "TNoSuchShape"; },
         {"TLoaderForm", "Shape1", "TNoSuchShape"}},
        {"unknown property", [](FormObject& f) { f.Children[0].Props.push_back(P("Colour", FormValue::MakeInt(1))); },
         {"TLoaderForm", "Label1", "Colour"}},
        {"unknown nested property",
         [](FormObject& f) { f.Children[2].Children[0].Props.push_back(P("Pen.Colr", FormValue::MakeInt(1))); },
         {"Shape1", "Pen.Colr"}},
        {"string for an integer", [](FormObject& f) { FindProp(f.Children[0], "Left")->Value = FormValue::MakeString("32"); },
         {"Label1", "Left", "integer"}},
        {"integer for a string", [](FormObject& f) { FindProp(f.Children[0], "Caption")->Value = FormValue::MakeInt(0); },
         {"Label1", "Caption", "string"}},
        {"identifier outside the enumeration",
         [](FormObject& f) { FindProp(f.Children[0], "Alignment")->Value = FormValue::MakeIdent("tacenter"); },
         {"Label1", "Alignment", "tacenter"}},
        {"set element unknown", [](FormObject& f) { FindProp(f, "BorderIcons")->Value = Set({"biClose"}); },
         {"form", "BorderIcons", "biClose"}},
        {"boolean as integer", [](FormObject& f) { FindProp(f.Children[0], "Visible")->Value = FormValue::MakeInt(0); },
         {"Label1", "Visible"}},
        {"missing handler", [](FormObject& f) { FindProp(f, "OnShow")->Value = FormValue::MakeIdent("FormShown"); },
         {"OnShow", "FormShown"}},
        {"handler of another type",
         [](FormObject& f) { FindProp(f, "OnShow")->Value = FormValue::MakeIdent("Shape1MouseDown"); },
         {"OnShow", "Shape1MouseDown"}},
        {"missing component", [](FormObject& f) { FindProp(f.Children[2], "Partner")->Value = FormValue::MakeIdent("Shape9"); },
         {"Panel1", "Partner", "Shape9"}},
        {"picture of an unknown class",
         [](FormObject& f) { FindProp(f.Children[1], "Picture.Data")->Value.Binary[1] = 'X'; },
         {"Image1", "Picture.Data"}},
        {"duplicate name", [](FormObject& f) { f.Children[3].Name = "label1"; }, {"label1"}},
        {"control inside a non-container",
         [](FormObject& f) { f.Children[3].Children.push_back(Child("TShape", "Shape7", {})); }, {"Shape7"}},
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
    // The definition of another class is not read into this one.
    FormObject other = GoodForm();
    other.ClassName = "TForm2";
    EXPECT_NE(LoadError(other).find("TForm2"), AnsiString::npos);
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
