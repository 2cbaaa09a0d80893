// Skin host for tests and screenshots.
//   skinhost.exe <skin directory> <skin name>
//     shows one form, "Skin host", with a skin manager set to that skin;
//     the form is skinned by a form skin provider whose control adapter
//     wraps the class-library controls the manager's lists name; a page
//     shows a frame;
//   skinhost.exe --popup <skin directory> <skin name>
//     the same form, its pop-up menu opened at the form's centre;
//   skinhost.exe --sysmenu <skin directory> <skin name>
//     the same form, its system menu opened under the caption icon as
//     Alt+Space opens it, with the skin-selection item's sub-menu open;
//   skinhost.exe --message <skin directory> <skin name>
//     loads the skin and shows the system's message box "Skin host message"
//     (a line of text, an icon, an OK button), skinned by the dialog hook;
//     exits when it is answered;
//   skinhost.exe --mdi <skin directory> <skin name>
//     an MDI main form with the host's main menu and two children, skinned,
//     each with a menu of its own that joins the main form's line while the
//     child is active;
//     (the edits and lists, the bars and tabs and the page control are
//     wrapped by hand: they hold foreign windows);
//   skinhost.exe --page N <skin directory> <skin name>
//     (before --popup or --sysmenu, or the two names) the host opens on its page N, 0 being
//     the first ("Scroll bars");
//   skinhost.exe --dump <skin directory> <skin name> <file>
//     loads the skin and writes its tables (SkinDump.h) to the file as UTF-8;
//     exit code 1, with the error message on the last line, when the load raised.
#include <windows.h>
#include <shellapi.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "Frames.h"
#include "Buttons.h"
#include "ExtControls.h"
#include "HostForm.h"
#include "HostCtrls.h"
#include "HostMenus.h"
#include "SkinDump.h"
#include "Tabs.h"
#include "TestSkins.h"
#include "Text1251.h"
#include "StdCtrls.h"
#include "UnitInit.h"
#include "WinText.h"
#include "acDials.h"
#include "acPNG.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsWnds.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sScrollBar.h"
#include "sSkinProvider.h"
#include "sSkinnedForms.h"
#include "acGlow.h"

namespace {

std::vector<AnsiString> Arguments() {
    int n = 0;
    LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<AnsiString> args;
    for (int i = 1; i < n; ++i) args.push_back(Utf16ToCp1251(reinterpret_cast<const char16_t*>(w[i])));
    LocalFree(w);
    return args;
}

int Dump(const AnsiString& Dir, const AnsiString& Name, const AnsiString& File) {
    TsSkinManager* m = nullptr;
    std::string text, error;
    try {
        m = MakeSkinManager(nullptr, Dir, Name);
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

// A child's own menu: two items that follow the host's on the line (their
// group indexes are above the host's).
void AddChildMenu(TForm* Child, int Index) {
    auto* menu = new TMainMenu(Child);
    const struct {
        const char* Caption;
        int Group;
    } tops[] = {{Index ? "&Second" : "&First", 5}, {Index ? "Se&cond help" : "F&irst help", 9}};
    for (const auto& t : tops) {
        auto* top = new TMenuItem(Child);
        top->SetCaption(t.Caption);
        top->SetGroupIndex(t.Group);
        auto* sub = new TMenuItem(Child);
        sub->SetCaption("&Close this child");
        sub->OnClick = TNotifyEvent::Fn(Child, [](void* C, TObject*) { static_cast<TForm*>(C)->Close(); });
        top->Add(sub);
        menu->Items()->Add(top);
    }
    Child->SetMenu(menu);
}

// The MDI mode: a main form with the host's main menu and two children.
int HostMDI(const AnsiString& Dir, const AnsiString& Name) {
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetCaption("Skin host MDI");
    form->SetFormStyle(fsMDIForm);
    form->SetBounds(80, 60, 800, 600);
    AddHostMenus(form);
    try {
        TsSkinManager* m = MakeSkinManager(form, Dir, Name);
        NameHostControls(m);
        new TsSkinProvider(form);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    form->Show();
    for (int i = 0; i < 2; ++i) {
        auto* child = new TForm(form);
        child->SetFormStyle(fsMDIChild);
        child->SetCaption(i ? "Second child" : "First child");
        child->SetBounds(20 + 300 * i, 20 + 60 * i, 320, 220);
        AddChildMenu(child, i);
        new TsSkinProvider(child);
        auto* edit = new TEdit(child);
        edit->SetParent(child);
        edit->SetBounds(12, 12, 200, 24);
        edit->SetText(i ? "Second" : "First");
        child->Show();
    }
    while (IsWindowVisible(form->Handle()) && !Application->Terminated()) Application->HandleMessage();
    return 0;
}

enum THostMenu { hmNone, hmPopup, hmSystem };

// Opens the skin-selection sub-menu of the system menu once it shows.
void CALLBACK OpenSkinItem(HWND, UINT, UINT_PTR Id, DWORD) {
    if (!FindWindowW(L"#32768", nullptr)) return;
    KillTimer(nullptr, Id);
    for (WORD vk : {WORD(VK_DOWN), WORD(VK_RIGHT)}) {
        INPUT in[2] = {};
        for (INPUT& i : in) i.type = INPUT_KEYBOARD, i.ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

int Host(const AnsiString& Dir, const AnsiString& Name, THostMenu Menu, int Page) {
    Application->Initialize();
    TSkinHost host(Dir, Name, Menu == hmSystem, Page);
    if (host.LoadError) {
        try {
            std::rethrow_exception(host.LoadError);
        } catch (const std::exception& e) {
            Application->ShowException(e);
        }
    }
    TForm* form = host.Form();
    if (Menu != hmNone) {
        // Shown and painted first, then the menu over it.
        form->Update();
        Application->ProcessMessages();
        if (Menu == hmPopup) {
            ShowHostPopup(form);
        } else {
            SetTimer(nullptr, 0, 300, &OpenSkinItem);
            SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
        }
    }
    while (IsWindowVisible(form->Handle()) && !Application->Terminated()) Application->HandleMessage();
    return 0;
}

}  // namespace

// The system's message box under the skin: 0 once answered, 1 when the box
// could not be shown.
int Message(const AnsiString& Dir, const AnsiString& Name) {
    std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, Dir, Name));
    return MessageBoxW(nullptr, L"The skin is loaded: this box is the system's, skinned by the dialog hook.",
                       L"Skin host message", MB_OK | MB_ICONINFORMATION) ? 0 : 1;
}

// Takes "--page N" off the front of the arguments: N, or 0 without it.
int TakePage(std::vector<AnsiString>& Args) {
    if (Args.size() < 2 || Args[0] != "--page") return 0;
    const int page = std::atoi(Args[1].c_str());
    Args.erase(Args.begin(), Args.begin() + 2);
    return page;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<AnsiString> args = Arguments();
    const int page = TakePage(args);
    const bool dump = args.size() == 4 && args[0] == "--dump";
    const bool message = args.size() == 3 && args[0] == "--message";
    const bool mdi = args.size() == 3 && args[0] == "--mdi";
    const bool popup = args.size() == 3 && args[0] == "--popup";
    const bool sysmenu = args.size() == 3 && args[0] == "--sysmenu";
    if (!dump && !message && !mdi && !popup && !sysmenu && args.size() != 2) {
        MessageBoxW(nullptr, L"skinhost.exe <skin directory> <skin name>\n"
                             L"skinhost.exe --message <skin directory> <skin name>\n"
                             L"skinhost.exe --mdi <skin directory> <skin name>\n"
                             L"skinhost.exe --popup <skin directory> <skin name>\n"
                             L"skinhost.exe --sysmenu <skin directory> <skin name>\n"
                             L"skinhost.exe --page N [--popup | --sysmenu] <skin directory> <skin name>\n"
                             L"skinhost.exe --dump <skin directory> <skin name> <file>",
                    L"Skin host", MB_OK);
        return 2;
    }
    int code = 0;
    try {
        StartHostEngine();
        code = dump      ? Dump(args[1], args[2], args[3])
               : message ? Message(args[1], args[2])
               : mdi     ? HostMDI(args[1], args[2])
               : popup   ? Host(args[1], args[2], hmPopup, page)
               : sysmenu ? Host(args[1], args[2], hmSystem, page)
                         : Host(args[0], args[1], hmNone, page);
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        code = 1;
    }
    if (Application) Application->DestroyForms();
    FinishUnits();
    return code;
}
