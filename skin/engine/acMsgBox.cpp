#include "acMsgBox.h"

#include "Forms.h"
#include "Guards.h"

int MessageBoxX = -1, MessageBoxY = -1;

int ShowTypedMessage(const AnsiString& Caption, const AnsiString& Text, TacMessageType Type,
                     TMsgDlgButtons Buttons, int X, int Y) {
    const AnsiString caption = Caption.empty() ? MessageTypeCaption(Type) : Caption;
    MessageBoxX = X;
    MessageBoxY = Y;
    // Reset whether the box returns or its owner's handler throws.
    ScopeExit reset([] { MessageBoxX = MessageBoxY = -1; });
    return Application ? Application->MessageBox(Text, caption, MessageTypeStyle(Type, Buttons)) : 0;
}

int MessageByType(const AnsiString& Text, TacMessageType Type, TMsgDlgButtons Buttons) {
    return ShowTypedMessage(AnsiString(), Text, Type, Buttons, -1, -1);
}

int ShowWarning(const AnsiString& Text) { return MessageByType(Text, mtWarning, MsgDlgButtons({mbOK})); }

int ShowError(const AnsiString& Text) { return MessageByType(Text, mtError, MsgDlgButtons({mbOK})); }
