// Skin host for tests and screenshots.
//   skinhost.exe <skin directory> <skin name>
//     shows one form, "Skin host", with a skin manager set to that skin and
//     a page for each family of wrapped windows (wrapped by hand): a
//     multi-line system edit with both scroll bars, and the plain controls;
//   skinhost.exe --dump <skin directory> <skin name> <file>
//     loads the skin and writes its tables (SkinDump.h) to the file as UTF-8;
//     exit code 1, with the error message on the last line, when the load raised.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "HostCtrls.h"
#include "SkinDump.h"
#include "Tabs.h"
#include "acSBUtils.h"
#include "Text1251.h"
#include "UnitInit.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace {

std::vector<AnsiString> Arguments() {
    int n = 0;
    LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<AnsiString> args;
    for (int i = 1; i < n; ++i) args.push_back(Utf16ToCp1251(reinterpret_cast<const char16_t*>(w[i])));
    LocalFree(w);
    return args;
}

void StartEngine() {
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
    };
    StartUnits(kUnits);
}

// A manager that loads the skin once both settings are in.
TsSkinManager* MakeManager(TComponent* Owner, const AnsiString& Dir, const AnsiString& Name) {
    auto* m = new TsSkinManager(Owner);
    m->SetActive(false);
    m->SetSkinDirectory(Dir);
    m->SetSkinName(Name);
    m->SetActive(true);
    return m;
}

int Dump(const AnsiString& Dir, const AnsiString& Name, const AnsiString& File) {
    TsSkinManager* m = nullptr;
    std::string text, error;
    try {
        m = MakeManager(nullptr, Dir, Name);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (m) text = DumpSkinTables(*m);
    if (!error.empty()) text += Cp1251ToUtf8(error) + "\n";
    delete m;
    FILE* f = _wfopen(reinterpret_cast<const wchar_t*>(Cp1251ToUtf16(File).c_str()), L"wb");
    if (!f) return 2;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return error.empty() ? 0 : 1;
}

// A system multi-line edit with both bars and enough text to scroll both ways.
HWND MakeMemo(TWinControl* Parent) {
    std::wstring text;
    for (int i = 1; i <= 60; ++i) text += L"Line " + std::to_wstring(i) + L" of the wrapped edit\r\n";
    text += L"A last line that is much wider than the edit, so that its horizontal bar has a range to scroll";
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                 ES_AUTOHSCROLL,
                             20, 20, 320, 220, Parent->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return h;
}

int Host(const AnsiString& Dir, const AnsiString& Name) {
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetCaption("Skin host");
    form->SetBounds(80, 60, 800, 600);
    TsSkinManager* manager = nullptr;
    try {
        manager = MakeManager(form, Dir, Name);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetAlign(alClient);
    auto page = [&](const char* Caption) {
        auto* sheet = new TTabSheet(form);
        sheet->SetCaption(Caption);
        sheet->SetParent(pages);
        return sheet;
    };
    TTabSheet* scrolling = page("Scroll bars");
    TTabSheet* controls = page("Controls");
    form->Show();
    std::unique_ptr<TacScrollWnd> memo(
        CreateWrapper<TacScrollWnd>(MakeMemo(scrolling), true, "EDIT", manager, nullptr));
    std::unique_ptr<TControlsPage> controlsPage;
    if (manager) controlsPage = std::make_unique<TControlsPage>(controls, manager);
    while (IsWindowVisible(form->Handle()) && !Application->Terminated()) Application->HandleMessage();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<AnsiString> args = Arguments();
    const bool dump = args.size() == 4 && args[0] == "--dump";
    if (!dump && args.size() != 2) {
        MessageBoxW(nullptr, L"skinhost.exe <skin directory> <skin name>\n"
                             L"skinhost.exe --dump <skin directory> <skin name> <file>",
                    L"Skin host", MB_OK);
        return 2;
    }
    int code = 0;
    try {
        StartEngine();
        code = dump ? Dump(args[1], args[2], args[3]) : Host(args[0], args[1]);
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        code = 1;
    }
    if (Application) Application->DestroyForms();
    FinishUnits();
    return code;
}
