// TRzEdit: the one-line edit cell that recolours itself by state (disabled,
// focused, read-only) and can paint its own flat or 3-D frame, plain or
// hot-tracked, in the non-client area. Descendants may show a drop button
// in the non-client area beside the text (a TRzEdit never does).
#pragma once

#include "Graphics.h"
#include "Mask.h"
#include "RzButton.h"
#include "RzCommon.h"
#include "TypeInfo.h"

// A descendant's validate-error handler: a non-empty answer is the message
// of the error raised instead of the class library's.
using TRzValidateErrorHandler = Method<AnsiString(TObject* Sender)>;

class TRzCustomEdit : public TCustomMaskEdit, public IFrameControllerLinked {
public:
    explicit TRzCustomEdit(TComponent* AOwner);
    ~TRzCustomEdit() override;
    const char* ClassName() const override { return "TRzCustomEdit"; }
    void Loaded() override;

    TColor DisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v);
    TColor FocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v);
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    virtual void SetReadOnlyColor(TColor v);
    bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    void SetReadOnlyColorOnFocus(bool v) { FReadOnlyColorOnFocus = v; }
    void SetReadOnly(bool v) override;
    TColor FrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    TColor FrameHotColor() const { return FFrameHotColor; }
    virtual void SetFrameHotColor(TColor v);
    bool FrameHotTrack() const { return FFrameHotTrack; }
    virtual void SetFrameHotTrack(bool v);
    TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
    virtual void SetFrameHotStyle(TFrameStyle v);
    TSides FrameSides() const { return FFrameSides; }
    virtual void SetFrameSides(TSides v);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle v);
    bool FrameVisible() const { return FFrameVisible; }
    virtual void SetFrameVisible(bool v);
    TFramingPreference FramingPreference() const { return FFramingPreference; }
    virtual void SetFramingPreference(TFramingPreference v);
    TRzFrameController* FrameController() const { return FFrameController; }
    virtual void SetFrameController(TRzFrameController* v);
    TRzFrameControllerNotifications FrameControllerNotifications() const override { return FNotifications; }
    void SetFrameControllerNotifications(TRzFrameControllerNotifications v) { FNotifications = v; }
    bool TabOnEnter() const { return FTabOnEnter; }
    void SetTabOnEnter(bool v) { FTabOnEnter = v; }
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment v);

    // The colour the cell has when enabled, unfocused and writable.
    TColor NormalColor() const { return FNormalColor; }
    bool MouseOver() const { return FMouseOver; }
    bool HasFocus() const { return FHasFocus; }
    // True when the platform's themed frame replaces the own frame.
    virtual bool UsesThemedFrame() const;
    virtual TRect EditArea() const { return ClientRect(); }
    virtual AnsiString DisplayText() const { return Text(); }

    bool BeepOnInvalidKey() const { return FBeepOnInvalidKey; }
    void SetBeepOnInvalidKey(bool v) { FBeepOnInvalidKey = v; }

    // The drop button: its settings (which the frame controller pushes to
    // descendants that publish them) and its state.
    bool FlatButtons() const { return FFlatButtons; }
    virtual void SetFlatButtons(bool v);
    TColor FlatButtonColor() const { return FFlatButtonColor; }
    void SetFlatButtonColor(TColor v);
    bool DropButtonVisible() const { return FDropButtonVisible; }
    TButtonState ButtonState() const { return FButtonState; }
    bool DroppedDown() const { return FDroppedDown; }
    bool OverDropButton() const { return FOverDropButton; }
    // The button's place in window coordinates; empty while it is hidden.
    TRect DropButtonRect();

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(char& Key) override;
    void Resize() override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void ValidateError() override;
    void InvalidKey() override;

    virtual void UpdateColors();
    virtual void UpdateFrame(bool IsMouse, bool Value);
    virtual void RefreshFrame();
    virtual void DoReadOnly() {}
    virtual void DoWritable() {}
    virtual void ReadOnlyChanged();
    virtual void PaintNonClientFrame();
    // Paints the drop button into R (window coordinates) on the canvas that
    // holds the window's device context.
    virtual void PaintDropButton(const TRect& R);
    virtual void SetButtonState(TButtonState v);
    virtual void SetDropButtonVisible(bool v);
    // Raise OnDropDown and OnCloseUp; a descendant shows and hides its list.
    virtual void DropDown();
    virtual void CloseUp();

    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TRzValidateErrorHandler OnValidateError;

private:
    // The drop button's width: a scroll bar's, one less under visual styles.
    int DropButtonWidth() const;
    bool DropButtonMessage(TMessage& Message);
    void DropButtonHitTest(TMessage& Message);
    // Press, Alt+Down or F4: the button goes down, the list drops and closes.
    void DropDownByButton(bool Capture);
    void EndDropButtonCapture();
    void SetOverDropButton(bool v);
    void RedrawNonClient();
    // A drop-button setting: a changed value is stored and the button painted again.
    template <class T>
    void ChangeDropButton(T& Field, T Value) {
        if (Value == Field) return;
        Field = Value;
        if (FDropButtonVisible) RedrawNonClient();
    }

    std::unique_ptr<TCanvas> FCanvas;
    TColor FNormalColor = clWindow;
    bool FUpdatingColor = false;
    bool FHasFocus = false;
    bool FMouseOver = false;
    TRzFrameController* FFrameController = nullptr;
    TRzFrameControllerNotifications FNotifications = fcpAllNotifications;
    TColor FDisabledColor = clBtnFace;
    TColor FFocusColor = clWindow;
    TColor FReadOnlyColor = clInfoBk;
    bool FReadOnlyColorOnFocus = false;
    TColor FFrameColor = clBtnShadow;
    TColor FFrameHotColor = clBtnShadow;
    bool FFrameHotTrack = false;
    TFrameStyle FFrameHotStyle = fsFlatBold;
    TSides FFrameSides = sdAllSides;
    TFrameStyle FFrameStyle = fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = fpThemes;
    bool FTabOnEnter = false;
    TAlignment FAlignment = taLeftJustify;
    bool FBeepOnInvalidKey = true;
    bool FDropButtonVisible = false;
    bool FFlatButtons = false;
    TColor FFlatButtonColor = clBtnFace;
    TButtonState FButtonState = bsUp;
    bool FDroppedDown = false;
    bool FOverDropButton = false;
    bool FButtonCapture = false;
};

class TRzEdit : public TRzCustomEdit {
public:
    using TRzCustomEdit::TRzCustomEdit;
    const char* ClassName() const override { return "TRzEdit"; }
};

// Publishes the drop button's settings on the class of a descendant that
// shows it, so that a frame controller reaches them by name.
template <class C>
void RzPublishDropButton(TClassReg<C>& Reg) {
    Reg.Bool("FlatButtons", &TRzCustomEdit::SetFlatButtons)
        .Color("FlatButtonColor", &TRzCustomEdit::SetFlatButtonColor);
}

void RegisterRzEdit();
