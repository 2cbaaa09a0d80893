// The Dozuviva game form: its window, its "ДОМ" button and closing.
#pragma once

#include "LessonForms.h"

class Tkros : public TForm {
public:
    explicit Tkros(TComponent* AOwner);
    const char* ClassName() const override { return "Tkros"; }

    TImage* Image32 = nullptr;  // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;

    void FormClose(TObject* Sender, TCloseAction& Action);
    void RzLabel13Click(TObject* Sender);

    void Loaded() override;

    static void Register();
};

extern Tkros* kros;
