// The class library's message-dialog kinds and set of buttons. Portable: no Windows headers.
#pragma once

#include <cstdint>
#include <initializer_list>

// The kind of a message dialog: its caption and icon.
enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
// Set of TMsgDlgBtn: bit (1 << button).
using TMsgDlgButtons = unsigned;

constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> Buttons) {
    TMsgDlgButtons set = 0;
    for (TMsgDlgBtn b : Buttons) set |= 1u << b;
    return set;
}
constexpr bool HasButton(TMsgDlgButtons Set, TMsgDlgBtn B) { return (Set >> B) & 1u; }
