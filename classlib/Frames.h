// A frame: a container of controls made to be put on forms as one piece.
#pragma once

#include "Forms.h"

class TFrame : public TScrollingWinControl {
public:
    explicit TFrame(TComponent* AOwner);
    const char* ClassName() const override { return "TFrame"; }
};

