#include "LessonUnits.h"

#include "RzCommon.h"
#include "RzLabel.h"
#include "RzUnits.h"
#include "UnitInit.h"
#include "acAlphaHints.h"
#include "acAlphaImageList.h"
#include "acGlow.h"
#include "acPNG.h"
#include "acShellCtrls.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sEngineUnits.h"
#include "sScrollBar.h"
#include "sSkinnedForms.h"
#include "sSkinManager.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit51.h"
#include "Unit52.h"
#include "Unit6.h"

void RegisterLessonForms() {
    TForm2::Register();
    Tsost::Register();
    Traspr::Register();
    Traspr1::Register();
    Tkros::Register();
    TForm1::Register();
}

void StartProgramUnits() {
    static const TUnitStep kUnits[] = {
        {"RzCommon", RzCommonStartup, nullptr},
        {"RzLabel", RegisterRzLabel, nullptr},
        {"RzBckgnd", RegisterRzBackground, nullptr},
        {"RzEdit", RegisterRzEdit, nullptr},
        {"RzButton", RegisterRzButton, nullptr},
        {"RzPanel", RegisterRzPanel, nullptr},
        {"RzLine", RegisterRzLine, nullptr},
        {"Shapes", RegisterShapes, nullptr},
        // The skin engine's constants, before any form is read.
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sDateUtils", sDateUtilsInitialize, nullptr},
        // The start-up image list from the program's five PNG resources.
        {"acAlphaImageList", acAlphaImageListInitialize, acAlphaImageListFinalize},
        // The desktop's root folder; OLE for the GUI thread, before the
        // application initialises it again (both balanced at exit).
        {"acShellCtrls", acShellCtrlsInitialize, acShellCtrlsFinalize},
        // The window-theme and layered-window functions, looked up by name.
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
        {"acGlow", acGlowInitialize, acGlowFinalize},
        // The program file's icons for skinned title bars.
        {"sSkinnedForms", sSkinnedFormsInitialize, sSkinnedFormsFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        // The alpha picture class must be known before any form is read.
        {"acPNG", acPNGInitialize, acPNGFinalize},
        // The default hint template from the resource "ACHINT".
        {"acAlphaHints", acAlphaHintsInitialize, acAlphaHintsFinalize},
        // The sorting game's skinned scroll bar, known to the form reader.
        {"sScrollBar", sScrollBarInitialize, nullptr},
        {"Lessons", RegisterLessonForms, nullptr},
    };
    StartUnits(kUnits);
}

void StopProgramUnits() { FinishUnits(); }
