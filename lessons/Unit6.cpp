#include "Unit6.h"

#include "Unit2.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void TForm1::Loaded() {
    TForm::Loaded();
    BindComponent(this, Image7, "Image7");
    BindComponent(this, RzLabel13, "RzLabel13");
}

void TForm1::Register() {
    RegisterFormClass<TForm1>("TForm1").Handler<&TForm1::RzLabel13Click>("RzLabel13Click");
}

// The menu is shown before the prize form closes itself.
void TForm1::RzLabel13Click(TObject*) {
    Image7->Hide();
    Form2->Show();
    Close();
}
