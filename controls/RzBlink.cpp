// The one blink list of the framed labels and its timer.
#include "Components.h"
#include "ExtControls.h"
#include "RzCommon.h"

TRzBlinkingControlsList::TRzBlinkingControlsList() {
    FControls = new TList;
    FTimer = new TTimer(nullptr);
    FTimer->SetInterval(FIntervalOff);
    FTimer->OnTimer = TNotifyEvent::Of<&TRzBlinkingControlsList::Tick>(this);
    FTimer->SetEnabled(true);
}

TRzBlinkingControlsList::~TRzBlinkingControlsList() {
    delete FTimer;
    delete FControls;
}

void TRzBlinkingControlsList::Add(TControl* Control) { FControls->Add(Control); }
void TRzBlinkingControlsList::Remove(TControl* Control) { FControls->Remove(Control); }
int TRzBlinkingControlsList::Count() const { return FControls->Count(); }

void TRzBlinkingControlsList::Tick(TObject*) {
    if (FPhase == 1) {
        FPhase = 0;
        FTimer->SetInterval(FIntervalOff);
    } else {
        FPhase = 1;
        FTimer->SetInterval(FIntervalOn);
    }
    // A control may leave the list while it is told; walk by index afresh.
    for (int i = 0; i < FControls->Count(); ++i) {
        auto* c = static_cast<TControl*>(FControls->Get(i));
        if (c->Perform(CM_BLINKQUERY, 0, 0) == 1) c->Perform(CM_BLINKSTATE, FPhase, 0);
    }
}

void ReleaseBlinkListIfEmpty() {
    if (BlinkingControlsList && BlinkingControlsList->Count() == 0) {
        delete BlinkingControlsList;
        BlinkingControlsList = nullptr;
    }
}
