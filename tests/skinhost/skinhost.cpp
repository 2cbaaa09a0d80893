// Skin host for tests and screenshots.
//   skinhost.exe <skin directory> <skin name>
//     shows one form, "Skin host", with a skin manager set to that skin and
//     a page for each family of wrapped windows (wrapped by hand): a
//     multi-line system edit with both scroll bars, the plain controls, the
//     edit-like ones, and the bars and tabs; the page control is wrapped too;
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
#include "HostBars.h"
#include "HostCtrls.h"
#include "SkinDump.h"
#include "Tabs.h"
#include "acSBUtils.h"
#include "Text1251.h"
#include "StdCtrls.h"
#include "UnitInit.h"
#include "WinText.h"
#include "acPNG.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsWnds.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sEngineUnits.h"
#include "sSkinManager.h"

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
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
        {"acSBUtils", nullptr, FreePageWrappers},
    };
    StartUnits(kUnits);
}

// A manager that loads the skin once both settings are in.
TsSkinManager* MakeManager(TComponent* Owner, const AnsiString& Dir, const AnsiString& Name) {
    auto* m = new TsSkinManager(Owner);
    m->SetActive(false);
    m->SetSkinDirectory(Dir);
    m->SetSkinName(Name);
    m->SetActive(true);
    return m;
}

int Dump(const AnsiString& Dir, const AnsiString& Name, const AnsiString& File) {
    TsSkinManager* m = nullptr;
    std::string text, error;
    try {
        m = MakeManager(nullptr, Dir, Name);
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

// Until the form provider answers for its children, the host form (and the
// page that holds the edit-like windows) stands in for it: the colour under
// a wrapped child (commands 34 and 21) and the colours a wrapped foreign
// edit or list box paints its client with.
template <class Base>
class THost : public Base {
public:
    using Base::Base;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) == scGetBackground && M.LParam) {
            auto* info = reinterpret_cast<BackgroundInfo*>(M.LParam);
            info->BgType = 1;
            info->Color = ColorToRGB(this->Color());
            if (info->PleaseDraw && info->DrawDC) FillRectOnDC(info->DrawDC, info->R, info->Color);
            return;
        }
        if (M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) == scQueryColor) {
            M.Result = ColorToRGB(this->Color());
            return;
        }
        if (M.Msg == WM_CTLCOLOREDIT || M.Msg == WM_CTLCOLORLISTBOX) {
            auto* w = dynamic_cast<TacEditWnd*>(GetWrapper(reinterpret_cast<HWND>(M.LParam)));
            const TsGeneralData* s = w && !w->SkinData->OwnerControl && w->Skinned ? w->SkinData->Section() : nullptr;
            if (s) {
                HDC dc = reinterpret_cast<HDC>(M.WParam);
                SetTextColor(dc, COLORREF(ColorToRGB(s->FontColor[0])));
                SetBkColor(dc, COLORREF(ColorToRGB(w->PaintColor)));
                M.Result = reinterpret_cast<LRESULT>(w->LookBrush());
                return;
            }
        }
        Base::WndProc(M);
    }
};

class THostForm : public THost<TForm> {
public:
    using THost<TForm>::THost;
    const char* ClassName() const override { return "THostForm"; }
};

class THostSheet : public THost<TTabSheet> {
public:
    using THost<TTabSheet>::THost;
    const char* ClassName() const override { return "THostSheet"; }
};

HWND Child(TWinControl* Form, DWORD ExStyle, const wchar_t* Class, DWORD Style, int X, int Y, int W, int H,
           const void* Param = nullptr) {
    HWND h = CreateWindowExW(ExStyle, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Form->Handle(), nullptr,
                             GetModuleHandleW(nullptr), const_cast<void*>(Param));
    SendMessageW(h, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return h;
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
    // A class-library edit: its own colours are the skin's while wrapped.
    auto* own = new TEdit(Form);
    own->SetParent(Form);
    own->SetBounds(250, 160, 200, 24);
    own->SetText("Class-library edit");
    States.emplace_back(new TsCommonData(own, true));
    States.back()->SetSkinSection("EDIT");
    if (TacMainWnd* w = CreateWrapper<TacEditWnd>(own->Handle(), true, "EDIT", M, States.back().get()))
        List.emplace_back(w);
}

int Host(const AnsiString& Dir, const AnsiString& Name) {
    Application->Initialize();
    auto* form = new THostForm(Application);
    form->SetCaption("Skin host");
    form->SetBounds(80, 60, 800, 600);
    TsSkinManager* manager = nullptr;
    try {
        manager = MakeManager(form, Dir, Name);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    // One page for each family of wrapped windows.
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetAlign(alClient);
    auto page = [&](const char* Caption, TTabSheet* Sheet = nullptr) {
        if (!Sheet) Sheet = new TTabSheet(form);
        Sheet->SetCaption(Caption);
        Sheet->SetParent(pages);
        return Sheet;
    };
    TTabSheet* scrolling = page("Scroll bars");
    TTabSheet* controls = page("Controls");
    TTabSheet* edits = page("Edits and lists", new THostSheet(form));
    TTabSheet* bars = page("Bars and tabs");
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<AnsiString> args = Arguments();
    const bool dump = args.size() == 4 && args[0] == "--dump";
    if (!dump && args.size() != 2) {
        MessageBoxW(nullptr, L"skinhost.exe <skin directory> <skin name>\n"
                             L"skinhost.exe --dump <skin directory> <skin name> <file>",
                    L"Skin host", MB_OK);
        return 2;
    }
    int code = 0;
    try {
        StartEngine();
        code = dump ? Dump(args[1], args[2], args[3]) : Host(args[0], args[1]);
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        code = 1;
    }
    if (Application) Application->DestroyForms();
    FinishUnits();
    return code;
}
