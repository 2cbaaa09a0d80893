// Buttons of the class library over the system's "BUTTON" and "STATIC"
// windows: the push button (default and cancel button of its form, modal
// result), the bitmap button (the push button drawn by its owner, with a
// glyph beside its caption), the check box, the radio button and the static
// text. Clicks come from the button's own notification (BN_CLICKED), so a
// mouse click, Space and a dialog key all click once.
#pragma once

#include <memory>

#include "Controls.h"

class TBitmap;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1;

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    const char* ClassName() const override { return "TButtonControl"; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    // BN_CLICKED of the window.
    virtual void ButtonClicked() { Click(); }
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    const char* ClassName() const override { return "TButton"; }
    // Enter clicks the default button unless another button has the focus.
    bool Default() const { return FDefault; }
    virtual void SetDefault(bool Value);
    // Escape clicks a cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Given to the form (TForm::SetModalResult) before OnClick.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Whether Enter clicks this button now (it shows the default frame).
    bool DefaultActive() const { return FActive; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    // The button that has the focus, or the default one when no button has
    // it, shows the default frame.
    void SetActive(bool Value);
    virtual DWORD ButtonStyle() const { return FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button that draws itself (BS_OWNERDRAW): face, glyph cell and
// caption placed together by CalcGlyphLayout. The glyph holds NumGlyphs
// cells side by side (up, disabled, pressed, held down); its bottom-left
// pixel is the transparent colour.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    const char* ClassName() const override { return "TBitBtn"; }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    virtual void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    virtual void SetLayout(TButtonLayout Value);
    // Pixels between glyph and caption; -1 centres both in the free space.
    int Spacing() const { return FSpacing; }
    virtual void SetSpacing(int Value);
    // Pixels from the edge to the glyph; -1 centres glyph and caption.
    int Margin() const { return FMargin; }
    virtual void SetMargin(int Value);
    // A standard kind sets the modal result, and OK the default, Cancel the
    // cancel role.
    TBitBtnKind Kind() const { return FKind; }
    virtual void SetKind(TBitBtnKind Value);

protected:
    void WndProc(TMessage& Message) override;
    DWORD ButtonStyle() const override { return BS_OWNERDRAW; }
    virtual void DrawItem(const DRAWITEMSTRUCT& Item);

private:
    void GlyphChanged(TObject*);
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    TBitBtnKind FKind = bkCustom;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box: a click steps its State (unchecked, checked, and grayed when
// AllowGrayed); every change of State clicks (OnClick) once it is loaded.
// Alignment taLeftJustify puts the caption left of the box.
class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    const char* ClassName() const override { return "TCheckBox"; }
    TCheckBoxState State() const { return FState; }
    virtual void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void ButtonClicked() override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

// A radio button: checking it unchecks the other radio buttons of its parent.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    const char* ClassName() const override { return "TRadioButton"; }
    bool Checked() const { return FChecked; }
    virtual void SetChecked(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void ButtonClicked() override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

// The system's static text window; a sunken border is its static edge.
class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* AOwner);
    const char* ClassName() const override { return "TStaticText"; }
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment Value);
    TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TStaticBorderStyle Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    virtual void SetShowAccelChar(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TStaticBorderStyle FBorderStyle = sbsNone;
    bool FShowAccelChar = true;
};

// Registers the classes above with the registry (part of the class library's
// own start-up).
void RegisterButtonsClasses();
