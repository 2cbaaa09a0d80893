#include "Unit3.h"

#include "Unit2.h"

Tsost* sost = nullptr;

Tsost::Tsost(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void Tsost::Loaded() {
    TForm::Loaded();
    BindComponent(this, Image32, "Image32");
    BindComponent(this, RzLabel13, "RzLabel13");
}

void Tsost::Register() {
    RegisterFormClass<Tsost>("Tsost")
        .Handler<&Tsost::FormClose>("FormClose")
        .Handler<&Tsost::RzLabel13Click>("RzLabel13Click");
}

// "ДОМ", enabled once the game is won: the button shows as used.
void Tsost::RzLabel13Click(TObject*) {
    Image32->Hide();
    Close();
}

// The form is only hidden (the default for a form that is not the main one).
void Tsost::FormClose(TObject*, TCloseAction&) { Form2->Show(); }
