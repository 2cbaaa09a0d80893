// The form of the menus' tests (TMenuForm.form): its handlers log the items
// clicked and count the pop-ups, and the fixture shows it in front.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FormLoader.h"
#include "Forms.h"
#include "Menus.h"
#include "TestSupport.h"
#include "TypeInfo.h"

class TMenuForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TMenuForm"; }
    void ItemClick(TObject* Sender) { Clicked.push_back(static_cast<TComponent*>(Sender)->Name()); }
    void MenuPopup(TObject*) { ++Popups; }
    std::vector<std::string> Clicked;
    int Popups = 0;

    template <class T = TMenuItem>
    T* Item(const char* Name) {
        auto* c = dynamic_cast<T*>(FindComponent(Name));
        EXPECT_NE(c, nullptr) << Name;
        return c;
    }
    TMainMenu* Main() { return Item<TMainMenu>("MainMenu1"); }
    TPopupMenu* Popup() { return Item<TPopupMenu>("PopupMenu1"); }
};

inline void RegisterMenuForm() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterFormClass<TMenuForm>("TMenuForm")
        .Handler<&TMenuForm::ItemClick>("ItemClick")
        .Handler<&TMenuForm::MenuPopup>("MenuPopup");
}

// Made from its form data, shown, in front.
inline std::unique_ptr<TMenuForm> ShowMenuForm() {
    RegisterMenuForm();
    auto f = std::make_unique<TMenuForm>(Application);
    LoadFormFromResource(f.get(), nullptr);
    f->Show();
    PumpUntil([&] { return IsWindowVisible(f->Handle()) != 0; });
    SetForegroundWindow(f->Handle());
    Pump(100);
    return f;
}

// The screen point at the centre of the form's client area.
inline POINT FormCentre(TForm* F) {
    const TPoint o = F->ClientOrigin();
    return POINT{o.X + F->ClientWidth() / 2, o.Y + F->ClientHeight() / 2};
}
