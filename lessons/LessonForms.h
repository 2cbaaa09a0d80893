// What every lesson unit uses: the class library's forms and controls, the
// framed label, the binding of a form's component fields, and the one
// interface between the menu and the games.
//
// The menu and the games meet only here:
// - The menu (Unit2) creates a game form with the application as owner,
//   shows it and hides itself. A game form is never freed before the program
//   ends: closing it only hides it (caHide, the default close action of a
//   form that is not the main form).
// - Going back: a game form's OnClose handler shows the menu, Form2->Show();
//   the menu's FormShow then checks the counter and unlocks the prize.
// - Winning: a game calls RaiseCompletedGames() once, at its win. It adds one
//   to the completed-game counter (the caption of the menu's hidden Label1,
//   decimal text) and, when the menu is visible at that moment (a win noticed
//   after the pupil already went back), runs the menu's prize check at once,
//   since no FormShow will come to do it.
#pragma once

#include "ExtControls.h"
#include "Forms.h"
#include "RzLabel.h"
#include "TypeInfo.h"

// The completed-game counter plus one; see above.
void RaiseCompletedGames();

// One tick of a game's blinking "ДОМ": state 1 paints Caption red and turns
// to 2, state 2 yellow and back to 1; state 0 (no win yet) leaves it alone.
inline void BlinkHome(TControl* Caption, int& State) {
    if (State == 1) {
        Caption->Font()->SetColor(clRed);
        State = 2;
    } else if (State == 2) {
        Caption->Font()->SetColor(clYellow);
        State = 1;
    }
}

// Points Field at the form's component of that name and class; raises when the
// definition lacks it, so a handler never meets a null component.
template <class T>
void BindComponent(TForm* Form, T*& Field, const char* Name) {
    Field = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Field)
        throw EComponentError(AnsiString(Form->ClassName()) + ": the definition has no component " + Name);
}
