// Two members of the scroll-window family that need more than their
// parents give: the wrapper of a system pop-up menu window ("#32768"),
// which paints the menu's frame and background from the skin while a
// skinned menu shows (the items are drawn by the menu skinning), and the
// wrapper of a combo box of another component set, whose drop-down button
// the control tells rather than its style.
#pragma once

#include <windows.h>

#include "acMenuCache.h"
#include "acSBUtilsWnds.h"

class TWinControl;

// SkinnedMenuShowing and the cache of open pop-ups' backgrounds, which the
// menu skinning fills and a wrapped menu window paints its frame from, are
// the engine's (acMenuCache.h).

class TacMnuWnd : public TacScrollWnd {
public:
    using TacScrollWnd::TacScrollWnd;
    const char* ClassName() const override { return "TacMnuWnd"; }
    void WndProc(TMessage& Message) override;
    // The section over an empty background into the cache, when it changed.
    void PaintToCache();

private:
    void PaintFrame();
};

class TacExtComboBoxWnd : public TacComboBoxWnd {
public:
    // HasButton: the control shows a drop-down button (a foreign window does).
    TacExtComboBoxWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                      TsCommonData* Data, bool HasButton = true);
    const char* ClassName() const override { return "TacExtComboBoxWnd"; }
    // Wraps a class-library combo box's window: a "TComboBox" has a button
    // only in its drop-down styles, every other class always.
    static TacExtComboBoxWnd* CreateForControl(TWinControl* Control, bool Repaint, const AnsiString& Section,
                                               TsSkinManager* Manager, TsCommonData* Data);
    // Whether a class-library combo box shows a drop-down button.
    static bool ControlHasButton(TWinControl* Control);
    void GetButtonRect(TRect& R);
    TRect ButtonRect() override;

    bool HasButton = true;
};
