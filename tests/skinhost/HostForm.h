// The skin host's form, shared by skinhost.exe and the knockout test: a form
// with the host's menus, a skin manager of a folder skin, a form skin
// provider whose control adapter wraps the class-library controls the
// manager's lists name, and a page control of one page for each family of
// wrapped windows ("Scroll bars", "Controls", "Edits and lists", "Bars and
// tabs", "Frame").
#pragma once

#include <exception>
#include <memory>
#include <vector>

#include "Forms.h"
#include "Tabs.h"

class TsSkinManager;
class TacMainWnd;
class TacScrollWnd;
class TsCommonData;
class TControlsPage;
class TBarsPage;

// The engine's units the host uses, started once for the process.
void StartHostEngine();
// The class names the control adapter wraps on the host's forms.
void NameHostControls(TsSkinManager* M);

class TSkinHost {
public:
    // Makes the form, skins it and shows it on page Page (0 the first); with
    // SkinMenu the provider adds the skin-selection item to the system menu.
    // A skin that fails to load leaves the form unskinned, the failure in
    // LoadError.
    TSkinHost(const AnsiString& Dir, const AnsiString& Name, bool SkinMenu, int Page);
    // The wrappers go, last made first, then the form with its manager.
    ~TSkinHost();
    TSkinHost(const TSkinHost&) = delete;
    TSkinHost& operator=(const TSkinHost&) = delete;

    TForm* Form() const { return FForm; }
    TPageControl* Pages() const { return FPages; }
    TsSkinManager* Manager() const { return FManager; }
    std::exception_ptr LoadError;

private:
    TForm* FForm = nullptr;
    TPageControl* FPages = nullptr;
    TsSkinManager* FManager = nullptr;
    std::unique_ptr<TacScrollWnd> FMemo;
    std::unique_ptr<TControlsPage> FControlsPage;
    std::unique_ptr<TBarsPage> FBarsPage;
    std::vector<std::unique_ptr<TsCommonData>> FStates;
    std::vector<TacMainWnd*> FWrappers;
};
