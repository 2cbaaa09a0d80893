// The engine's one message box for its user-facing problems (a packed skin
// with a wrong header, a form skin provider on something that is no form):
// a message type and a set of buttons mapped onto the platform's message
// box, shown modally through the application object.
#pragma once

#include "acMsgStyle.h"

// Where the box is asked to appear (screen coordinates), -1 each when
// anywhere: set only while a box is open, for the skinned-dialog hook.
extern int MessageBoxX, MessageBoxY;

// The identifier of the button pressed (IDOK, IDCANCEL, IDYES, ...). An
// empty caption takes the type's own.
int ShowTypedMessage(const AnsiString& Caption, const AnsiString& Text, TacMessageType Type,
                     TMsgDlgButtons Buttons, int X = -1, int Y = -1);
// With the type's caption, anywhere.
int MessageByType(const AnsiString& Text, TacMessageType Type, TMsgDlgButtons Buttons);
int ShowWarning(const AnsiString& Text);
int ShowError(const AnsiString& Text);
