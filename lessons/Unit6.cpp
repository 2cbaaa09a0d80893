#include "Unit6.h"

#include "Unit2.h"

TForm1* Form1 = nullptr;
int StarStep[4] = {};
int StarShown[4] = {};

namespace {

const char* const kSequenceStars[4][3] = {
    {"StarShape6", "StarShape5", "StarShape4"},
    {"StarShape3", "StarShape2", "StarShape1"},
    {"StarShape7", "StarShape8", "StarShape9"},
    {"StarShape10", "StarShape11", "StarShape12"},
};

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void TForm1::Loaded() {
    TForm::Loaded();
    for (int s = 0; s < 4; ++s)
        for (int k = 0; k < 3; ++k) BindComponent(this, Sequence[s][k], kSequenceStars[s][k]);
    BindComponent(this, Image7, "Image7");
    BindComponent(this, RzLabel13, "RzLabel13");
    BindComponent(this, Timer2, "Timer2");
}

void TForm1::Register() {
    RegisterFormClass<TForm1>("TForm1")
        .Handler<&TForm1::FormShow>("FormShow")
        .Handler<&TForm1::FormClose>("FormClose")
        .Handler<&TForm1::Timer2Timer>("Timer2Timer")
        .Handler<&TForm1::RzLabel13Click>("RzLabel13Click");
}

void TForm1::FormShow(TObject*) {
    for (int s = 0; s < 4; ++s) StarStep[s] = StarShown[s] = 0;
}

// Three tests one after the other, not alternatives: a star that finishes in
// step 0 or 1 hands over at once, and the next one grows in the same tick.
void TForm1::Timer2Timer(TObject*) {
    for (int s = 0; s < 4; ++s)
        for (int k = 0; k < 3; ++k) {
            if (StarStep[s] != k) continue;
            TStarShape* star = Sequence[s][k];
            if (StarShown[s] == 0) {
                star->Show();
                StarShown[s] = 1;
            }
            star->SetWidth(star->Width() + 5);
            star->SetHeight(star->Height() + 5);
            if (star->Height() > kStarTallest) {
                StarStep[s] = (k + 1) % 3;
                StarShown[s] = 0;
                star->SetWidth(9);
                star->SetHeight(9);
                star->Hide();
            }
        }
}

// The menu is shown before the prize form closes itself.
void TForm1::RzLabel13Click(TObject*) {
    Image7->Hide();
    Form2->Show();
    Close();
}

// The window has no close box, but the system can still close it (Alt+F4, the
// task bar): every close does what "ДОМ" does, so the program never runs on
// without a window.
void TForm1::FormClose(TObject*, TCloseAction&) {
    Image7->Hide();
    if (!Form2->Visible()) Form2->Show();
}
