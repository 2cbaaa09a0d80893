// Skin host for tests and screenshots.
//   skinhost.exe <skin directory> <skin name>
//     shows one form, "Skin host", with a skin manager set to that skin;
//     the form is skinned by a form skin provider whose control adapter
//     wraps the class-library controls the manager's lists name; a page
//     shows a frame;
//   skinhost.exe --popup <skin directory> <skin name>
//     the same form, its pop-up menu opened at the form's centre;
//   skinhost.exe --sysmenu <skin directory> <skin name>
//     the same form, its system menu opened under the caption icon as
//     Alt+Space opens it, with the skin-selection item's sub-menu open;
//   skinhost.exe --message <skin directory> <skin name>
//     loads the skin and shows the system's message box "Skin host message"
//     (a line of text, an icon, an OK button), skinned by the dialog hook;
//     exits when it is answered;
//   skinhost.exe --mdi <skin directory> <skin name>
//     an MDI main form with the host's main menu and two children, skinned,
//     each with a menu of its own that joins the main form's line while the
//     child is active;
//     (the edits and lists, the bars and tabs and the page control are
//     wrapped by hand: they hold foreign windows);
//   skinhost.exe --dump <skin directory> <skin name> <file>
//     loads the skin and writes its tables (SkinDump.h) to the file as UTF-8;
//     exit code 1, with the error message on the last line, when the load raised.
#include <windows.h>
#include <shellapi.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "Frames.h"
#include "Buttons.h"
#include "ExtControls.h"
#include "HostBars.h"
#include "HostCtrls.h"
#include "HostMenus.h"
#include "SkinDump.h"
#include "Tabs.h"
#include "TestSkins.h"
#include "Text1251.h"
#include "StdCtrls.h"
#include "UnitInit.h"
#include "WinText.h"
#include "acDials.h"
#include "acPNG.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsWnds.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sScrollBar.h"
#include "sSkinProvider.h"
#include "sSkinnedForms.h"
#include "acGlow.h"

namespace {

std::vector<AnsiString> Arguments() {
    int n = 0;
    LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<AnsiString> args;
    for (int i = 1; i < n; ++i) args.push_back(Utf16ToCp1251(reinterpret_cast<const char16_t*>(w[i])));
    LocalFree(w);
    return args;
}

void StartEngine() {
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sDateUtils", sDateUtilsInitialize, nullptr},
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
        {"acGlow", acGlowInitialize, acGlowFinalize},
        {"sSkinnedForms", sSkinnedFormsInitialize, sSkinnedFormsFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
        {"sSkinMenus", sSkinMenusInitialize, sSkinMenusFinalize},
        {"sSkinProvider", sSkinProviderInitialize, sSkinProviderFinalize},
        {"acSBUtils", nullptr, FreePageWrappers},
        {"acDials", acDialsInitialize, acDialsFinalize},
    };
    StartUnits(kUnits);
}

// A skinned scroll bar control on a page.
TsScrollBar* AddBar(TComponent* Owner, TWinControl* Parent, TScrollBarKind Kind, const TRect& R, int Position,
                    bool Enabled) {
    auto* bar = new TsScrollBar(Owner);
    bar->SetKind(Kind);
    bar->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    bar->SetPageSize(20);
    bar->SetMax(100);
    bar->SetPosition(Position);
    bar->SetEnabled(Enabled);
    bar->SetParent(Parent);
    return bar;
}

int Dump(const AnsiString& Dir, const AnsiString& Name, const AnsiString& File) {
    TsSkinManager* m = nullptr;
    std::string text, error;
    try {
        m = MakeSkinManager(nullptr, Dir, Name);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (m) text = DumpSkinTables(*m);
    if (!error.empty()) text += Cp1251ToUtf8(error) + "\n";
    delete m;
    FILE* f = _wfopen(reinterpret_cast<const wchar_t*>(Cp1251ToUtf16(File).c_str()), L"wb");
    if (!f) return 2;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return error.empty() ? 0 : 1;
}

// A system multi-line edit with both bars and enough text to scroll both ways.
HWND MakeMemo(TWinControl* Parent) {
    std::wstring text;
    for (int i = 1; i <= 60; ++i) text += L"Line " + std::to_wstring(i) + L" of the wrapped edit\r\n";
    text += L"A last line that is much wider than the edit, so that its horizontal bar has a range to scroll";
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                 ES_AUTOHSCROLL,
                             20, 20, 320, 220, Parent->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return h;
}

// ---- wrapped controls, by hand until the form provider wraps its children

HWND Child(TWinControl* Form, DWORD ExStyle, const wchar_t* Class, DWORD Style, int X, int Y, int W, int H,
           const void* Param = nullptr) {
    return CreateWindowExW(ExStyle, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Form->Handle(), nullptr,
                           GetModuleHandleW(nullptr), const_cast<void*>(Param));
}

void FillItems(HWND W, UINT Msg, const wchar_t* Word, int N) {
    for (int i = 0; i < N; ++i) SendMessageW(W, Msg, 0, LPARAM((std::wstring(Word) + L" " + std::to_wstring(i + 1)).c_str()));
}

HWND ReportList(TWinControl* Form) {
    HWND h = Child(Form, WS_EX_CLIENTEDGE, WC_LISTVIEWW, LVS_REPORT, 250, 250, 290, 150);
    const wchar_t* names[] = {L"Name", L"Size", L"Kind"};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = c == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = 110;
        col.pszText = const_cast<wchar_t*>(names[c]);
        SendMessageW(h, LVM_INSERTCOLUMNW, c, LPARAM(&col));
    }
    for (int i = 0; i < 40; ++i) {
        std::wstring t = L"File " + std::to_wstring(i + 1), size = std::to_wstring((i + 1) * 37) + L" KB";
        LVITEMW it{};
        it.mask = LVIF_TEXT;
        it.iItem = i;
        it.pszText = t.data();
        SendMessageW(h, LVM_INSERTITEMW, 0, LPARAM(&it));
        it.iSubItem = 1;
        it.pszText = size.data();
        SendMessageW(h, LVM_SETITEMTEXTW, i, LPARAM(&it));
        it.iSubItem = 2;
        it.pszText = const_cast<wchar_t*>(L"Document");
        SendMessageW(h, LVM_SETITEMTEXTW, i, LPARAM(&it));
    }
    return h;
}

HWND Tree(TWinControl* Form) {
    HWND h = Child(Form, WS_EX_CLIENTEDGE, WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 560, 250,
                   200, 150);
    for (int i = 0; i < 12; ++i) {
        std::wstring t = L"Folder " + std::to_wstring(i + 1);
        TVINSERTSTRUCTW ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = t.data();
        HTREEITEM p = HTREEITEM(SendMessageW(h, TVM_INSERTITEMW, 0, LPARAM(&ins)));
        ins.hParent = p;
        ins.item.pszText = const_cast<wchar_t*>(L"Leaf");
        SendMessageW(h, TVM_INSERTITEMW, 0, LPARAM(&ins));
        if (i < 2) SendMessageW(h, TVM_EXPAND, TVE_EXPAND, LPARAM(p));
    }
    return h;
}

LRESULT CALLBACK MDIChildProc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return DefMDIChildProcW(W, M, Wp, Lp); }

HWND MDIArea(TWinControl* Form) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = MDIChildProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    wc.lpszClassName = L"SkinHostMDIChild";
    RegisterClassW(&wc);
    CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
    HWND h = Child(Form, WS_EX_CLIENTEDGE, L"MDICLIENT", WS_VSCROLL | WS_HSCROLL, 20, 420, 520, 130, &ccs);
    for (int i = 0; i < 2; ++i) {
        MDICREATESTRUCTW mc{L"SkinHostMDIChild", i ? L"Second child" : L"First child", GetModuleHandleW(nullptr),
                            10 + 150 * i, 10, 200, 90, WS_OVERLAPPEDWINDOW, 0};
        SendMessageW(h, WM_MDICREATE, 0, LPARAM(&mc));
    }
    return h;
}

using Wrappers = std::vector<std::unique_ptr<TacMainWnd>>;
using SkinStates = std::vector<std::unique_ptr<TsCommonData>>;

template <class W>
void Wrap(Wrappers& List, HWND H, const char* Section, TsSkinManager* M) {
    if (TacMainWnd* w = CreateWrapper<W>(H, true, Section, M, nullptr)) List.emplace_back(w);
}

// The controls of every wrapped kind, foreign windows and class-library ones.
void AddWrappedControls(TWinControl* Form, TsSkinManager* M, Wrappers& List, SkinStates& States) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND edit = Child(Form, WS_EX_CLIENTEDGE, L"EDIT", ES_AUTOHSCROLL, 20, 20, 200, 24);
    SetWindowTextW(edit, L"Single-line edit");
    HWND memo = Child(Form, WS_EX_CLIENTEDGE, L"EDIT", ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, 20, 56, 200, 120);
    std::wstring text;
    for (int i = 1; i <= 30; ++i) text += L"Memo line " + std::to_wstring(i) + L", long enough to scroll sideways\r\n";
    SetWindowTextW(memo, text.c_str());
    HWND list = Child(Form, WS_EX_CLIENTEDGE, L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 20, 188, 200, 100);
    FillItems(list, LB_ADDSTRING, L"List item", 20);
    const DWORD kinds[] = {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST};
    for (int i = 0; i < 3; ++i) {
        HWND c = Child(Form, 0, L"COMBOBOX", kinds[i] | WS_VSCROLL, 250 + 180 * i, 20, 160, i == 0 ? 120 : 200);
        FillItems(c, CB_ADDSTRING, i == 2 ? L"Choice" : L"Entry", 12);
        SendMessageW(c, CB_SETCURSEL, 1, 0);
        Wrap<TacComboBoxWnd>(List, c, "COMBOBOX", M);
    }
    Wrap<TacEditWnd>(List, edit, "EDIT", M);
    Wrap<TacEditWnd>(List, memo, "EDIT", M);
    Wrap<TacEditWnd>(List, list, "EDIT", M);
    Wrap<TacListViewWnd>(List, ReportList(Form), "EDIT", M);
    Wrap<TacTreeViewWnd>(List, Tree(Form), "EDIT", M);
    Wrap<TacMDIWnd>(List, MDIArea(Form), "EDIT", M);
    // A class-library edit: the form's control adapter wraps it (the
    // manager's lists name its class).
    auto* own = new TEdit(Form);
    own->SetParent(Form);
    own->SetBounds(250, 160, 200, 24);
    own->SetText("Class-library edit");
}

// The class names the control adapter wraps on the host's forms.
void NameHostControls(TsSkinManager* M) {
    M->ThirdParty()->Set(0, "TEdit\nTMemo\nTListBox");
    M->ThirdParty()->Set(1, "TButton");
    M->ThirdParty()->Set(3, "TCheckBox\nTRadioButton");
    M->ThirdParty()->Set(4, "TComboBox");
    M->ThirdParty()->Set(6, "TGroupBox");
    M->LoadThirdPartyLists(false);
}

// A frame of class-library controls, skinned by the frame adapter the
// form's control adapter gives it.
void AddFrame(TWinControl* Page) {
    auto* frame = new TFrame(Page);
    frame->SetBounds(20, 20, 420, 260);
    frame->SetParent(Page);
    auto* label = new TLabel(frame);
    label->SetParent(frame);
    label->SetBounds(16, 16, 300, 20);
    label->SetCaption("A frame: its label, edit, check box and button");
    auto* edit = new TEdit(frame);
    edit->SetParent(frame);
    edit->SetBounds(16, 48, 200, 24);
    edit->SetText("Edit on the frame");
    auto* check = new TCheckBox(frame);
    check->SetParent(frame);
    check->SetBounds(16, 84, 200, 22);
    check->SetCaption("Check box on the frame");
    check->SetChecked(true);
    auto* button = new TButton(frame);
    button->SetParent(frame);
    button->SetBounds(16, 120, 120, 30);
    button->SetCaption("Button");
}

// A child's own menu: two items that follow the host's on the line (their
// group indexes are above the host's).
void AddChildMenu(TForm* Child, int Index) {
    auto* menu = new TMainMenu(Child);
    const struct {
        const char* Caption;
        int Group;
    } tops[] = {{Index ? "&Second" : "&First", 5}, {Index ? "Se&cond help" : "F&irst help", 9}};
    for (const auto& t : tops) {
        auto* top = new TMenuItem(Child);
        top->SetCaption(t.Caption);
        top->SetGroupIndex(t.Group);
        auto* sub = new TMenuItem(Child);
        sub->SetCaption("&Close this child");
        sub->OnClick = TNotifyEvent::Fn(Child, [](void* C, TObject*) { static_cast<TForm*>(C)->Close(); });
        top->Add(sub);
        menu->Items()->Add(top);
    }
    Child->SetMenu(menu);
}

// The MDI mode: a main form with the host's main menu and two children.
int HostMDI(const AnsiString& Dir, const AnsiString& Name) {
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetCaption("Skin host MDI");
    form->SetFormStyle(fsMDIForm);
    form->SetBounds(80, 60, 800, 600);
    AddHostMenus(form);
    try {
        TsSkinManager* m = MakeSkinManager(form, Dir, Name);
        NameHostControls(m);
        new TsSkinProvider(form);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    form->Show();
    for (int i = 0; i < 2; ++i) {
        auto* child = new TForm(form);
        child->SetFormStyle(fsMDIChild);
        child->SetCaption(i ? "Second child" : "First child");
        child->SetBounds(20 + 300 * i, 20 + 60 * i, 320, 220);
        AddChildMenu(child, i);
        new TsSkinProvider(child);
        auto* edit = new TEdit(child);
        edit->SetParent(child);
        edit->SetBounds(12, 12, 200, 24);
        edit->SetText(i ? "Second" : "First");
        child->Show();
    }
    while (IsWindowVisible(form->Handle()) && !Application->Terminated()) Application->HandleMessage();
    return 0;
}

enum THostMenu { hmNone, hmPopup, hmSystem };

// Opens the skin-selection sub-menu of the system menu once it shows.
void CALLBACK OpenSkinItem(HWND, UINT, UINT_PTR Id, DWORD) {
    if (!FindWindowW(L"#32768", nullptr)) return;
    KillTimer(nullptr, Id);
    for (WORD vk : {WORD(VK_DOWN), WORD(VK_RIGHT)}) {
        INPUT in[2] = {};
        for (INPUT& i : in) i.type = INPUT_KEYBOARD, i.ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

int Host(const AnsiString& Dir, const AnsiString& Name, THostMenu Menu) {
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetCaption("Skin host");
    form->SetBounds(80, 60, 800, 600);
    AddHostMenus(form);
    TsSkinManager* manager = nullptr;
    try {
        manager = MakeSkinManager(form, Dir, Name);
        NameHostControls(manager);
        auto* provider = new TsSkinProvider(form);
        provider->SetMakeSkinMenu(Menu == hmSystem);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    // One page for each family of wrapped windows.
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetAlign(alClient);
    auto page = [&](const char* Caption) {
        auto* sheet = new TTabSheet(form);
        sheet->SetCaption(Caption);
        sheet->SetParent(pages);
        return sheet;
    };
    TTabSheet* scrolling = page("Scroll bars");
    // Beside the wrapped edit: a vertical, a horizontal and a disabled skinned scroll bar.
    const int thick = GetSystemMetrics(SM_CYHSCROLL);
    AddBar(form, scrolling, sbVertical, Bounds(380, 20, thick, 220), 30, true);
    AddBar(form, scrolling, sbHorizontal, Bounds(20, 270, 360, thick), 30, true);
    AddBar(form, scrolling, sbHorizontal, Bounds(20, 300, 360, thick), 60, false);
    TTabSheet* controls = page("Controls");
    TTabSheet* edits = page("Edits and lists");
    TTabSheet* bars = page("Bars and tabs");
    AddFrame(page("Frame"));
    form->Show();
    std::unique_ptr<TacScrollWnd> memo(
        CreateWrapper<TacScrollWnd>(MakeMemo(scrolling), true, "EDIT", manager, nullptr));
    std::unique_ptr<TControlsPage> controlsPage;
    if (manager) controlsPage = std::make_unique<TControlsPage>(controls, manager);
    Wrappers wrappers;
    SkinStates states;
    std::unique_ptr<TBarsPage> barsPage;
    if (manager && manager->SkinData()->Active()) {
        AddWrappedControls(edits, manager, wrappers, states);
        barsPage = std::make_unique<TBarsPage>(bars, manager);
        // The page control itself, and through it its pages.
        states.emplace_back(new TsCommonData(pages, true));
        if (TacMainWnd* w = CreateWrapper<TacPageControlWnd>(pages->Handle(), true, "PAGECONTROL", manager,
                                                             states.back().get()))
            wrappers.emplace_back(w);
    }
    if (Menu != hmNone) {
        // Shown and painted first, then the menu over it.
        form->Update();
        Application->ProcessMessages();
        if (Menu == hmPopup) {
            ShowHostPopup(form);
        } else {
            SetTimer(nullptr, 0, 300, &OpenSkinItem);
            SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
        }
    }
    while (IsWindowVisible(form->Handle()) && !Application->Terminated()) Application->HandleMessage();
    barsPage.reset();
    FreePageWrappers();
    for (auto& w : wrappers) {
        TacMainWnd* p = w.release();
        if (!p->Destroyed && IsWindow(p->CtrlHandle)) DetachWrapper(p->CtrlHandle, true, false, p);
        delete p;
    }
    return 0;
}

}  // namespace

// The system's message box under the skin: 0 once answered, 1 when the box
// could not be shown.
int Message(const AnsiString& Dir, const AnsiString& Name) {
    std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, Dir, Name));
    return MessageBoxW(nullptr, L"The skin is loaded: this box is the system's, skinned by the dialog hook.",
                       L"Skin host message", MB_OK | MB_ICONINFORMATION) ? 0 : 1;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<AnsiString> args = Arguments();
    const bool dump = args.size() == 4 && args[0] == "--dump";
    const bool message = args.size() == 3 && args[0] == "--message";
    const bool mdi = args.size() == 3 && args[0] == "--mdi";
    const bool popup = args.size() == 3 && args[0] == "--popup";
    const bool sysmenu = args.size() == 3 && args[0] == "--sysmenu";
    if (!dump && !message && !mdi && !popup && !sysmenu && args.size() != 2) {
        MessageBoxW(nullptr, L"skinhost.exe <skin directory> <skin name>\n"
                             L"skinhost.exe --message <skin directory> <skin name>\n"
                             L"skinhost.exe --mdi <skin directory> <skin name>\n"
                             L"skinhost.exe --popup <skin directory> <skin name>\n"
                             L"skinhost.exe --sysmenu <skin directory> <skin name>\n"
                             L"skinhost.exe --dump <skin directory> <skin name> <file>",
                    L"Skin host", MB_OK);
        return 2;
    }
    int code = 0;
    try {
        StartEngine();
        code = dump      ? Dump(args[1], args[2], args[3])
               : message ? Message(args[1], args[2])
               : mdi     ? HostMDI(args[1], args[2])
               : popup   ? Host(args[1], args[2], hmPopup)
               : sysmenu ? Host(args[1], args[2], hmSystem)
                         : Host(args[0], args[1], hmNone);
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        code = 1;
    }
    if (Application) Application->DestroyForms();
    FinishUnits();
    return code;
}
