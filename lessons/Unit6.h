// The prize screen: its window (no close box) and its "ДОМ" button.
#pragma once

#include "LessonForms.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    const char* ClassName() const override { return "TForm1"; }

    TImage* Image7 = nullptr;  // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;

    void RzLabel13Click(TObject* Sender);

    void Loaded() override;

    static void Register();
};

extern TForm1* Form1;
