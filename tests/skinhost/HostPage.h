// What the host's pages of hand-wrapped windows share: system windows made on
// the page's face, and wrappers over windows (with the skin state of a linked
// class-library control) that go, last first, before the controls.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Controls.h"
#include "acSBUtils.h"
#include "sCommonData.h"

class TsSkinManager;

class TWrappedPage {
protected:
    explicit TWrappedPage(TsSkinManager* Manager) : FManager(Manager) {}
    ~TWrappedPage() { FreeWrappers(); }
    void FreeWrappers();
    // A visible child of the face in the default GUI font.
    HWND System(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H, DWORD Ex = 0);
    template <class T>
    void Wrap(HWND Wnd, const char* Section, TControl* Linked = nullptr) {
        TsCommonData* data = nullptr;
        if (Linked) {
            FData.emplace_back(new TsCommonData(Linked, true));
            data = FData.back().get();
        }
        if (T* w = CreateWrapper<T>(Wnd, true, Section, FManager, data)) FWrappers.push_back(w);
        InvalidateRect(Wnd, nullptr, TRUE);
    }

    TWinControl* FFace = nullptr;  // where System puts its windows
    TsSkinManager* FManager;

private:
    std::vector<std::unique_ptr<TsCommonData>> FData;
    std::vector<TacMainWnd*> FWrappers;
};
