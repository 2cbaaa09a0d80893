#include "Unit1.h"

#include "Unit2.h"

Tkros* kros = nullptr;

Tkros::Tkros(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void Tkros::Loaded() {
    TForm::Loaded();
    BindComponent(this, Image32, "Image32");
    BindComponent(this, RzLabel13, "RzLabel13");
}

void Tkros::Register() {
    RegisterFormClass<Tkros>("Tkros")
        .Handler<&Tkros::FormClose>("FormClose")
        .Handler<&Tkros::RzLabel13Click>("RzLabel13Click");
}

// "ДОМ", enabled once the game is won: the button shows as used.
void Tkros::RzLabel13Click(TObject*) {
    Image32->Hide();
    Close();
}

// The form is only hidden (the default for a form that is not the main one).
void Tkros::FormClose(TObject*, TCloseAction&) { Form2->Show(); }
