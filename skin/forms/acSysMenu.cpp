#include "acSysMenu.h"

#include <string>
#include <vector>

#include "Guards.h"
#include "Text1251.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"

namespace {
struct TSysItem {
    UINT Id;  // of the caption in the string table
    const char* Caption;
    UINT Command;
};
const TSysItem kSysItems[TacSysMenuBase::smCount] = {
    {58981, "Restore", SC_RESTORE},   {58980, "Move", SC_MOVE},         {58979, "Size", SC_SIZE},
    {58978, "Minimize", SC_MINIMIZE}, {58977, "Maximize", SC_MAXIMIZE}, {58976, "Close", SC_CLOSE},
};
constexpr TShortCut kAltF4 = 0x8073;
}  // namespace

AnsiString TacSysMenuBase::ResourceCaption(UINT Id, const char* Default) {
    wchar_t buf[64];
    const int n = LoadStringW(GetModuleHandleW(nullptr), Id, buf, 64);
    return n > 0 ? Utf16ToCp1251(std::u16string(reinterpret_cast<const char16_t*>(buf), size_t(n)))
                 : AnsiString(Default);
}

TacSysMenuBase::TacSysMenuBase(TComponent* AOwner, TItemNames& Names)
    : TPopupMenu(AOwner), FAlive(std::make_shared<bool>(true)) {
    for (int i = 0; i < smCount; ++i) {
        if (i == smClose) {
            auto* line = new TMenuItem(this);
            line->SetCaption("-");
            Items()->Add(line);
        }
        auto* item = new TMenuItem(this);
        item->SetName(Names[i]);
        item->SetTag(intptr_t(kSysItems[i].Command));
        item->OnClick = TNotifyEvent::Of<&TacSysMenuBase::ItemClick>(this);
        Items()->Add(item);
        FItems[i] = item;
    }
    FItems[smClose]->SetShortCut(kAltF4);
    RefreshCaptions();
}

void TacSysMenuBase::RefreshCaptions() {
    for (int i = 0; i < smCount; ++i) FItems[i]->SetCaption(ResourceCaption(kSysItems[i].Id, kSysItems[i].Caption));
}

TacSysMenuBase::~TacSysMenuBase() { *FAlive = false; }

void TacSysMenuBase::Send(UINT Command) {
    HWND h = Target();
    if (h && IsWindow(h)) SendMessageW(h, WM_SYSCOMMAND, Command, 0);
}

void TacSysMenuBase::SetItemStates(const bool (&Visible)[smCount], const bool (&Enabled)[smCount]) {
    for (int i = 0; i < smCount; ++i) {
        FItems[i]->SetVisible(Visible[i]);
        FItems[i]->SetEnabled(Enabled[i]);
    }
}

void TacSysMenuBase::ItemClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    const UINT command = UINT(item->Tag());
    const std::shared_ptr<bool> alive = FAlive;
    DoCommand(command);
    if (*alive) CommandDone(command);
}

void TacSysMenuBase::Popup(int X, int Y) {
    if (FShowing) return;
    // The painter's handlers are put in for this showing only as the window's
    // manager's menus stand now: a menus object that went since the last
    // showing must leave nothing behind, and without skinned pop-ups the
    // system draws the items.
    std::vector<TMenuItem*> stack{Items()};
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        i->OnAdvancedDrawItem = nullptr;
        i->OnMeasureItem = nullptr;
        for (int j = 0; j < i->Count(); ++j) stack.push_back(i->Items(j));
    }
    TsSkinManager* m = WindowManager();
    auto* menus = m ? dynamic_cast<TsSkinableMenus*>(m->SkinableMenus()) : nullptr;
    if (menus)
        menus->HookPopupMenu(this, menus->Active());
    else
        SetOwnerDraw(false);
    FShowing = true;
    // A chosen command may free the menu (its window closed, the wrapper gone).
    ScopeExit done([this, alive = FAlive] {
        if (*alive) FShowing = false;
    });
    TPopupMenu::Popup(X, Y);
}
