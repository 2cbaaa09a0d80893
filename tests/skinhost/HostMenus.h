// The skin host's menus: a main menu with sub-menus on the form and a pop-up
// menu that the form shows on a right click (and at its centre with --popup).
#pragma once

#include "Forms.h"
#include "Menus.h"

// Makes both menus, owned by Form (before the skin manager, so that the
// manager's menu object finds them); the main menu becomes Form's Menu.
void AddHostMenus(TForm* Form);
// The host's pop-up menu, or nullptr.
TPopupMenu* HostPopupMenu(TForm* Form);
// Opens the pop-up menu at the centre of the form's client area; returns
// when it closes.
void ShowHostPopup(TForm* Form);
