// The "Dedavirovo" sorting game form: its window, its "ДОМ" button and closing.
#pragma once

#include "LessonForms.h"

class Traspr : public TForm {
public:
    explicit Traspr(TComponent* AOwner);
    const char* ClassName() const override { return "Traspr"; }

    TImage* Image32 = nullptr;  // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;

    void FormClose(TObject* Sender, TCloseAction& Action);
    void RzButton3Click(TObject* Sender);

    void Loaded() override;

    static void Register();
};

extern Traspr* raspr;
