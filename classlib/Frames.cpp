#include "Frames.h"

TFrame::TFrame(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls | csSetCaption;
    FWidth = 320;
    FHeight = 240;
    FColor = clBtnFace;
}
