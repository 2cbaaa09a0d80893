// The class library's message dialog: a small form of the class
// TMessageForm (icon, text, a row of buttons) shown modally, so that a skin
// manager's creation hook can skin it like any other form of the library.
#pragma once

#include "Buttons.h"
#include "Forms.h"
#include "MsgDlgButtons.h"

class TMessageForm : public TForm {
public:
    explicit TMessageForm(TComponent* AOwner);
    const char* ClassName() const override { return "TMessageForm"; }
    // The system icon drawn left of the text; nil for none.
    HICON DialogIcon = nullptr;

private:
    void PaintIcon(TObject* Sender);
};

// The dialog laid out for the message, its type (caption and icon) and buttons.
TMessageForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows the form modally: the thread's other windows are disabled until a
// button gives it a modal result or it is closed (mrCancel).
int ShowModalForm(TForm* Form);
// The button pressed as its modal result (mrOk, mrYes, ...); mrCancel when
// the dialog was closed otherwise.
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
