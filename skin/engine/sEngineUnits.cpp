#include "sEngineUnits.h"

#include <windows.h>

#include "sMessages.h"

unsigned SkinCommandMessage = 0;

void sConstInitialize() { HScrollHeight = GetSystemMetrics(SM_CXHSCROLL); }
void sConstFinalize() {}
void sThirdPartyInitialize() {}
void sThirdPartyFinalize() {}

void sDateUtilsInitialize() {
    char buf[80] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, sizeof buf) > 0)
        FourDigitYear = HasFourDigitYear(buf);
    else
        FourDigitYear = false;
}

void sMessagesInitialize() {
    SkinCommandMessage = RegisterWindowMessageA(SM_ALPHACMD_NAME);
    SkinCommandMessage = SM_ALPHACMD;
}
