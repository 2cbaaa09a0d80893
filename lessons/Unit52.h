// The sorting game's store of thumbnail pictures: created before the game's
// form and never shown.
#pragma once

#include "LessonForms.h"

class Traspr1 : public TForm {
public:
    explicit Traspr1(TComponent* AOwner);
    const char* ClassName() const override { return "Traspr1"; }

    static void Register();
};

extern Traspr1* raspr1;
