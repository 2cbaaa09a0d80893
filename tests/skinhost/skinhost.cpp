// Skin host for tests and screenshots.
//   skinhost.exe <skin directory> <skin name>
//     shows one form, "Skin host", with a skin manager set to that skin;
//   skinhost.exe --popup <skin directory> <skin name>
//     the same form, its pop-up menu opened at the form's centre;
//   skinhost.exe --dump <skin directory> <skin name> <file>
//     loads the skin and writes its tables (SkinDump.h) to the file as UTF-8;
//     exit code 1, with the error message on the last line, when the load raised.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Forms.h"
#include "HostMenus.h"
#include "SkinDump.h"
#include "Text1251.h"
#include "UnitInit.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sEngineUnits.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"

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
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
        {"sSkinMenus", sSkinMenusInitialize, sSkinMenusFinalize},
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

int Host(const AnsiString& Dir, const AnsiString& Name, bool Popup) {
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetCaption("Skin host");
    form->SetBounds(80, 60, 800, 600);
    AddHostMenus(form);
    try {
        MakeManager(form, Dir, Name);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    form->Show();
    if (Popup) {
        // Shown and painted first, then the menu over it.
        form->Update();
        Application->ProcessMessages();
        ShowHostPopup(form);
    }
    while (IsWindowVisible(form->Handle()) && !Application->Terminated()) Application->HandleMessage();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<AnsiString> args = Arguments();
    const bool dump = args.size() == 4 && args[0] == "--dump";
    const bool popup = args.size() == 3 && args[0] == "--popup";
    if (!dump && !popup && args.size() != 2) {
        MessageBoxW(nullptr, L"skinhost.exe <skin directory> <skin name>\n"
                             L"skinhost.exe --popup <skin directory> <skin name>\n"
                             L"skinhost.exe --dump <skin directory> <skin name> <file>",
                    L"Skin host", MB_OK);
        return 2;
    }
    int code = 0;
    try {
        StartEngine();
        code = dump ? Dump(args[1], args[2], args[3]) : popup ? Host(args[1], args[2], true) : Host(args[0], args[1], false);
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        code = 1;
    }
    if (Application) Application->DestroyForms();
    FinishUnits();
    return code;
}
