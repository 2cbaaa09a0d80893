#include "HostForm.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "Buttons.h"
#include "ExtControls.h"
#include "Frames.h"
#include "HostBars.h"
#include "HostCtrls.h"
#include "HostMenus.h"
#include "StdCtrls.h"
#include "TestSkins.h"
#include "UnitInit.h"
#include "acDials.h"
#include "acGlow.h"
#include "acPNG.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsWnds.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sScrollBar.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"
#include "sSkinnedForms.h"

namespace {

void StartHostEngineUnits() {
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

using Wrappers = std::vector<TacMainWnd*>;

template <class W>
void Wrap(Wrappers& List, HWND H, const char* Section, TsSkinManager* M) {
    if (TacMainWnd* w = CreateWrapper<W>(H, true, Section, M, nullptr)) List.push_back(w);
}

// The controls of every wrapped kind, foreign windows and class-library ones.
void AddWrappedControls(TWinControl* Form, TsSkinManager* M, Wrappers& List) {
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

}  // namespace

void StartHostEngine() {
    static bool started = false;
    if (started) return;
    started = true;
    StartHostEngineUnits();
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

TSkinHost::TSkinHost(const AnsiString& Dir, const AnsiString& Name, bool SkinMenu, int Page) {
    FForm = new TForm(Application);
    TForm* form = FForm;
    form->SetCaption("Skin host");
    form->SetBounds(80, 60, 800, 600);
    AddHostMenus(form);
    try {
        FManager = MakeSkinManager(form, Dir, Name);
        NameHostControls(FManager);
        auto* provider = new TsSkinProvider(form);
        provider->SetMakeSkinMenu(SkinMenu);
    } catch (const std::exception&) {
        LoadError = std::current_exception();
    }
    TsSkinManager* manager = FManager;
    // One page for each family of wrapped windows.
    auto* pages = new TPageControl(form);
    FPages = pages;
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
    if (Page > 0 && Page < pages->PageCount()) pages->SetActivePage(pages->Pages(Page));
    form->Show();
    FMemo.reset(CreateWrapper<TacScrollWnd>(MakeMemo(scrolling), true, "EDIT", manager, nullptr));
    if (manager) FControlsPage = std::make_unique<TControlsPage>(controls, manager);
    if (manager && manager->SkinData()->Active()) {
        AddWrappedControls(edits, manager, FWrappers);
        FBarsPage = std::make_unique<TBarsPage>(bars, manager);
        // The page control itself, and through it its pages.
        FStates.emplace_back(new TsCommonData(pages, true));
        if (TacMainWnd* w = CreateWrapper<TacPageControlWnd>(pages->Handle(), true, "PAGECONTROL", manager,
                                                             FStates.back().get()))
            FWrappers.push_back(w);
    }
}

TSkinHost::~TSkinHost() {
    FBarsPage.reset();
    FreePageWrappers();
    for (auto it = FWrappers.rbegin(); it != FWrappers.rend(); ++it) {
        TacMainWnd* p = *it;
        if (!p->Destroyed && IsWindow(p->CtrlHandle)) DetachWrapper(p->CtrlHandle, true, false, p);
        delete p;
    }
    FControlsPage.reset();
    FMemo.reset();
    FStates.clear();
    delete FForm;
}
