// Owner model, lists, the registry of published properties and the form
// reader, on test classes: round trip through the binary stream, collections
// of collections, and every kind of bad data.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "ModelForms.h"

using namespace model_test;

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
    EXPECT_EQ(second->Owner(), owner) << "a refused component stays with its owner";
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

TEST(Lists, CollectionOwnsItemsAndKeepsIds) {
    const int before = Alive();
    {
        TCollection c([](TCollection* o) -> TCollectionItem* { return new TTestItem(o); }, "TTestItem");
        c.Add();
        c.Add();
        c.Add();
        EXPECT_EQ(Alive(), before + 3);
        c.Delete(1);
        EXPECT_EQ(c.Count(), 2);
        EXPECT_EQ(c.Items(1)->ID(), 2);
        EXPECT_EQ(c.Items(1)->Index(), 1);
        delete c.Items(0);  // an item freed by itself leaves its collection
        EXPECT_EQ(c.Count(), 1);
        EXPECT_THROW(c.Items(1), EListError);
    }
    EXPECT_EQ(Alive(), before);
}

// ---------------------------------------------------------------- registry

TEST(Registry, EnumerationsAreExactAndClassesInherit) {
    RegisterClasses();
    const TClassInfo* box = FindClassInfo("ttestbox");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(box->FindProp("tag"), nullptr);       // from TComponent
    EXPECT_NE(box->FindProp("Pen"), nullptr);       // from TTestControl
    EXPECT_EQ(FindClassInfo("TTestGadget")->FindProp("Pen"), nullptr);
    EXPECT_TRUE(FindClassInfo("TTestRoot")->InheritsFrom("TTestControl"));
    EXPECT_NE(FindClassInfo("TTestRoot")->FindHandler("fire"), nullptr);
    EXPECT_EQ(FindClassInfo("TTestBox")->FindHandler("Fire"), nullptr);
    int64_t v;
    EXPECT_TRUE(FindEnum("TTestKind")->ValueOf("tkOdd", v));
    EXPECT_EQ(v, tkOdd);
    EXPECT_FALSE(FindEnum("TTestKind")->ValueOf("tkodd", v));
    EXPECT_THROW(RegisterClassInfo("TOrphan", "TNoSuchBase"), Exception);
}

// ---------------------------------------------------------------- reader

TEST(FormReader, RoundTripThroughTheBinaryStreamSetsEverything) {
    auto root = NewRoot();
    std::vector<uint8_t> bytes = WriteFormBinary(GoodTree());
    LoadFormDefinition(root.get(), bytes.data(), bytes.size());

    EXPECT_EQ(root->Name(), "Root");
    EXPECT_EQ(root->ComponentCount(), 3);  // all owned by the root
    EXPECT_EQ(root->ComponentState() & (csLoading | csReading), 0u);
    auto* box = dynamic_cast<TTestBox*>(root->FindComponent("Box1"));
    auto* leaf = dynamic_cast<TTestControl*>(root->FindComponent("Leaf1"));
    auto* gadget = dynamic_cast<TTestGadget*>(root->FindComponent("Gadget1"));
    ASSERT_TRUE(box && leaf && gadget);
    // Controls sit in their container; a component that is no control does not.
    EXPECT_EQ(box->Parent(), root.get());
    EXPECT_EQ(leaf->Parent(), box);
    EXPECT_EQ(box->Children, std::vector<TTestControl*>{leaf});

    EXPECT_EQ(box->Kind(), tkFancy);
    EXPECT_EQ(box->Color(), clAqua);
    EXPECT_EQ(box->Cursor(), -21);
    EXPECT_EQ(box->Styles(), (1u << tsBold) | (1u << tsTall));
    EXPECT_EQ(box->Small(), -5);
    EXPECT_EQ(box->Pen()->Width(), 3);
    EXPECT_EQ(box->Pen()->Color(), clRed);
    ASSERT_EQ(box->Lines()->Count(), 2);
    EXPECT_EQ(box->Lines()->Strings(1), "two");
    EXPECT_EQ(box->Mark, 42);
    EXPECT_EQ(leaf->Caption(), "Выход");
    EXPECT_EQ(gadget->Count(), 3);
    EXPECT_TRUE(gadget->On());
    EXPECT_DOUBLE_EQ(gadget->Ratio, 1.5);
    EXPECT_EQ(gadget->Blob(), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(gadget->Tag(), -7);

    // References, also from collection items, resolved before Loaded.
    EXPECT_EQ(box->Buddy, leaf);
    EXPECT_EQ(box->BuddyAtLoaded, leaf);
    EXPECT_EQ(box->LoadedCalls, 1);
    EXPECT_EQ(root->LoadedCalls, 1);
    ASSERT_EQ(box->Items()->Count(), 2);
    auto* item = static_cast<TTestItem*>(box->Items()->Items(0));
    EXPECT_EQ(item->Target, gadget);
    ASSERT_EQ(item->SubItems()->Count(), 2);
    auto* sub = static_cast<TTestSubItem*>(item->SubItems()->Items(0));
    EXPECT_EQ(sub->Name(), "a");
    EXPECT_EQ(sub->Picture()->Bytes(), (std::vector<uint8_t>{0xAA, 0xBB}));
    EXPECT_EQ(sub->ImgData(), (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(static_cast<TTestItem*>(box->Items()->Items(1))->SubItems()->Count(), 0);

    // Events bound to the root's handlers.
    ASSERT_TRUE(bool(gadget->OnFire));
    gadget->OnFire(gadget);
    root->OnClick(root.get());
    EXPECT_EQ(root->Fired, 1);
    EXPECT_EQ(root->Clicks, 1);
    EXPECT_TRUE(leaf->OnMove == (Method<void(TObject*, int, int)>::Of<&TTestRoot::Moved>(root.get())));
}

TEST(FormReader, ValuesReadBackByNameIncludingBinaryBlocksInNestedCollections) {
    auto root = NewRoot();
    LoadFormDefinition(root.get(), GoodTree());
    auto* box = root->FindComponent("Box1");
    const TClassInfo& info = *FindClassInfo("TTestBox");
    AnsiString text;
    ASSERT_TRUE(ReadPropertyText(box, info, "Styles", text));
    EXPECT_EQ(text, "tsBold,tsTall");
    ASSERT_TRUE(ReadPropertyText(box, info, "Cursor", text));
    EXPECT_EQ(text, "crHandPoint");
    std::vector<uint8_t> data;
    EXPECT_FALSE(ReadBinaryProperty(box, info, "Kind", data));
    EXPECT_FALSE(ReadBinaryProperty(box, info, "Pen.Blob", data));
    ASSERT_TRUE(ReadBinaryProperty(root->FindComponent("Gadget1"), *FindClassInfo("TTestGadget"), "Blob", data));
    EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3}));
    // The blocks of an inner item come back as the stream held them.
    auto* item = static_cast<TTestItem*>(static_cast<TTestBox*>(box)->Items()->Items(0));
    auto* sub = item->SubItems()->Items(0);
    const TClassInfo& subInfo = *FindClassInfo("TTestSubItem");
    ASSERT_TRUE(ReadBinaryProperty(sub, subInfo, "Picture.Data", data));
    EXPECT_EQ(data, (std::vector<uint8_t>{2, 0, 0, 0, 0xAA, 0xBB}));
    ASSERT_TRUE(ReadBinaryProperty(sub, subInfo, "ImgData", data));
    EXPECT_EQ(data, (std::vector<uint8_t>{9, 8, 7}));
}

namespace {

// Loads Def into a fresh root and answers the error message (empty when
// none); *left counts what the failed load left behind.
AnsiString LoadError(const FormObject& def, int* left = nullptr) {
    auto root = NewRoot();
    const int before = Alive();
    std::vector<uint8_t> bytes = WriteFormBinary(def);
    AnsiString msg;
    try {
        LoadFormDefinition(root.get(), bytes.data(), bytes.size());
    } catch (const EFormError& e) {
        msg = e.Message;
    }
    if (left) *left = root->ComponentCount() + int(root->Children.size()) + Alive() - before;
    return msg;
}

FormProperty& Prop(FormObject& o, const char* name) {
    for (FormProperty& p : o.Props)
        if (p.Name == name) return p;
    o.Props.push_back(P(name, FormValue()));
    return o.Props.back();
}

FormObject& Box(FormObject& f) { return f.Children[0]; }
FormObject& Leaf(FormObject& f) { return f.Children[0].Children[0]; }
FormObject& Gadget(FormObject& f) { return f.Children[0].Children[1]; }
std::vector<FormProperty>& SubItem(FormObject& f) {
    return Prop(Box(f), "Items").Value.Items[0][2].Value.Items[0];
}

}  // namespace

TEST(FormReader, EveryPrefixOfTheStreamIsRefusedCleanly) {
    std::vector<uint8_t> bytes = WriteFormBinary(GoodTree());
    const int before = Alive();
    for (size_t n = 0; n < bytes.size(); ++n) {
        auto root = NewRoot();
        bool threw = false;
        try {
            LoadFormDefinition(root.get(), bytes.data(), n);
        } catch (const EFormError& e) {
            threw = true;
            EXPECT_NE(e.Message.find("TTestRoot"), AnsiString::npos) << e.Message;
        }
        EXPECT_TRUE(threw) << "prefix " << n;
        EXPECT_EQ(root->ComponentCount(), 0) << "prefix " << n;
        EXPECT_TRUE(root->Children.empty()) << "prefix " << n;
    }
    EXPECT_EQ(Alive(), before);
}

TEST(FormReader, BadDataNamesFormComponentAndPropertyAndLeavesNothing) {
    struct Case {
        const char* what;
        std::function<void(FormObject&)> spoil;
        std::vector<const char*> mustName;
    };
    const std::vector<Case> cases = {
        {"unknown class", [](FormObject& f) { Leaf(f).ClassName = "TNoSuch"; }, {"TTestRoot", "Leaf1", "TNoSuch"}},
        {"unknown property", [](FormObject& f) { Prop(Box(f), "Colour").Value = FormValue::MakeInt(1); },
         {"Box1", "Colour"}},
        {"unknown nested property", [](FormObject& f) { Prop(Box(f), "Pen.Colr").Value = FormValue::MakeInt(1); },
         {"Box1", "Pen.Colr"}},
        {"nested name into a plain value", [](FormObject& f) { Prop(Box(f), "Kind.X").Value = FormValue::MakeInt(1); },
         {"Box1", "Kind"}},
        {"string for an integer", [](FormObject& f) { Prop(Box(f), "Small").Value = FormValue::MakeString("3"); },
         {"Box1", "Small", "integer"}},
        {"integer out of range", [](FormObject& f) { Prop(Box(f), "Small").Value = FormValue::MakeInt(300); },
         {"Small", "300", "out of range"}},
        {"integer for a string", [](FormObject& f) { Prop(Leaf(f), "Caption").Value = FormValue::MakeInt(0); },
         {"Leaf1", "Caption", "string"}},
        {"identifier outside the enumeration",
         [](FormObject& f) { Prop(Box(f), "Kind").Value = FormValue::MakeIdent("tkfancy"); }, {"Kind", "tkfancy"}},
        {"set element unknown", [](FormObject& f) { Prop(Box(f), "Styles").Value = SetOf({"tsHuge"}); },
         {"Styles", "tsHuge"}},
        {"boolean as integer", [](FormObject& f) { Prop(Gadget(f), "On").Value = FormValue::MakeInt(0); },
         {"Gadget1", "On"}},
        {"strings that are no list", [](FormObject& f) { Prop(Box(f), "Lines.Strings").Value = FormValue::MakeInt(0); },
         {"Lines.Strings", "list of strings"}},
        {"missing handler", [](FormObject& f) { Prop(f, "OnClick").Value = FormValue::MakeIdent("Clickd"); },
         {"form properties", "OnClick", "Clickd"}},
        {"handler of another type", [](FormObject& f) { Prop(Leaf(f), "OnMove").Value = FormValue::MakeIdent("Fire"); },
         {"Leaf1", "OnMove", "Fire"}},
        {"missing component", [](FormObject& f) { Prop(Box(f), "Buddy").Value = FormValue::MakeIdent("Leaf9"); },
         {"Box1", "Buddy", "Leaf9"}},
        {"reference of another class", [](FormObject& f) { Prop(Box(f), "Buddy").Value = FormValue::MakeIdent("Gadget1"); },
         {"Buddy", "Gadget1", "TTestControl"}},
        {"bad value in an inner collection", [](FormObject& f) { SubItem(f)[0].Value = FormValue::MakeInt(5); },
         {"Box1", "Items", "item 0", "SubItems", "Name"}},
        {"class-defined block cut short",
         [](FormObject& f) { SubItem(f)[1].Value = Bytes({9, 0, 0, 0, 1}); }, {"Picture.Data", "cut short"}},
        {"items for an object", [](FormObject& f) { Prop(Box(f), "Pen").Value = Items({}); }, {"Pen", "TTestPen"}},
        {"duplicate name", [](FormObject& f) { Gadget(f).Name = "leaf1"; }, {"leaf1"}},
        {"bad name", [](FormObject& f) { Gadget(f).Name = "9x"; }, {"9x"}},
        {"control inside a control that holds none",
         [](FormObject& f) { Leaf(f).Children.push_back(Obj("TTestControl", "Leaf7", {})); }, {"Leaf7", "Leaf1"}},
        {"anything inside a component that is no control",
         [](FormObject& f) { Gadget(f).Children.push_back(Obj("TTestGadget", "Gadget7", {})); }, {"Gadget7"}},
    };
    for (const Case& c : cases) {
        FormObject def = GoodTree();
        c.spoil(def);
        int left = -1;
        AnsiString msg = LoadError(def, &left);
        ASSERT_FALSE(msg.empty()) << c.what;
        EXPECT_NE(msg.find("TTestRoot"), AnsiString::npos) << c.what << ": " << msg;
        for (const char* n : c.mustName) EXPECT_NE(msg.find(n), AnsiString::npos) << c.what << ": " << msg;
        EXPECT_EQ(left, 0) << c.what;
    }
    // The definition of another class is not read into this one.
    FormObject other = GoodTree();
    other.ClassName = "TForm2";
    EXPECT_NE(LoadError(other).find("TForm2"), AnsiString::npos);
    // And the good one still loads after all that.
    EXPECT_EQ(LoadError(GoodTree()), "");
}
