// The system menu of a skinned window, as a class-library pop-up menu: the
// skinned menus measure and paint it like every other pop-up of the
// program. A form's provider and a dialog's wrapper take over the window's
// own system menu; each derives from TacSysMenuBase, which holds the six
// items (Restore, Move, Size, Minimize, Maximize, a separator, Close with
// Alt+F4), sends the chosen item's command to the window as WM_SYSCOMMAND
// and hands the menu to its window's manager's menu skinning when shown.
// What differs (item names, the visibility and enabled rules, what a click
// does besides sending) is the descendant's.
#pragma once

#include <windows.h>

#include <memory>

#include "Menus.h"

class TsSkinManager;

class TacSysMenuBase : public TPopupMenu {
public:
    // In menu order; the separator lies between smMaximize and smClose.
    enum { smRestore, smMove, smSize, smMinimize, smMaximize, smClose, smCount };
    using TItemNames = const char* const[smCount];

    TacSysMenuBase(TComponent* AOwner, TItemNames& Names);
    ~TacSysMenuBase() override;
    const char* ClassName() const override { return "TacSysMenuBase"; }

    TMenuItem* Item(int Index) const { return FItems[Index]; }
    // Skinned by the window's manager's menus while its skin and skinned
    // pop-ups are on, drawn by the system otherwise. A second call while
    // the menu shows does nothing.
    void Popup(int X, int Y) override;
    // The caption of a system-menu string of the program's string table,
    // Default when the program has none.
    static AnsiString ResourceCaption(UINT Id, const char* Default);
    // Every item's caption read again from the string table (after a skin
    // change, which may come with the program's strings switched).
    void RefreshCaptions();

protected:
    // The window the commands go to.
    virtual HWND Target() const = 0;
    // The manager whose skin the window wears (its menus paint this one).
    virtual TsSkinManager* WindowManager() const = 0;
    // What choosing the item of Command does: send it, unless overridden.
    virtual void DoCommand(UINT Command) { Send(Command); }
    // Called after DoCommand unless the menu was freed meanwhile (the
    // command may close the window whose wrapper owns the menu).
    virtual void CommandDone(UINT) {}
    void Send(UINT Command);
    void SetItemStates(const bool (&Visible)[smCount], const bool (&Enabled)[smCount]);

private:
    void ItemClick(TObject* Sender);
    TMenuItem* FItems[smCount];
    bool FShowing = false;
    std::shared_ptr<bool> FAlive;
};
