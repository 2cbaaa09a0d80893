#include "Unit2.h"

#include "Unit1.h"
#include "Unit3.h"
#include "Unit51.h"
#include "Unit52.h"
#include "Unit6.h"

TForm2* Form2 = nullptr;
int PrizeBlink = 0;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void TForm2::Loaded() {
    TForm::Loaded();
    BindComponent(this, Image3, "Image3");
    BindComponent(this, Image5, "Image5");
    BindComponent(this, Image32, "Image32");
    BindComponent(this, Image7, "Image7");
    BindComponent(this, RzLabel13, "RzLabel13");
    BindComponent(this, RzLabel1, "RzLabel1");
    BindComponent(this, Shape1, "Shape1");
    BindComponent(this, Shape2, "Shape2");
    BindComponent(this, Shape3, "Shape3");
    BindComponent(this, Label1, "Label1");
    BindComponent(this, Timer1, "Timer1");
}

void TForm2::Register() {
    RegisterFormClass<TForm2>("TForm2")
        .Handler<&TForm2::Shape2MouseDown>("Shape2MouseDown")
        .Handler<&TForm2::Shape3MouseDown>("Shape3MouseDown")
        .Handler<&TForm2::Shape1MouseDown>("Shape1MouseDown")
        .Handler<&TForm2::RzLabel13Click>("RzLabel13Click")
        .Handler<&TForm2::RzLabel1Click>("RzLabel1Click")
        .Handler<&TForm2::FormShow>("FormShow")
        .Handler<&TForm2::Timer1Timer>("Timer1Timer");
}

// Game 1, "ZUDADERIR".
void TForm2::Shape2MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    Image3->Hide();
    Application->CreateForm(sost);
    sost->Show();
    Shape2->SetEnabled(false);
    Hide();
}

// Game 2, "DEDAVIROVO": the thumbnail store first, then the sorting form.
void TForm2::Shape3MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    Image5->Hide();
    Application->CreateForm(raspr1);
    Application->CreateForm(raspr);
    raspr->Show();
    Shape3->SetEnabled(false);
    Hide();
}

// Game 3, "DOZUVIVA"; its definition shows it at creation already.
void TForm2::Shape1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    Image32->Hide();
    Application->CreateForm(kros);
    kros->Show();
    Shape1->SetEnabled(false);
    Hide();
}

void TForm2::RzLabel13Click(TObject*) {
    Timer1->SetEnabled(false);
    Image7->Hide();
    Application->CreateForm(Form1);
    Form1->Show();
    RzLabel13->SetVisible(false);
    Hide();
}

void TForm2::RzLabel1Click(TObject*) { Close(); }

void TForm2::FormShow(TObject*) { CheckPrize(); }

void CheckPrize() {
    PrizeBlink = 0;
    // Compared as text: only exactly "3" unlocks the prize.
    if (Form2->Label1->Caption() == "3") {
        PrizeBlink = 1;
        Form2->RzLabel13->SetEnabled(true);
        Form2->Timer1->SetEnabled(true);
    }
}

void TForm2::Timer1Timer(TObject*) {
    if (PrizeBlink == 1) {
        RzLabel13->Font()->SetColor(clRed);
        PrizeBlink = 2;
    } else {
        RzLabel13->Font()->SetColor(clYellow);
        PrizeBlink = 1;
    }
}

void RaiseCompletedGames() {
    if (!Form2) throw EComponentError("the completed-game counter is raised with no menu form");
    Form2->Label1->SetCaption(IntToStr(StrToInt(Form2->Label1->Caption()) + 1));
    // A win noticed while the menu shows already gets no FormShow of its own.
    if (Form2->Visible()) CheckPrize();
}
