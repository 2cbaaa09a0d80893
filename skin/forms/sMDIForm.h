// The MDI main-form wrapper: a skinned MDI main form's provider owns one; it
// wraps the form's MDI client window, and while a maximised child's buttons
// sit in the menu line it keeps a small copy of them over the menu bar during
// the system's menu loop (the "acMDIIcons" helper form).
#pragma once

#include <memory>

#include "Forms.h"

class TsSkinProvider;
class TacMDIWnd;
class TacMDIProviderLink;

class TsMDIForm : public TPersistent {
public:
    explicit TsMDIForm(TsSkinProvider* AProvider);
    ~TsMDIForm() override;
    const char* ClassName() const override { return "TsMDIForm"; }
    // After loading and skin changes: wraps the client when not yet wrapped.
    void RefreshWrapper();
    void AttachClient();
    void DetachClient();
    void RefreshFrame();
    TacMDIWnd* Wrapper() const { return FWrapper; }
    TsSkinProvider* Provider() const { return FProvider; }

private:
    TsSkinProvider* FProvider;
    TForm* FForm;
    TacMDIWnd* FWrapper = nullptr;
    std::unique_ptr<TacMDIProviderLink> FLink;
};

// The main frame repainted after a child was maximised, restored, minimised,
// closed or activated (on MDIMainProvider, when there is one).
void RefreshMDIMainFrame();
// The helper form over the right end of Main's menu line; freed by FreeMDIIcons.
void ShowMDIIcons(TsSkinProvider* Main);
void FreeMDIIcons();
// The helper form while it exists, else nil.
TForm* MDIIconsForm();
