// TRzEdit: the one-line edit cell that recolours itself by state (disabled,
// focused, read-only) and can paint its own flat or 3-D frame, plain or
// hot-tracked, in the non-client area.
#pragma once

#include "Graphics.h"
#include "RzCommon.h"
#include "StdCtrls.h"

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

    virtual void UpdateColors();
    virtual void UpdateFrame(bool IsMouse, bool Value);
    virtual void RefreshFrame();
    virtual void DoReadOnly() {}
    virtual void DoWritable() {}
    virtual void ReadOnlyChanged();
    virtual void PaintNonClientFrame();

private:
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
};

class TRzEdit : public TRzCustomEdit {
public:
    using TRzCustomEdit::TRzCustomEdit;
    const char* ClassName() const override { return "TRzEdit"; }
};

void RegisterRzEdit();
