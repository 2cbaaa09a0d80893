#include "acMsgStyle.h"

namespace {

// The platform's message-box style values.
enum : unsigned {
    kOk = 0x0,
    kOkCancel = 0x1,
    kAbortRetryIgnore = 0x2,
    kYesNoCancel = 0x3,
    kYesNo = 0x4,
    kRetryCancel = 0x5,
    kIconError = 0x10,
    kIconQuestion = 0x20,
    kIconWarning = 0x30,
    kIconInformation = 0x40,
    kHelp = 0x4000,
};

unsigned Layout(TMsgDlgButtons B) {
    if (HasButton(B, mbOK)) return HasButton(B, mbCancel) ? kOkCancel : kOk;
    if (HasButton(B, mbAbort) || HasButton(B, mbIgnore)) return kAbortRetryIgnore;
    if (HasButton(B, mbYes) || HasButton(B, mbNo)) return HasButton(B, mbCancel) ? kYesNoCancel : kYesNo;
    if (HasButton(B, mbRetry)) return kRetryCancel;
    return kOk;
}

}  // namespace

AnsiString MessageTypeCaption(TacMessageType Type) {
    switch (Type) {
        case mtWarning: return "Warning";
        case mtError: return "Error";
        case mtInformation: return "Information";
        case mtConfirmation: return "Confirm";
        default: return AnsiString();
    }
}

unsigned MessageTypeStyle(TacMessageType Type, TMsgDlgButtons Buttons) {
    static const unsigned kIcons[] = {kIconWarning, kIconError, kIconInformation, kIconQuestion, 0};
    const unsigned icon = Type < sizeof kIcons / sizeof kIcons[0] ? kIcons[Type] : 0;
    return icon | Layout(Buttons) | (HasButton(Buttons, mbHelp) ? kHelp : 0u);
}
