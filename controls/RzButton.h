// TRzButton: a push button painted entirely by the control: classic 3-D
// borders, a hot-track look (rounded frame, soft gradient face, coloured
// ring), the themed button when visual styles are on, 3-D caption text and
// toggle groups.
#pragma once

#include "Controls.h"
#include "Graphics.h"
#include "RzCommon.h"

// Broadcast to the parent's controls: wParam the group index, lParam the sender.
constexpr UINT CM_GROUPBUTTONPRESSED = 0x2421;

using TModalResult = int;

class TRzCustomButton : public TCustomControl {
public:
    explicit TRzCustomButton(TComponent* AOwner);
    const char* ClassName() const override { return "TRzCustomButton"; }

    TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
    virtual void SetAlignmentVertical(TAlignmentVertical v);
    bool HotTrack() const { return FHotTrack; }
    virtual void SetHotTrack(bool v);
    TColor HighlightColor() const { return FHighlightColor; }
    virtual void SetHighlightColor(TColor v);
    TColor HotTrackColor() const { return FHotTrackColor; }
    virtual void SetHotTrackColor(TColor v);
    TRzHotTrackColorType HotTrackColorType() const { return FHotTrackColorType; }
    virtual void SetHotTrackColorType(TRzHotTrackColorType v);
    bool LightTextStyle() const { return FLightTextStyle; }
    virtual void SetLightTextStyle(bool v);
    TTextStyle TextStyle() const { return FTextStyle; }
    virtual void SetTextStyle(TTextStyle v);
    TColor TextHighlightColor() const { return FTextHighlightColor; }
    virtual void SetTextHighlightColor(TColor v);
    TColor TextShadowColor() const { return FTextShadowColor; }
    virtual void SetTextShadowColor(TColor v);
    int TextShadowDepth() const { return FTextShadowDepth; }
    virtual void SetTextShadowDepth(int v);
    bool ThemeAware() const { return FThemeAware; }
    virtual void SetThemeAware(bool v);
    bool TransparentCorners() const { return FTransparent; }
    virtual void SetTransparentCorners(bool v);

    bool Pressed() const { return FPressed; }
    bool Dragging() const { return FDragging; }
    bool MouseOver() const { return FMouseOver; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void PaintBackground(HDC DC, const RECT& R) override;

    virtual void PaintParentCorners(HDC DC) {}
    virtual void RedrawButton() {}
    virtual void FocusStateChanged() { Repaint(); }
    virtual TRect HotTrackArea() const { return ClientRect(); }
    virtual void PaintCaption(TCanvas* Canvas, TRect Rect, UINT Format);
    virtual void PressAndClick();
    bool UsesThemes() const;

    bool FPressed = false;
    bool FDragging = false;
    bool FMouseOver = false;

private:
    void InvalidateHotTrackArea();
    TAlignmentVertical FAlignmentVertical = avCenter;
    bool FHotTrack = false;
    TColor FHighlightColor = clHighlight;
    TColor FHotTrackColor = 0x149BF0;
    TRzHotTrackColorType FHotTrackColorType = htctActual;
    bool FLightTextStyle = false;
    TTextStyle FTextStyle = tsNormal;
    TColor FTextHighlightColor = clBtnHighlight;
    TColor FTextShadowColor = clBtnShadow;
    int FTextShadowDepth = 2;
    bool FThemeAware = true;
    bool FTransparent = false;
};

// A button's pressed state: up, pressed, or held down as the toggled member
// of a group.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TRzButton : public TRzCustomButton {
public:
    explicit TRzButton(TComponent* AOwner);
    const char* ClassName() const override { return "TRzButton"; }

    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment v);
    bool AllowAllUp() const { return FAllowAllUp; }
    virtual void SetAllowAllUp(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    bool Default() const { return FDefault; }
    virtual void SetDefault(bool v);
    bool DropDownOnEnter() const { return FDropDownOnEnter; }
    void SetDropDownOnEnter(bool v) { FDropDownOnEnter = v; }
    bool Down() const { return FState == bsDown || FState == bsExclusive; }
    virtual void SetDown(bool v);
    TColor FrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    int GroupIndex() const { return FGroupIndex; }
    virtual void SetGroupIndex(int v);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    bool ShowDownPattern() const { return FShowDownPattern; }
    virtual void SetShowDownPattern(bool v);
    bool ShowFocusRect() const { return FShowFocusRect; }
    virtual void SetShowFocusRect(bool v);
    void SetHotTrack(bool v) override;

    TButtonState State() const { return FState; }
    bool DefaultActive() const { return FDefaultActive; }
    bool PressedVisual() const { return Down() || FPressed; }
    void Click() override;

protected:
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void PaintParentCorners(HDC DC) override;
    void RedrawButton() override { Invalidate(); }
    void PressAndClick() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    virtual TRect CaptionArea() const;
    virtual void PaintCaptionArea();
    virtual void MakeDownPattern(TBitmap* Bitmap);

private:
    void BroadcastGroup();
    void FocusChanged(TControl* Focused);
    TAlignment FAlignment = taCenter;
    bool FAllowAllUp = false;
    bool FCancel = false;
    bool FDefault = false;
    bool FDropDownOnEnter = true;
    TColor FFrameColor = cl3DDkShadow;
    int FGroupIndex = 0;
    TModalResult FModalResult = 0;
    bool FShowDownPattern = true;
    bool FShowFocusRect = true;
    TButtonState FState = bsUp;
    bool FDefaultActive = false;
    bool FKeyToggle = false;
    bool FClicking = false;
    bool FSuppressDropDown = false;
};

void RegisterRzButton();
