// The creation hook, the providers and the dialog set-up: which windows are
// skinned, and the wrapper each child of a dialog gets by its class.
#include "acDials.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>

#include "Forms.h"
#include "acMsgBox.h"
#include "acSBUtilsBars.h"
#include "acSBUtilsCtrls.h"
#include "acSBUtilsMenus.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsWnds.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

std::vector<TacProvider*>* ProviderList = nullptr;
TacMnuArray HookedMenus;

namespace {

TacMainWnd* MakeMnuWnd(HWND Wnd) {
    return CreateWrapper<TacMnuWnd>(Wnd, false, "MAINMENU", DefaultSkinManager, nullptr);
}

}  // namespace

TacMainWnd* (*MakeMenuWindowWrapper)(HWND Wnd) = MakeMnuWnd;

namespace {

bool IsSkinnedWindow(HWND Wnd) { return SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scIsSkinned)), 0) == 1; }

bool ManagerActive(const TsSkinManager* M) { return M && M->Active() && M->SkinData() && M->SkinData()->Active(); }

bool HasRule(TacSkinningRule Rule) { return DefaultSkinManager && (DefaultSkinManager->SkinningRules() & (1u << Rule)); }

AnsiString Lower(AnsiString S) {
    for (char& c : S) c = char(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

void ReportHookException(const std::exception& E) {
    try {
        HandleControlException(nullptr, E);
    } catch (...) {
    }
}

// A provider placed in the first free entry of the list.
void AddProvider(TacProvider* P) {
    if (!ProviderList) ProviderList = new std::vector<TacProvider*>;
    auto free = std::find(ProviderList->begin(), ProviderList->end(), nullptr);
    if (free != ProviderList->end())
        *free = P;
    else
        ProviderList->push_back(P);
}

void DropProvider(TacProvider* P) {
    if (!ProviderList) return;
    std::replace(ProviderList->begin(), ProviderList->end(), P, static_cast<TacProvider*>(nullptr));
}

// A dialog wrapper whose procedure runs now must not be freed under it.
bool Busy(const TacProvider* P);

void FreeMenuOf(HWND Wnd) {
    for (auto it = HookedMenus.begin(); it != HookedMenus.end(); ++it)
        if ((*it)->CtrlHandle == Wnd) {
            TacMainWnd* w = *it;
            HookedMenus.erase(it);
            delete w;
            return;
        }
}

void InstallingHook() {
    if (!ProviderList) ProviderList = new std::vector<TacProvider*>;
    FreeFinishedProviders();
}

// Every provider freed from the front, the list with them. A dialog whose
// procedure runs now (the skin removed from its own handler or from a box it
// opened) only lets its windows go: its provider stays in the list until a
// later sweep or the unit's end frees it, with the list.
void FreeAllProviders(bool Final) {
    if (!ProviderList) return;
    std::vector<TacProvider*> kept;
    while (!ProviderList->empty()) {
        TacProvider* p = ProviderList->front();
        ProviderList->erase(ProviderList->begin());
        if (p && !Final && Busy(p)) {
            p->LetWindowsGo();
            kept.push_back(p);
        } else {
            delete p;  // its destructor finds no entry left to clear
        }
    }
    if (!kept.empty()) {
        ProviderList->swap(kept);
        return;
    }
    delete ProviderList;
    ProviderList = nullptr;
}

void HookRemoved() {
    ClearMnuArray();
    FreeAllProviders(false);
}

// ---- the class table of the dialog children

using TacMakeWrapper = TacMainWnd* (*)(HWND, const AnsiString&, TsSkinManager*);

template <class T>
TacMainWnd* Make(HWND Wnd, const AnsiString& Section, TsSkinManager* M) {
    return CreateWrapper<T>(Wnd, true, Section, M, nullptr);
}

// One row: the class (exact, or a part of the name), the style test, the
// wrapper and its section. A nil wrapper leaves the child as it is.
struct TacChildRule {
    const char* Class;
    bool (*Style)(LONG_PTR S);
    TacMakeWrapper MakeWrapper;
    const char* Section;
    bool Substring = false;
};

bool AnyStyle(LONG_PTR) { return true; }
bool StaticIcon(LONG_PTR S) { return (S & 3) == 3 || (S & 0x0E) == 0x0E; }
bool StaticOwnLook(LONG_PTR S) { return (S & 0x0D) == 0x0D || (S & 0x1F) == 5 || (S & 0x1F) == 6 || (S & 0x1F) == 11; }
bool ButtonGroup(LONG_PTR S) { return (S & 7) == 7; }
bool ButtonCheck(LONG_PTR S) { return (S & 3) == 3 || (S & 2) == 2 || (S & 5) == 5; }
bool ButtonRadio(LONG_PTR S) { return (S & 9) == 9 || (S & 4) == 4; }
bool TabOwnerDraw(LONG_PTR S) { return (S & TCS_OWNERDRAWFIXED) != 0; }
bool ToolBarFlat(LONG_PTR S) { return (S & 0x200) == 0x200; }

// An up-down control of a dialog leaves the pixels of its buddy's edge.
TacMainWnd* MakeSpin(HWND Wnd, const AnsiString& Section, TsSkinManager* M) {
    TacSpinWnd* w = CreateWrapper<TacSpinWnd>(Wnd, true, Section, M, nullptr);
    if (w) w->LeftOffset = 2;
    return w;
}

const TacChildRule kChildRules[] = {
    {"static", StaticIcon, Make<TacIconWnd>, "CHECKBOX"},
    {"static", StaticOwnLook, nullptr, ""},
    {"static", AnyStyle, Make<TacStaticWnd>, "CHECKBOX"},
    {"#32770", AnyStyle, Make<TacTransPanelWnd>, "CHECKBOX"},
    {"tpanel", AnyStyle, Make<TacDlgPanelWnd>, "PANEL"},
    {"tsilentpaintpanel", AnyStyle, Make<TacDlgPanelWnd>, "PANEL"},
    {"button", ButtonGroup, Make<TacGroupBoxWnd>, "GROUPBOX"},
    {"button", ButtonCheck, Make<TacCheckBoxWnd>, "CHECKBOX"},
    {"button", ButtonRadio, Make<TacCheckBoxWnd>, "CHECKBOX"},
    {"button", AnyStyle, Make<TacBtnWnd>, "BUTTON"},
    {"combobox", AnyStyle, Make<TacComboBoxWnd>, "COMBOBOX"},
    {"comboboxex32", AnyStyle, Make<TacComboBoxWnd>, "COMBOBOX"},
    {"combolbox", AnyStyle, Make<TacEditWnd>, "COMBOBOX"},
    {"scrollbar", AnyStyle, Make<TacSizerWnd>, "CHECKBOX"},
    {"systabcontrol32", TabOwnerDraw, nullptr, ""},
    {"systabcontrol32", AnyStyle, Make<TacTabControlWnd>, "PAGECONTROL"},
    {"syslistview32", AnyStyle, Make<TacListViewWnd>, "EDIT"},
    {"msctls_updown32", AnyStyle, MakeSpin, "SPEEDBUTTON_SMALL"},
    {"listbox", AnyStyle, Make<TacEditWnd>, "EDIT"},
    {"edit", AnyStyle, Make<TacEditWnd>, "EDIT"},
    {"systreeview32", AnyStyle, Make<TacTreeViewWnd>, "EDIT"},
    {"link window", AnyStyle, Make<TacLinkWnd>, "CHECKBOX"},
    {"syslink", AnyStyle, Make<TacLinkWnd>, "CHECKBOX"},
    {"toolbarwindow32", ToolBarFlat, Make<TacToolBarWnd>, "BAR"},
    {"toolbarwindow32", AnyStyle, Make<TacToolBarWnd>, "CHECKBOX"},
    {"shbrowseforfolder", AnyStyle, Make<TacTransPanelWnd>, "CHECKBOX", true},
};

const TacChildRule* FindChildRule(const AnsiString& Class, LONG_PTR Style) {
    for (const TacChildRule& r : kChildRules) {
        const bool named = r.Substring ? Class.find(r.Class) != AnsiString::npos : Class == r.Class;
        if (named && r.Style(Style)) return &r;
    }
    return nullptr;
}

// The tab control of a dialog that cannot be skinned.
constexpr int kUnsupportedTabWidth = 470, kUnsupportedTabHeight = 349;

}  // namespace

// ---------------------------------------------------------------- the hook

LRESULT CALLBACK DialogsHookProc(int Code, WPARAM WParam, LPARAM LParam) {
    const LRESULT r = CallNextHookEx(nullptr, Code, WParam, LParam);
    try {
        HWND h = reinterpret_cast<HWND>(WParam);
        switch (Code) {
        case HCBT_CREATEWND:
            if (MakeMenuWindowWrapper && !IsDwmActive() && WindowClassName(h) == "#32768" && !IsSkinnedWindow(h))
                if (TacMainWnd* w = MakeMenuWindowWrapper(h)) HookedMenus.push_back(w);
            break;
        case HCBT_DESTROYWND:
            FreeMenuOf(h);
            if (TacProvider* p = FindProviderByHandle(h); p && !p->FormProvider && !Busy(p)) {
                // Every kind of dialog: its wrappers go before the window does.
                DropProvider(p);
                delete p;
            }
            FreeFinishedProviders();
            break;
        case HCBT_ACTIVATE: HookActivateWindow(h); break;
        default: break;
        }
    } catch (const std::exception& e) {
        ReportHookException(e);
    } catch (...) {
        ReportHookException(Exception("Unknown exception"));
    }
    return r;
}

bool HookActivateWindow(HWND Wnd) {
    if (IsSkinnedWindow(Wnd) || !DefaultSkinManager || FindProviderByHandle(Wnd)) return false;
    const AnsiString cls = WindowClassName(Wnd);
    if (cls == "TApplication" || cls == "TReportPreviewForm") return false;
    if (TForm* f = FindFormByHandle(Wnd)) {
        if (cls == "TMessageForm") {
            if (!HasRule(srStdDialogs)) return false;
        } else if (!HasRule(srStdForms) || f->Tag() == ExceptTag) {
            return false;
        }
        auto* p = new TacProvider(f);
        AddProvider(p);
        p->CreateFormProvider(f);
        return true;
    }
    if (!HasRule(srStdDialogs)) return false;
    if (CountVisibleDialogs() > 0 && !HasDescendantClass(Wnd, "toolbarwindow32")) return false;
    auto* p = new TacProvider(nullptr);
    AddProvider(p);
    // A window that is no dialog gets no wrapper: a provider that skins
    // nothing is not kept, or every activated window would leave one.
    if (!p->InitDialog(Wnd) || !p->DlgWnd) {
        DropProvider(p);
        delete p;
        return false;
    }
    return true;
}

void ClearMnuArray() {
    TacMnuArray menus;
    menus.swap(HookedMenus);
    for (TacMainWnd* w : menus) delete w;
}

void FreeFinishedProviders() {
    if (!ProviderList) return;
    for (TacProvider*& p : *ProviderList) {
        if (!p || p->FormProvider || Busy(p)) continue;
        if (!p->DlgWnd || p->DlgWnd->Destroyed || !IsWindow(p->CtrlHandle)) {
            TacProvider* gone = p;
            p = nullptr;
            delete gone;
        }
    }
}

void RepaintProviders() {
    if (!ProviderList) return;
    for (TacProvider* p : *ProviderList)
        if (p && IsWindowVisible(p->CtrlHandle))
            RedrawWindow(p->CtrlHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void BroadcastToProviders(TMessage& M) {
    if (!ProviderList) return;
    // A handler may free a provider or add one: the windows are taken first.
    std::vector<HWND> windows;
    for (TacProvider* p : *ProviderList)
        // A form's provider hears it through the skinned-form list.
        if (p && !p->FormProvider && IsWindow(p->CtrlHandle) && IsWindowVisible(p->CtrlHandle))
            windows.push_back(p->CtrlHandle);
    for (HWND w : windows)
        if (IsWindow(w)) SendMessageW(w, M.Msg, M.WParam, M.LParam);
}

// ---------------------------------------------------------------- helpers

void BroadcastToChildren(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    for (HWND c = GetTopWindow(Wnd); c; c = GetWindow(c, GW_HWNDNEXT)) SendMessageW(c, Msg, WParam, LParam);
}

int CountVisibleDialogs() {
    int n = 0;
    if (ProviderList)
        for (TacProvider* p : *ProviderList)
            if (p && p->DlgWnd && IsWindowVisible(p->CtrlHandle)) ++n;
    return n;
}

bool HasDescendantClass(HWND Wnd, const char* Name) {
    for (HWND c = GetTopWindow(Wnd); c; c = GetWindow(c, GW_HWNDNEXT))
        if (Lower(WindowClassName(c)) == Name || HasDescendantClass(c, Name)) return true;
    return false;
}

AnsiString WindowClassName(HWND Wnd) {
    char buf[129] = {};
    const int n = GetClassNameA(Wnd, buf, 128);
    return AnsiString(buf, size_t(std::max(n, 0)));
}

TacProvider* FindProviderByHandle(HWND Wnd) {
    if (!ProviderList || !Wnd) return nullptr;
    for (TacProvider* p : *ProviderList)
        if (p && p->CtrlHandle == Wnd) return p;
    return nullptr;
}

TForm* FindFormByHandle(HWND Wnd) {
    if (!Screen || !Wnd) return nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* f = Screen->Forms(i);
        if (f->HandleIfAllocated() == Wnd) return f;
        if (f->FormStyle() == fsMDIForm)
            for (int k = 0; k < f->MDIChildCount(); ++k)
                if (TForm* c = f->MDIChildren(k); c && c->HandleIfAllocated() == Wnd) return c;
    }
    return nullptr;
}

// ---------------------------------------------------------------- the provider

TacProvider::TacProvider(TComponent* AOwner) : TComponent(AOwner) {}

TacProvider::~TacProvider() {
    Destroying();
    DropProvider(this);
    if (FormProvider) return;  // the form's provider belongs to the form
    // The children first: each gives its window back before the dialog does.
    std::vector<TacMainWnd*> children;
    children.swap(ChildWrappers);
    for (auto it = children.rbegin(); it != children.rend(); ++it) delete *it;
    delete DlgWnd;
    DlgWnd = nullptr;
}

void TacProvider::LetWindowsGo() {
    for (auto it = ChildWrappers.rbegin(); it != ChildWrappers.rend(); ++it) DetachWrapper(nullptr, false, false, *it);
    if (DlgWnd) {
        TacMainWnd* w = DlgWnd;
        DetachWrapper(CtrlHandle, false, true, w);
    }
}

void TacProvider::CreateFormProvider(TForm* Form) {
    auto* p = new TsSkinProvider(Form);
    FormProvider = p;
    CtrlHandle = Form->HandleIfAllocated();
    p->SetMakeSkinMenu(false);
}

bool TacProvider::InitDialog(HWND Wnd) {
    CtrlHandle = Wnd;
    ChildWrappers.clear();
    if (DlgWnd || !ManagerActive(DefaultSkinManager)) return true;
    LeftScrollBar = (GetWindowLongPtrW(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const AnsiString cls = WindowClassName(Wnd);
    if (cls != "#32770" && cls != "TMessageForm") return true;
    UpdateDialogWrapper(Wnd, DlgWnd);
    if (!DlgWnd) return false;
    DlgWnd->Provider = this;
    if (MessageBoxX != -1 || MessageBoxY != -1)
        SetWindowPos(Wnd, nullptr, MessageBoxX, MessageBoxY, 0, 0, SWP_NOOWNERZORDER | SWP_NOREDRAW | SWP_NOSIZE);
    if (!WrapChildWindows(Wnd)) {
        DropProvider(this);
        return false;
    }
    DlgWnd->Setup();
    SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scNewSkin)), LPARAM(DefaultSkinManager));
    return true;
}

bool TacProvider::WrapChildWindows(HWND Wnd) {
    for (HWND c = GetTopWindow(Wnd); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!WrapChildWindows(c)) return false;
        if ((GetWindowLongPtrW(c, GWL_STYLE) & WS_CHILD) && !AddChildWindow(c)) return false;
    }
    return true;
}

bool TacProvider::AddChildWindow(HWND Wnd) {
    if (IsSkinnedWindow(Wnd)) return true;
    WrappingDialogChildren = true;
    struct Lowered {
        ~Lowered() { WrappingDialogChildren = false; }
    } lowered;
    const AnsiString cls = Lower(WindowClassName(Wnd));
    const LONG_PTR style = GetWindowLongPtrW(Wnd, GWL_STYLE);
    TsSkinManager* m = DlgWnd && DlgWnd->SkinData ? DlgWnd->SkinData->SkinManager() : DefaultSkinManager;
    if (const TacChildRule* r = FindChildRule(cls, style); r && r->MakeWrapper)
        if (TacMainWnd* w = r->MakeWrapper(Wnd, r->Section, m)) ChildWrappers.push_back(w);
    if (cls == "systabcontrol32") {
        RECT rc{};
        GetWindowRect(Wnd, &rc);
        if (rc.right - rc.left == kUnsupportedTabWidth && rc.bottom - rc.top == kUnsupportedTabHeight) return false;
    }
    return true;
}

void UpdateDialogWrapper(HWND Wnd, TacDialogWnd*& Wrapper) {
    if (ManagerActive(DefaultSkinManager)) {
        UninitializeFlatSB(Wnd);
        if (Wrapper && Wrapper->Destroyed) {
            delete Wrapper;
            Wrapper = nullptr;
        }
        if (!Wrapper) Wrapper = CreateWrapper<TacDialogWnd>(Wnd, false, "DIALOG", DefaultSkinManager, nullptr);
    } else {
        delete Wrapper;
        Wrapper = nullptr;
        InitializeFlatSB(Wnd);
    }
}

namespace {
bool Busy(const TacProvider* P) { return P->DlgWnd && P->DlgWnd->ProcDepth > 0; }
}  // namespace

// ---------------------------------------------------------------- the dialog system menu

namespace {
TacSysMenuBase::TItemNames kDialogItemNames = {"miRestore", "miMove", "miSize", "miMinimize", "miMaximize", "miClose"};
}  // namespace

TacSystemMenu::TacSystemMenu(TacDialogWnd* ADialog) : TacSysMenuBase(nullptr, kDialogItemNames), FDialog(ADialog) {}

HWND TacSystemMenu::Target() const { return FDialog ? FDialog->CtrlHandle : nullptr; }

TsSkinManager* TacSystemMenu::WindowManager() const {
    if (!FDialog) return nullptr;
    return FDialog->SkinData ? FDialog->SkinData->SkinManager() : FDialog->SkinManager;
}

void TacSystemMenu::CommandDone(UINT Command) {
    HWND h = Target();
    if ((Command == SC_RESTORE || Command == SC_MAXIMIZE) && h && IsWindow(h) && !FDialog->Destroyed) UpdateItems();
}

void TacSystemMenu::UpdateItems() {
    try {
        const int kind = FDialog->BorderKind;
        const bool sysMenu = (FDialog->WndStyle & WS_SYSMENU) != 0;
        HWND h = FDialog->CtrlHandle;
        const bool zoomed = IsZoomed(h) != 0, iconic = IsIconic(h) != 0;
        const bool sized = kind == dkInitial || kind == dkSizeable;
        const bool visible[smCount] = {sysMenu && sized, true, sized, (FDialog->WndStyle & WS_MINIMIZEBOX) != 0,
                                       (FDialog->WndStyle & WS_MAXIMIZEBOX) != 0, sysMenu};
        const bool enabled[smCount] = {FDialog->CanRestore(),  !zoomed,
                                       kind != dkInitial && !iconic, FDialog->CanMinimize(),
                                       FDialog->CanMaximize(), true};
        SetItemStates(visible, enabled);
    } catch (...) {
        // The items keep their last state.
    }
}

// ---------------------------------------------------------------- unit

void acDialsInitialize() {
    CreationHookSide.Proc = DialogsHookProc;
    CreationHookSide.Installing = InstallingHook;
    CreationHookSide.Removed = HookRemoved;
    CreationHookSide.Repaint = RepaintProviders;
    CreationHookSide.Broadcast = BroadcastToProviders;
}

void acDialsFinalize() {
    ClearMnuArray();
    FreeAllProviders(true);
    CreationHookSide = TacCreationHookSide{};
}
