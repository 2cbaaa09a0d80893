// The menu: background, the three game balls, the prize and exit buttons, and
// the completed-game counter (the caption of the hidden Label1).
#pragma once

#include "LessonForms.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
    const char* ClassName() const override { return "TForm2"; }

    // Components of the definition that the handlers use.
    TImage* Image3 = nullptr;   // ball of game 1
    TImage* Image5 = nullptr;   // ball of game 2
    TImage* Image32 = nullptr;  // ball of game 3
    TImage* Image7 = nullptr;   // ball of the prize button
    TRzLabel* RzLabel13 = nullptr;
    TRzLabel* RzLabel1 = nullptr;
    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    TShape* Shape3 = nullptr;
    TLabel* Label1 = nullptr;
    TTimer* Timer1 = nullptr;

    // Published handlers, bound by name from the definition.
    void Shape2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Shape3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel13Click(TObject* Sender);
    void RzLabel1Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void Timer1Timer(TObject* Sender);

    void Loaded() override;

    static void Register();
};

extern TForm2* Form2;

// 0: the prize label does not blink; 1: the next tick paints it red;
// 2: the next tick paints it yellow.
extern int PrizeBlink;

// The prize check of every showing of the menu: PrizeBlink := 0; a counter of
// exactly "3" enables the prize label and starts its blink.
void CheckPrize();
