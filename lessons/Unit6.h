// The prize screen: the diploma, a firework of twelve growing stars in four
// sequences, and its "ДОМ" button back to the menu.
#pragma once

#include "LessonForms.h"
#include "Shapes.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    const char* ClassName() const override { return "TForm1"; }

    // The stars of each sequence (A to D, in the order a tick serves them),
    // by step 0, 1, 2.
    TStarShape* Sequence[4][3] = {};
    TImage* Image7 = nullptr;  // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;
    TTimer* Timer2 = nullptr;

    // Published handlers, bound by name from the definition.
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer2Timer(TObject* Sender);
    void RzLabel13Click(TObject* Sender);

    void Loaded() override;

    static void Register();
};

extern TForm1* Form1;

// Per sequence: which of its three stars grows (0, 1, 2), and 1 once that
// star has been made visible.
extern int StarStep[4];
extern int StarShown[4];
// A star that grows taller than this disappears and hands over.
constexpr int kStarTallest = 140;
