// How a typed message (warning, error, information, confirmation, custom)
// and a set of buttons map onto the platform's message box: its default
// caption and its style bits (icon, button layout, help button). Portable:
// the style values are the platform's MB_* numbers, spelled out here.
#pragma once

#include <cstdint>

#include "MsgDlgButtons.h"
#include "RunTime.h"

// The class library's dialog kinds: one set of names for both boxes.
using TacMessageType = TMsgDlgType;

// "Warning", "Error", "Information", "Confirm"; empty for a custom message.
AnsiString MessageTypeCaption(TacMessageType Type);
// The icon of the type combined with the layout of the first rule that
// applies: OK (with Cancel: OK/Cancel); Abort or Ignore: Abort/Retry/Ignore;
// Yes or No (with Cancel: Yes/No/Cancel, else Yes/No); Retry: Retry/Cancel;
// else OK. Help adds the help button; All, No to all and Yes to all change
// nothing.
unsigned MessageTypeStyle(TacMessageType Type, TMsgDlgButtons Buttons);
