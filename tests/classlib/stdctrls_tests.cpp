// The system's memo, list box, combo box, list view and tree view windows
// taken over by the class library, under Wine: made from compiled form data
// and by code, their windows showing what the controls hold (also once the
// windows are made again), driven by the real keyboard and mouse, painted in
// the colours written through the property registry, and freed without
// leaving objects behind.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "ComCtrls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

class TListsForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TListsForm"; }
};

// Takes Enter as a default button would, counting the presses it got.
class TEnterTaker : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Taken = 0;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_DIALOGKEY && m.WParam == VK_RETURN) {
            ++Taken;
            m.Result = 1;
            return;
        }
        TGraphicControl::WndProc(m);
    }
};

template <class T>
T* Get(TForm* F, const char* Name) {
    auto* c = dynamic_cast<T*>(F->FindComponent(Name));
    EXPECT_NE(c, nullptr) << Name;
    return c;
}

// ---- what the windows hold, read through their own messages ----

std::wstring WindowClass(HWND Wnd) {
    wchar_t name[64] = {};
    GetClassNameW(Wnd, name, 64);
    return name;
}

// The strings of a list box or of a combo box's list, each read with its length asked first.
std::vector<AnsiString> ListStrings(HWND Wnd, bool Combo) {
    const UINT count = Combo ? CB_GETCOUNT : LB_GETCOUNT, len = Combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN,
               get = Combo ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<AnsiString> out;
    for (int i = 0, n = int(SendMessageW(Wnd, count, 0, 0)); i < n; ++i) {
        std::wstring s(size_t(SendMessageW(Wnd, len, WPARAM(i), 0)) + 1, L'\0');
        s.resize(size_t(SendMessageW(Wnd, get, WPARAM(i), reinterpret_cast<LPARAM>(s.data()))));
        out.push_back(FromWide(s));
    }
    return out;
}

AnsiString ListViewText(HWND Wnd, int Item, int Sub) {
    wchar_t buf[128] = {};
    LVITEMW it{};
    it.iSubItem = Sub;
    it.pszText = buf;
    it.cchTextMax = 128;
    SendMessageW(Wnd, LVM_GETITEMTEXTW, WPARAM(Item), reinterpret_cast<LPARAM>(&it));
    return FromWide(buf);
}

std::vector<AnsiString> HeaderCaptions(HWND ListView) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(ListView, LVM_GETHEADER, 0, 0));
    std::vector<AnsiString> out;
    for (int i = 0, n = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)); i < n; ++i) {
        wchar_t buf[64] = {};
        HDITEMW h{};
        h.mask = HDI_TEXT;
        h.pszText = buf;
        h.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&h));
        out.push_back(FromWide(buf));
    }
    return out;
}

// The tree's items in outline order, a tab per level, "+" after an expanded one.
std::vector<AnsiString> TreeOutline(HWND Tree) {
    std::vector<AnsiString> out;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int level) {
        for (; item; item = TreeView_GetNextSibling(Tree, item)) {
            wchar_t buf[64] = {};
            TVITEMW it{};
            it.mask = TVIF_TEXT | TVIF_STATE;
            it.hItem = item;
            it.pszText = buf;
            it.cchTextMax = 64;
            it.stateMask = TVIS_EXPANDED;
            SendMessageW(Tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
            out.push_back(AnsiString(size_t(level), '\t') + FromWide(buf) + ((it.state & TVIS_EXPANDED) ? "+" : ""));
            walk(TreeView_GetChild(Tree, item), level + 1);
        }
    };
    walk(TreeView_GetRoot(Tree), 0);
    return out;
}

using Lines = std::vector<AnsiString>;

// The list window of a combo box (dropped or, in a simple box, always shown).
HWND ComboList(HWND Combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(Combo, &info) ? info.hwndList : nullptr;
}

class Lists : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        if (!registered) RegisterFormClass<TListsForm>("TListsForm");
        registered = true;
        Form = std::make_unique<TListsForm>(nullptr);
        LoadFormFromResource(Form.get(), nullptr);
        Form->SetPosition(poScreenCenter);
        Form->Show();
        PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; });
        SetForegroundWindow(Form->Handle());
        Pump(100);
    }
    void TearDown() override { Form.reset(); }
    HWND Wnd(const char* Name) { return Get<TWinControl>(Form.get(), Name)->Handle(); }
    // A client point of a control's window, on the screen.
    static POINT Screen(HWND Wnd, int X, int Y) {
        POINT p{X, Y};
        ClientToScreen(Wnd, &p);
        return p;
    }
    std::unique_ptr<TListsForm> Form;
};

}  // namespace

// Every control's window is of its system class and style and holds what the
// form data gave; the form's window made again (a new border style) makes
// every child window again, holding the same.
TEST_F(Lists, WindowsHoldWhatTheFormDataGaveAlsoWhenMadeAgain) {
    struct Kind {
        const char* Name;
        const wchar_t* Class;
        DWORD Mask, Style;
    } kinds[] = {
        {"Memo1", L"Edit", ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, ES_MULTILINE | WS_VSCROLL},
        {"ListBox1", L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
        {"Combo1", L"ComboBox", 3, CBS_DROPDOWN},
        {"Combo2", L"ComboBox", 3, CBS_SIMPLE},
        {"Combo3", L"ComboBox", 3, CBS_DROPDOWNLIST},
        {"ListView1", L"SysListView32", LVS_TYPEMASK, LVS_REPORT},
        {"TreeView1", L"SysTreeView32", TVS_HASBUTTONS | TVS_LINESATROOT, TVS_HASBUTTONS | TVS_LINESATROOT},
    };
    for (const char* pass : {"made", "made again"}) {
        const bool again = pass[4] != 0;
        SCOPED_TRACE(pass);
        for (const Kind& k : kinds) {
            HWND h = Wnd(k.Name);
            EXPECT_EQ(WindowClass(h), k.Class) << k.Name;
            EXPECT_EQ(DWORD(GetWindowLongW(h, GWL_STYLE)) & k.Mask, k.Style) << k.Name;
            EXPECT_EQ(GetParent(h), Form->Handle()) << k.Name;
        }
        EXPECT_EQ(GetWindowTextAnsi(Wnd("Memo1")), "Процессор\r\nПамять");
        EXPECT_EQ(ListStrings(Wnd("ListBox1"), false), (Lines{"Мышь", "Клавиатура", "Монитор", "Принтер"}));
        EXPECT_EQ(SendMessageW(Wnd("ListBox1"), LB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(GetWindowTextAnsi(Wnd("Combo1")), "Диск");
        EXPECT_EQ(ListStrings(Wnd("Combo2"), true), (Lines{"один", "два"}));
        EXPECT_EQ(SendMessageW(Wnd("Combo3"), CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(GetWindowTextAnsi(Wnd("Combo3")), "a2");
        HWND lv = Wnd("ListView1");
        EXPECT_EQ(HeaderCaptions(lv), (Lines{"Имя", "Размер"}));
        EXPECT_EQ(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_EQ(ListViewText(lv, 1, 0), "Кэш");
        EXPECT_EQ(ListViewText(lv, 1, 1), "8");
        // A node expanded before the window was made again is expanded after.
        EXPECT_EQ(TreeOutline(Wnd("TreeView1")), (Lines{again ? "Компьютер+" : "Компьютер", "\tСистемный блок",
                                                       "\t\tПроцессор", "\tМонитор", "Принтер"}));
        Get<TTreeView>(Form.get(), "TreeView1")->Items()->Item(0)->Expand();
        Form->SetBorderStyle(bsToolWindow);
    }
}

// Controls made by code: what the program changes after the windows exist
// reaches them; a memo's typed-in text comes back as lines; sub-items given
// before their columns show once the columns come; a view style switched in
// place keeps the window.
TEST_F(Lists, CodeMadeControlsKeepTheirWindowsInStep) {
    auto* memo = new TMemo(Form.get());
    memo->SetParent(Form.get());
    memo->SetBounds(8, 220, 150, 70);
    memo->Lines()->Add("один");
    memo->Lines()->Add("два");
    EXPECT_EQ(GetWindowTextAnsi(memo->Handle()), "один\r\nдва");
    SetWindowTextW(memo->Handle(), L"a\r\nb\r\nc");
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(2), "c");
    HWND before = memo->Handle();
    memo->SetScrollBars(ssBoth);
    EXPECT_NE(memo->Handle(), before);
    const DWORD bars = WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL;  // a horizontal bar: long lines scroll, not wrap
    EXPECT_EQ(DWORD(GetWindowLongW(memo->Handle(), GWL_STYLE)) & bars, bars);
    EXPECT_EQ(GetWindowTextAnsi(memo->Handle()), "a\r\nb\r\nc");

    auto* list = new TListBox(Form.get());
    list->SetParent(Form.get());
    list->SetBounds(160, 220, 100, 70);
    for (const char* s : {"x", "y", "z"}) list->Items()->Add(s);
    list->SetItemIndex(2);
    list->Items()->SetString(0, "w");
    EXPECT_EQ(ListStrings(list->Handle(), false), (Lines{"w", "y", "z"}));
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCURSEL, 0, 0), 2) << "the selection stays over a change of the items";

    auto* combo = new TComboBox(Form.get());
    combo->SetParent(Form.get());
    combo->SetBounds(270, 220, 100, 21);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"p", "q"}) combo->Items()->Add(s);
    combo->SetText("q");
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 1) << "a list's text picks its item";
    combo->SetText("none");
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(combo->Text(), "");

    auto* view = new TListView(Form.get());
    view->SetParent(Form.get());
    view->SetBounds(380, 220, 170, 70);
    view->SetViewStyle(vsList);
    for (const char* s : {"r0", "r1"}) view->Items()->Add()->SetCaption(s);
    view->Items()->Items(1)->SubItems()->Add("s1");
    HWND lv = view->Handle();
    view->SetViewStyle(vsReport);
    EXPECT_EQ(view->Handle(), lv);
    EXPECT_EQ(DWORD(GetWindowLongW(lv, GWL_STYLE)) & LVS_TYPEMASK, DWORD(LVS_REPORT));
    view->Columns()->Add()->SetCaption("c0");
    view->Columns()->Add()->SetCaption("c1");
    EXPECT_EQ(HeaderCaptions(lv), (Lines{"c0", "c1"}));
    EXPECT_EQ(ListViewText(lv, 1, 1), "s1");
    view->Items()->Items(0)->SetCaption("R0");
    EXPECT_EQ(ListViewText(lv, 0, 0), "R0");
    view->Items()->Delete(0);
    EXPECT_EQ(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(ListViewText(lv, 0, 0), "r1");

    auto* tree = Get<TTreeView>(Form.get(), "TreeView1");
    TTreeNodes* nodes = tree->Items();
    TTreeNode* printer = nodes->TopItem(1);
    nodes->AddChild(printer, "Бумага");
    printer->Expand();
    nodes->Item(1)->SetText("Блок");
    nodes->Delete(nodes->Item(3));  // the monitor
    EXPECT_EQ(TreeOutline(tree->Handle()),
              (Lines{"Компьютер", "\tБлок", "\t\tПроцессор", "Принтер+", "\tБумага"}));
    EXPECT_EQ(nodes->Count(), 5);
    EXPECT_EQ(nodes->Item(4)->Level(), 1);
    nodes->Clear();
    EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
}

// Typed keys land in the memo's lines, Enter making a new line (not going
// to the form's default button); a click on a
// list box item selects it (OnClick); the drop-down list opened by a click on
// the combo box's button shows DropDownCount items and a click on one picks
// it (OnClick, OnChange); a click on a tree node selects it (OnChange) and
// the right arrow key expands it; a click on a report row selects it.
TEST_F(Lists, RealKeyboardAndMouseDriveTheControls) {
    struct Events {
        Lines Seen;
        void ListClick(TObject*) { Seen.push_back("list click"); }
        void ComboClick(TObject*) { Seen.push_back("combo click"); }
        void ComboChange(TObject*) { Seen.push_back("combo change"); }
    } events;
    auto* enter = new TEnterTaker(Form.get());
    enter->SetParent(Form.get());
    auto* memo = Get<TMemo>(Form.get(), "Memo1");
    memo->Clear();
    memo->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return memo->Focused(); }));
    std::vector<INPUT> keys;
    for (WORD vk : {WORD('A'), WORD('B'), WORD(VK_RETURN), WORD('C')}) {
        keys.push_back(testwin::KeyStroke(vk, false));
        keys.push_back(testwin::KeyStroke(vk, true));
    }
    ASSERT_TRUE(testwin::SendInputs(keys));
    EXPECT_TRUE(PumpUntil([&] { return memo->Lines()->Count() == 2; }));
    EXPECT_EQ(memo->Lines()->Text(), "ab\r\nc\r\n");
    EXPECT_EQ(enter->Taken, 0);

    auto* list = Get<TListBox>(Form.get(), "ListBox1");
    list->OnClick = TNotifyEvent::Of<&Events::ListClick>(&events);
    RECT item{};
    SendMessageW(list->Handle(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    testwin::LeftClickAt(HandleMessages, Screen(list->Handle(), item.left + 5, (item.top + item.bottom) / 2));
    EXPECT_EQ(list->ItemIndex(), 3);

    auto* combo = Get<TComboBox>(Form.get(), "Combo3");
    combo->OnClick = TNotifyEvent::Of<&Events::ComboClick>(&events);
    combo->OnChange = TNotifyEvent::Of<&Events::ComboChange>(&events);
    RECT box;
    GetClientRect(combo->Handle(), &box);
    testwin::LeftClickAt(HandleMessages, Screen(combo->Handle(), box.right - 6, box.bottom / 2));
    ASSERT_TRUE(PumpUntil([&] { return combo->DroppedDown(); })) << "a click on the button drops the list";
    HWND dropList = ComboList(combo->Handle());
    ASSERT_NE(dropList, nullptr);
    RECT dropped;
    GetClientRect(dropList, &dropped);
    const int itemHeight = int(SendMessageW(dropList, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(dropped.bottom / itemHeight, 4) << "DropDownCount items show";
    testwin::LeftClickAt(HandleMessages, Screen(dropList, 5, itemHeight * 3 + itemHeight / 2));
    EXPECT_TRUE(PumpUntil([&] { return !combo->DroppedDown(); }));
    const int top = int(SendMessageW(dropList, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(combo->ItemIndex(), top + 3);
    EXPECT_EQ(combo->Text(), "a" + IntToStr(top + 3));

    auto* tree = Get<TTreeView>(Form.get(), "TreeView1");
    TTreeNode* changed = nullptr;
    tree->OnChange = TTVChangedEvent::Fn(&changed, [](void* p, TObject*, TTreeNode* n) { *static_cast<TTreeNode**>(p) = n; });
    TTreeNode* root = tree->Items()->TopItem(0);
    RECT text{};
    HTREEITEM rootItem = root->ItemId();
    memcpy(&text, &rootItem, sizeof rootItem);  // the item goes in, its rectangle comes out
    SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
    testwin::LeftClickAt(HandleMessages, Screen(tree->Handle(), text.left + 4, (text.top + text.bottom) / 2));
    EXPECT_EQ(changed, root);
    EXPECT_FALSE(root->Expanded());
    ASSERT_TRUE(testwin::SendInputs({testwin::KeyStroke(VK_RIGHT, false), testwin::KeyStroke(VK_RIGHT, true)}));
    EXPECT_TRUE(PumpUntil([&] { return root->Expanded(); })) << "the right arrow expands the node";
    EXPECT_EQ(TreeView_GetNextVisible(tree->Handle(), root->ItemId()), root->Item(0)->ItemId());

    auto* view = Get<TListView>(Form.get(), "ListView1");
    RECT row{};
    row.left = LVIR_LABEL;
    SendMessageW(view->Handle(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    testwin::LeftClickAt(HandleMessages, Screen(view->Handle(), row.left + 4, (row.top + row.bottom) / 2));
    EXPECT_EQ(view->ItemIndex(), 1);
    EXPECT_EQ(view->Selected(), view->Items()->Items(1));

    EXPECT_EQ(events.Seen, (Lines{"list click", "combo click", "combo change"}));
}

// Color and Font.Color written by property name, as the skin wrappers do:
// the windows paint their background and text in them.
TEST_F(Lists, ColoursWrittenByPropertyNamePaintTheWindows) {
    struct Case {
        const char* Name;
        TColor Back, Text;
    } cases[] = {
        {"Memo1", clYellow, clRed},      {"ListBox1", clAqua, clBlue},     {"Combo2", clLime, clMaroon},
        {"ListView1", clFuchsia, clNavy}, {"TreeView1", clYellow, clGreen},
    };
    for (const Case& c : cases) {
        auto* control = Get<TWinControl>(Form.get(), c.Name);
        const TClassInfo* info = FindClassInfo(control->ClassName());
        ASSERT_NE(info, nullptr) << c.Name;
        TReadContext ctx;
        WriteProperty(control, *info, "Color", FormValue::MakeInt(c.Back), ctx);
        WriteProperty(control, *info, "Font.Color", FormValue::MakeInt(c.Text), ctx);
    }
    Pump(50);
    for (const Case& c : cases) {
        HWND h = Wnd(c.Name);
        if (WindowClass(h) == L"ComboBox") h = ComboList(h);  // the simple box's list, always shown
        Pixels px = Grab(h);
        EXPECT_GT(px.Count(c.Back), px.Width * px.Height / 3) << c.Name << ": the background";
        EXPECT_GT(px.Count(c.Text), 5) << c.Name << ": the text";
    }
}

// Made, shown and freed many times, the controls leave no GDI or USER object.
TEST(ListControls, MadeAndFreedTheyLeaveNoObjectsBehind) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    form->Show();
    auto make = [&](int kind) -> TWinControl* {
        TWinControl* c = nullptr;
        switch (kind) {
        case 0: c = new TMemo(form.get()); break;
        case 1: c = new TListBox(form.get()); break;
        case 2: c = new TComboBox(form.get()); break;
        case 3: c = new TListView(form.get()); break;
        default: c = new TTreeView(form.get()); break;
        }
        c->SetParent(form.get());
        return c;
    };
    auto round = [&] {
        for (int kind = 0; kind < 5; ++kind) {
            TWinControl* c = make(kind);
            if (auto* t = dynamic_cast<TTreeView*>(c)) t->Items()->AddChild(t->Items()->AddChild(nullptr, "a"), "b");
            if (auto* v = dynamic_cast<TListView*>(c)) v->Items()->Add()->SetCaption("a");
            if (auto* b = dynamic_cast<TComboBox*>(c)) b->SetDroppedDown(true);
            c->SetColor(clYellow);
            Pump(5);
            delete c;
        }
    };
    round();  // the classes' first use registers and loads what stays
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 20; ++i) round();
    const testwin::GuiObjects after = testwin::CountGuiObjects();
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
}
