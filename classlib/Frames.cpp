#include "Frames.h"

TFrame::TFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle |= csAcceptsControls | csSetCaption;
    FWidth = 320;
    FHeight = 240;
    FColor = clBtnFace;
}
