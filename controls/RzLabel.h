// TRzLabel: the framed label of the lesson forms, with raised, recessed and
// shadowed text, flat-rotated or curved text, a composed border, fly-by
// colours and blinking driven by the one shared blink list.
#pragma once

#include "Controls.h"
#include "ExtControls.h"
#include "Graphics.h"
#include "RzCommon.h"

enum TRzCondenseCaption { ccNone, ccAtEnd, ccWithinPath };
enum TCenterPoint {
    cpUpperLeft, cpUpperCenter, cpUpperRight, cpLeftCenter, cpCenter, cpRightCenter,
    cpLowerLeft, cpLowerCenter, cpLowerRight
};
enum TRotation { roNone, roFlat, roCurve };
class TRzLabel : public TLabel, public IFrameControllerClient, public IFrameControllerLinked {
public:
    explicit TRzLabel(TComponent* AOwner);
    ~TRzLabel() override;
    const char* ClassName() const override { return "TRzLabel"; }
    void Loaded() override;

    void SetAutoSize(bool v) override;

    int Angle() const { return FAngle; }
    virtual void SetAngle(int v);
    bool Blinking() const { return FBlinking; }
    virtual void SetBlinking(bool v);
    TColor BlinkColor() const { return FBlinkColor; }
    virtual void SetBlinkColor(TColor v);
    virtual Word BlinkIntervalOff() const;
    virtual void SetBlinkIntervalOff(Word v);
    virtual Word BlinkIntervalOn() const;
    virtual void SetBlinkIntervalOn(Word v);
    int BevelWidth() const { return FBevelWidth; }
    virtual void SetBevelWidth(int v);
    TColor BorderColor() const { return FBorderColor; }
    virtual void SetBorderColor(TColor v);
    TFrameStyleEx BorderInner() const { return FBorderInner; }
    virtual void SetBorderInner(TFrameStyleEx v);
    TFrameStyleEx BorderOuter() const { return FBorderOuter; }
    virtual void SetBorderOuter(TFrameStyleEx v);
    TSides BorderSides() const { return FBorderSides; }
    virtual void SetBorderSides(TSides v);
    TColor BorderHighlight() const { return FBorderHighlight; }
    virtual void SetBorderHighlight(TColor v);
    TColor BorderShadow() const { return FBorderShadow; }
    virtual void SetBorderShadow(TColor v);
    int BorderWidth() const { return FBorderWidth; }
    virtual void SetBorderWidth(int v);
    TRzCondenseCaption CondenseCaption() const { return FCondenseCaption; }
    virtual void SetCondenseCaption(TRzCondenseCaption v);
    TColor FlatColor() const { return FFlatColor; }
    virtual void SetFlatColor(TColor v);
    int FlatColorAdjustment() const { return FFlatColorAdjustment; }
    virtual void SetFlatColorAdjustment(int v);
    TRzFrameControllerNotifications FrameControllerNotifications() const override {
        return FFrameControllerNotifications;
    }
    void SetFrameControllerNotifications(TRzFrameControllerNotifications v) { FFrameControllerNotifications = v; }
    TRzFrameController* FrameController() const { return FFrameController; }
    virtual void SetFrameController(TRzFrameController* v);
    // Takes what the controller's notifications allow, when it shows frames.
    void FrameControllerChanged() override;
    TCenterPoint CenterPoint() const { return FCenterPoint; }
    virtual void SetCenterPoint(TCenterPoint v);
    TColor FlyByColor() const { return FFlyByColor; }
    virtual void SetFlyByColor(TColor v);
    bool FlyByEnabled() const { return FFlyByEnabled; }
    virtual void SetFlyByEnabled(bool v);
    bool LightTextStyle() const { return FLightTextStyle; }
    virtual void SetLightTextStyle(bool v);
    TRotation Rotation() const { return FRotation; }
    virtual void SetRotation(TRotation v);
    int TextMargin() const { return FTextMargin; }
    virtual void SetTextMargin(int v);
    TTextStyle TextStyle() const { return FTextStyle; }
    virtual void SetTextStyle(TTextStyle v);
    TColor HighlightColor() const { return FHighlightColor; }
    virtual void SetHighlightColor(TColor v);
    TColor ShadowColor() const { return FShadowColor; }
    virtual void SetShadowColor(TColor v);
    int ShadowDepth() const { return FShadowDepth; }
    virtual void SetShadowDepth(int v);

    // The colour the text face is drawn in now (font colour or blink colour).
    TColor FaceColor() const { return FFaceColor; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMParentColorChanged(TMessage& Message) override;

    virtual void ApplyBlinkState(bool On);
    virtual void AddBorderSizes(TRect& R) const;
    virtual void RemoveBorderSizes(TRect& R, bool WithBorderWidth) const;
    void AdjustBounds() override;

private:
    int OuterInnerSize(TFrameStyleEx Style) const;
    UINT TextFlags() const;
    TPoint RotationOrigin() const;
    void ArcRadii(int& Rx, int& Ry) const;
    void ApplyVerticalLayout(HDC dc, const std::wstring& Text, UINT Flags, RECT& R) const;
    void PaintLabelText(HDC dc);
    void PaintArcText(HDC dc);
    void UseVerdanaUnlessTrueType(int NewValue);

    int FAngle = 0;
    bool FBlinking = false;
    TColor FBlinkColor = clHighlight;
    int FBevelWidth = 1;
    TColor FBorderColor = clBtnFace;
    TFrameStyleEx FBorderInner = fsNone, FBorderOuter = fsNone;
    TSides FBorderSides = sdAllSides;
    TColor FBorderHighlight = clBtnHighlight, FBorderShadow = clBtnShadow;
    int FBorderWidth = 0;
    TRzCondenseCaption FCondenseCaption = ccNone;
    TColor FFlatColor = clBtnShadow;
    int FFlatColorAdjustment = 30;
    TRzFrameControllerNotifications FFrameControllerNotifications = fcpAllNotifications;
    TRzFrameController* FFrameController = nullptr;
    TCenterPoint FCenterPoint = cpCenter;
    TColor FFlyByColor = clHighlight;
    bool FFlyByEnabled = false;
    bool FLightTextStyle = false;
    TRotation FRotation = roNone;
    int FTextMargin = 0;
    TTextStyle FTextStyle = tsNormal;
    TColor FHighlightColor = clBtnHighlight, FShadowColor = clBtnShadow;
    int FShadowDepth = 2;

    TColor FSavedColor = clWindowText;  // the face colour when not blinking
    TColor FFaceColor = clWindowText;
    bool FBlinkShown = false;
    TColor FFlyBySaved = clWindowText;
    bool FFlyByActive = false;  // the fly-by colour is showing
    bool FInConstructor = false;
};

// Registers TRzLabel with the class registry (once).
void RegisterRzLabel();
