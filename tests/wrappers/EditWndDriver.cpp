#include "EditWndDriver.h"

#include <commctrl.h>

#include <string>

#include "UnitInit.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sSkinManager.h"

void StartEditWndUnits() {
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
    };
    StartUnits(kUnits);
}

void FillListView(HWND H) {
    const wchar_t* names[] = {L"Name", L"Size", L"Kind", L"Date"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 160;
        col.pszText = const_cast<wchar_t*>(names[c]);
        SendMessageW(H, LVM_INSERTCOLUMNW, c, LPARAM(&col));
    }
    for (int i = 0; i < 200; ++i) {
        std::wstring t = L"row " + std::to_wstring(i);
        LVITEMW it{};
        it.mask = LVIF_TEXT;
        it.iItem = i;
        it.pszText = t.data();
        SendMessageW(H, LVM_INSERTITEMW, 0, LPARAM(&it));
        for (int c = 1; c < 4; ++c) {
            it.iSubItem = c;
            SendMessageW(H, LVM_SETITEMTEXTW, i, LPARAM(&it));
        }
    }
}
