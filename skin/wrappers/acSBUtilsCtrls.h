// Wrappers of the plain controls: static texts, links and icons; push and
// bitmap buttons; check boxes and radio buttons; group boxes and panels. Each
// paints its window from the skin into the common data's cache bitmap and
// copies that to the window; the window keeps its own behaviour (clicks,
// keys, state), which the wrapper reads by message at every paint.
//
// Painting happens only while the wrapper's manager is active; otherwise a
// wrapper hands every message on (the base keeps its detaching and text
// reading). Captions are read by the base (length first). Hot tracking goes
// through the manager's hot window: a wrapper makes its window hot when the
// mouse enters and lets go when the mouse leaves it (asked for with
// TrackMouseEvent, so leaving onto an unskinned window counts too).
#pragma once

#include "Guards.h"
#include "acSBUtils.h"

class TCustomPanel;
class TCanvas;

// The system's message font (non-client metrics of the platform's oldest
// layout, so every version answers); nil when the call fails. The caller
// owns the font.
FontHandle MessageFont();

// ---------------------------------------------------------------- static texts

class TacStaticWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacStaticWnd"; }
    void WndProc(TMessage& Message) override;
    // Draws the content into the cache over the section's background.
    virtual void PaintContent();
    // The section and content into the cache, then to the window (or to the
    // DC in the message's wParam).
    void PaintWindow(TMessage& Message);

protected:
    // A static with a tab stop or a static edge keeps its system look.
    bool KeepsSystemLook() const;
};

// A static whose text holds link tags: the tags are dropped, the text drawn plain.
class TacLinkWnd : public TacStaticWnd {
public:
    using TacStaticWnd::TacStaticWnd;
    const char* ClassName() const override { return "TacLinkWnd"; }
    void PaintContent() override;
};

// A static that shows an icon: the icon at its own size at the top left.
class TacIconWnd : public TacStaticWnd {
public:
    using TacStaticWnd::TacStaticWnd;
    const char* ClassName() const override { return "TacIconWnd"; }
    void PaintContent() override;
};

// ---------------------------------------------------------------- push buttons

// A push button in three states (0 normal, 1 hot, focused or default,
// 2 pressed), the caption moved one pixel right and down while pressed.
// The painting steps are virtual so that the bitmap button replaces only
// the placing of caption and glyph.
class TacBtnWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacBtnWnd"; }
    void RestorePlainLook() override { TacMainWnd::RestorePlainLook(); }
    void ApplySkinLook() override { TacMainWnd::ApplySkinLook(); }
    void WndProc(TMessage& Message) override;

    void PaintButton(TMessage& Message);
    int ButtonState() const;
    bool IsPressed() const;

    virtual void PaintCaption();
    virtual void PaintGlyph() {}
    virtual TSize GetGlyphSize() const { return TSize{}; }
    virtual void DrawCaption(const TRect& R, unsigned Flags);
    virtual TRect GetCaptionRect();
    virtual int GetMaxTextWidth();
    virtual TSize GetTextSize();
    virtual void PaintToCache();

protected:
    // The caption's text flags (word breaking only for BS_MULTILINE).
    unsigned CaptionFlags() const;
    // The cache canvas's font: the linked control's, else the window's.
    void SelectCaptionFont();
    // The state changes that the window would draw itself: drawn with
    // redrawing off, then painted from the skin.
    void QuietThenPaint(TMessage& Message, bool ToPrevious);
    // Repaint and hover commands of the engine; true when consumed.
    bool HoverCommand(TMessage& Message);
};

class TBitBtn;

// A push button with a glyph: the linked class-library bitmap button's
// glyph cell (placed with the caption by its layout, spacing and margin),
// or the bitmap a system button shows.
class TacBitBtnWnd : public TacBtnWnd {
public:
    using TacBtnWnd::TacBtnWnd;
    const char* ClassName() const override { return "TacBitBtnWnd"; }
    void PaintGlyph() override;
    TSize GetGlyphSize() const override;
    TRect GetCaptionRect() override;
    int GetMaxTextWidth() override;
    TRect GetGlyphRect();

private:
    TBitBtn* LinkedBitBtn() const;
    HBITMAP WindowBitmap() const;
    // Glyph and caption of a linked button, placed together.
    void LinkedLayout(TRect& Text, TPoint& Glyph);
};

// ---------------------------------------------------------------- check boxes and radio buttons

// A check box, three-state box or radio button: the section's background,
// the glyph of its check state from the skin's "GLOBALINFO" images (three
// state cells: normal, hot, pressed) and the caption beside it.
class TacCheckBoxWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacCheckBoxWnd"; }
    void WndProc(TMessage& Message) override;

    void PaintCheckBox(TMessage& Message);
    void PaintToCache();
    void PaintCaption();
    void PaintGlyph(int Index);
    // The mask index of the glyph for a check state (0, 1, 2), -1 when the skin lacks it.
    int GlyphIndex(int CheckState) const;
    // Where the glyph lies in the window; 16 x 16 without an image.
    TRect GlyphRect(int Index) const;
    int CheckState() const;
    int GlyphState() const;

private:
    bool IsRadio() const;  // by the style read for this paint
    LONG FStyle = 0;  // read at the start of each paint
};

// ---------------------------------------------------------------- group boxes and panels

// A group box: the section's frame below the middle of the caption band,
// the caption over the parent's background, the children left alone.
class TacGroupBoxWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacGroupBoxWnd"; }
    void WndProc(TMessage& Message) override;

    void PaintGroupBox(TMessage& Message);
    void PaintToCache();
    TRect CaptionRect();
    void PaintCaption(const TRect& R);

private:
    void SelectFont(TCanvas* Canvas);
};

// A nested dialog or browse pane painted as its section over the parent's
// background (a transparent look).
class TacTransPanelWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacTransPanelWnd"; }
    void WndProc(TMessage& Message) override;
    // Into the erase DC (the window DC when none), around the child windows.
    virtual void PaintTransparent(HDC DC);
};

// The section a panel is painted with, chosen by its bevels and border.
AnsiString PanelSection(const TCustomPanel* Panel);

// A class-library panel adapted by its form: its section chosen by its
// bevels, its face painted on erasing, its children left alone.
class TacPanelWnd : public TacMainWnd {
public:
    TacPanelWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data);
    const char* ClassName() const override { return "TacPanelWnd"; }
    void WndProc(TMessage& Message) override;

    virtual void PaintToCache();
    void PaintClient(HDC DC);
    void PaintBorder(HDC DC);
    void PaintCaption(const TRect& R, TCanvas* Canvas);

private:
    TCustomPanel* Panel() const;
    bool FPartialPaint = false;  // the last paint covered part of the panel
};

// A class-library panel met inside a system dialog: painted as a frame of
// the section round the panel's own face.
class TacDlgPanelWnd : public TacMainWnd {
public:
    TacDlgPanelWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data);
    const char* ClassName() const override { return "TacDlgPanelWnd"; }
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    virtual void PaintToCache();
    void PaintClient(HDC DC);
    void PaintBorder(HDC DC);

    TWinControl* Control = nullptr;  // the class-library control of the window

private:
    void TakeGlobalColor();
    bool FPanel = false;  // the control is of the class "TPanel"
};
