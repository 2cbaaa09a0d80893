// Start-up steps of the engine's small units, in their order: sConst,
// sThirdParty, sDateUtils, then (after the skin-data unit) sSkinManager and
// the engine message unit. None makes a window, a hook or a timer.
#pragma once

#include "sConst.h"
#include "sDateUtils.h"
#include "sThirdParty.h"

void sConstInitialize();
void sConstFinalize();
void sThirdPartyInitialize();
void sThirdPartyFinalize();
void sDateUtilsInitialize();
// Registers the message name with the platform, then fixes the number at
// SM_ALPHACMD whatever the platform answered.
void sMessagesInitialize();
extern unsigned SkinCommandMessage;
