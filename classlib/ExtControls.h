// Standard components over the controls: the timer, the picture, the shape
// and the label.
#pragma once

#include "Controls.h"

class TPicture;
class TBrush;
class TPen;

// Ticks arrive as WM_TIMER messages of the one message loop, so OnTimer never
// runs while another handler runs. Ticks while Enabled and Interval > 0
// (not while the timer is being read from a form definition).
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    const char* ClassName() const override { return "TTimer"; }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    virtual void SetInterval(unsigned Value);
    // Calls OnTimer (what a tick does).
    virtual void Timer();
    void Loaded() override;

    TNotifyEvent OnTimer;

private:
    friend struct TimerWindow;
    void UpdateTimer();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    UINT_PTR FId = 0;
    bool FRunning = false;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    const char* ClassName() const override { return "TImage"; }
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);
    bool Stretch() const { return FStretch; }
    virtual void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    virtual void SetProportional(bool Value);
    bool Center() const { return FCenter; }
    virtual void SetCenter(bool Value);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    void SetAutoSize(bool Value) override;
    // Where the picture is drawn, in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;
    void AdjustSize() override;

private:
    void PictureChanged(TObject*);
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FProportional = false, FCenter = false, FTransparent = false;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    const char* ClassName() const override { return "TShape"; }
    TShapeType Shape() const { return FShape; }
    virtual void SetShape(TShapeType Value);
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value);
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value);

protected:
    void Paint() override;

private:
    void StyleChanged(TObject*);
    TShapeType FShape = stRectangle;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TWinControl;

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    const char* ClassName() const override { return "TLabel"; }
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    virtual void SetLayout(TTextLayout Value);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    virtual void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    void AdjustSize() override { AdjustBounds(); }
    // The auto-size hook: fits the bounds to the text when AutoSize.
    virtual void AdjustBounds();
    // Draws (or with DT_CALCRECT measures) the label's text into Rect with
    // the canvas's device context, the label's font and these flags.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    virtual AnsiString GetLabelText() const { return Caption(); }
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FTransparent = false;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};
