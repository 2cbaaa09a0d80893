#include "Unit51.h"

#include "Unit2.h"
#include "Unit52.h"

Traspr* raspr = nullptr;

Traspr::Traspr(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void Traspr::Loaded() {
    TForm::Loaded();
    BindComponent(this, Image32, "Image32");
    BindComponent(this, RzLabel13, "RzLabel13");
}

void Traspr::Register() {
    RegisterFormClass<Traspr>("Traspr")
        .Handler<&Traspr::FormClose>("FormClose")
        .Handler<&Traspr::RzButton3Click>("RzButton3Click");
}

// "ДОМ" (enabled after the win): the button shows as used; the store closes
// first, then the game.
void Traspr::RzButton3Click(TObject*) {
    Image32->Hide();
    raspr1->Close();
    Close();
}

// The sorting game counts its win when its form closes after the win, by
// "ДОМ" or by the close box; before the win it only returns to the menu.
void Traspr::FormClose(TObject*, TCloseAction&) {
    if (RzLabel13->Enabled()) RaiseCompletedGames();
    Form2->Show();
}
