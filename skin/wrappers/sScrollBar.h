// The skinned scroll bar: the class library's scroll bar with its whole
// programming model. Without an active skin manager it is the system's
// scroll bar plus a skin state that follows focus and hover and repaints the
// bar after a move; with one, its window is a plain window that keeps the
// scroll information itself, follows the mouse with its own parts and timer
// and paints from the skin's scroll-bar sections.
#pragma once

#include "ExtControls.h"
#include "StdCtrls.h"
#include "sCommonData.h"
#include "sScrollGeometry.h"

class TsSkinManager;

enum TsDisabledKindElement { dkBlended, dkGrayed };
using TsDisabledKind = unsigned;  // mask of 1 << element

class TsScrollBar : public TScrollBar {
public:
    explicit TsScrollBar(TComponent* AOwner);
    ~TsScrollBar() override;
    const char* ClassName() const override { return "TsScrollBar"; }
    void AfterConstruction();
    void Loaded() override;

    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    virtual void SetDisabledKind(TsDisabledKind Value);
    TsSkinManager* SkinManager() const { return FCommonData->SkinManager(); }
    virtual void SetSkinManager(TsSkinManager* Value) { FCommonData->WriteSkinManager(Value); }
    TsCommonData* SkinData() const { return FCommonData; }

    // With an active manager (adopting the default one when it has none).
    bool Skinned();

    // ---- skinned state, read by the painter and the tests
    const TacScrollState& ScrollState() const { return FState; }
    const TacPartStates& PartStates() const { return FParts; }
    TacScrollGeometry Geometry() const;
    bool TimerRunning() const { return FTimer != nullptr; }
    bool PaintingSuspended() const { return FSuspended; }

    static void Register();

protected:
    void WndProc(TMessage& Message) override;
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    enum TimerKind { tkNone, tkArrow1, tkArrow2, tkPage1, tkPage2, tkDrag };
    void RecreateSkinned();
    void SetPos(int Value);
    void MoveBy(int Delta) { SetPos(FState.Shown + Delta); }
    void SetPart(TacScrollPart Part, uint8_t State);
    void ResumePainting();
    int AlongBar(int X, int Y) const { return Kind() == sbVertical ? Y : X; }
    int CursorAlongBar() const;
    void StartTimer(TimerKind Kind, unsigned Interval);
    void StopTimer();
    void TimerTick(TObject* Sender);
    // The release steps of a press up to the capture's release; run once,
    // by the button's release or by the loss of the capture. Answers whether
    // a press was under way; EndScroll then closes it.
    bool FinishPress(int X, int Y, bool OnBar);
    void EndScroll();
    void SkinnedPaint(HDC DC);
    void WMNCHitTest(TMessage& Message);
    bool SkinnedReady() const;

    TsCommonData* FCommonData;
    CacheInfo FCache;
    TacScrollState FState;
    TacPartStates FParts;
    int FDragOffset = 0;
    class TTimer* FTimer = nullptr;
    TimerKind FTimerKind = tkNone;
    bool FRecreateSkinned = false;
    bool FSuspended = false;
    bool FSkinnedWindow = false;  // the window is the plain one of the skinned path
    bool FPressed = false;
    bool FButtonUp = false;  // a left button release is being handled
    bool FSavedShowHint = true;
    TsDisabledKind FDisabledKind = 1u << dkBlended;
};

// Shared by every bar: a skinned window creation is under way.
extern bool acSkinnedCreation;

// Start-up step of the unit: the class is known to the form reader.
void sScrollBarInitialize();
