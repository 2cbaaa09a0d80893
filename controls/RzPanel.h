// TRzPanel: a container with the composed framed border, a solid or gradient
// client area, an optional grid, a caption placed both ways and a
// transparent mode; TRzGroupBox: captioned group frames built on it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "Docking.h"
#include "Graphics.h"
#include "RzCommon.h"
#include "StdCtrls.h"

enum TRzGridStyle { gsDots, gsDottedLines, gsSolidLines };
enum TRzGroupBoxStyle { gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline };

class TRzCustomPanel : public TCustomPanel, public IFrameControllerClient, public IFrameControllerLinked {
public:
    explicit TRzCustomPanel(TComponent* AOwner);
    ~TRzCustomPanel() override;
    const char* ClassName() const override { return "TRzCustomPanel"; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void RemoveControl(TControl* AControl) override;

    TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
    virtual void SetAlignmentVertical(TAlignmentVertical v);
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
    TColor FlatColor() const { return FFlatColor; }
    virtual void SetFlatColor(TColor v);
    int FlatColorAdjustment() const { return FFlatColorAdjustment; }
    virtual void SetFlatColorAdjustment(int v);
    TRzFrameController* FrameController() const { return FFrameController; }
    virtual void SetFrameController(TRzFrameController* v);
    TRzFrameControllerNotifications FrameControllerNotifications() const override { return FNotifications; }
    void SetFrameControllerNotifications(TRzFrameControllerNotifications v) { FNotifications = v; }
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool v) { FFullRepaint = v; }
    TRzGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
    virtual void SetGradientColorStyle(TRzGradientColorStyle v);
    TColor GradientColorStart() const { return FGradientColorStart; }
    virtual void SetGradientColorStart(TColor v);
    TColor GradientColorStop() const { return FGradientColorStop; }
    virtual void SetGradientColorStop(TColor v);
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    virtual void SetGradientDirection(TGradientDirection v);
    TColor GridColor() const { return FGridColor; }
    virtual void SetGridColor(TColor v);
    TRzGridStyle GridStyle() const { return FGridStyle; }
    virtual void SetGridStyle(TRzGridStyle v);
    Word GridXSize() const { return FGridXSize; }
    virtual void SetGridXSize(Word v);
    Word GridYSize() const { return FGridYSize; }
    virtual void SetGridYSize(Word v);
    bool PaintClientArea() const { return FPaintClientArea; }
    virtual void SetPaintClientArea(bool v);
    bool ShowGrid() const { return FShowGrid; }
    virtual void SetShowGrid(bool v);
    bool ShowDockClientCaptions() const { return FShowDockClientCaptions; }
    void SetShowDockClientCaptions(bool v) { FShowDockClientCaptions = v; }
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);
    int TextMargin() const { return FTextMargin; }
    virtual void SetTextMargin(int v);
    int TextMarginVertical() const { return FTextMarginVertical; }
    virtual void SetTextMarginVertical(int v);
    TRzVisualStyle VisualStyle() const { return FVisualStyle; }
    virtual void SetVisualStyle(TRzVisualStyle v);
    bool WordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool v);

    virtual TPoint MousePosition() const;
    virtual void RemoveBorderSizes(TRect& R, bool WithBorderWidth) const;
    virtual TRect PaintArea() const { return Rect(0, 0, Width(), Height()); }
    virtual TPoint EdgeRepaintMargin() const { return Point(1, 1); }
    virtual void EffectiveGradientColors(TColor& Start, TColor& Stop) const;
    virtual void EffectiveFlatColor(TColor& Color, int& Adjustment) const;
    void FrameControllerChanged() override;
    // The client rectangle left to aligned children; a dock site's also
    // loses its borders.
    void AdjustClientRect(TRect& R) override;
    // Whether a disabled panel recorded a child as enabled (-1: no record).
    int EnabledRecord(TControl* Child) const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void PaintBackground(HDC DC, const RECT& R) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    std::unique_ptr<TDockTree> CreateDockManager() override;
    virtual void PaintPanelText(TRect R);
    virtual void PaintPanelGrid(TRect R);
    int BorderAmount(TFrameStyleEx Style) const;
    // Invalidates what a size change uncovers of the borders.
    void InvalidateUncoveredEdges(int OldWidth, int OldHeight, int NewWidth, int NewHeight);

    TRzFrameController* FFrameController = nullptr;
    TRzFrameControllerNotifications FNotifications = fcpAllNotifications;

private:
    TAlignmentVertical FAlignmentVertical = avCenter;
    TColor FBorderColor = clBtnFace;
    TFrameStyleEx FBorderInner = fsNone, FBorderOuter = fsRaised;
    TSides FBorderSides = sdAllSides;
    TColor FBorderHighlight = clBtnHighlight, FBorderShadow = clBtnShadow;
    TColor FFlatColor = clBtnShadow;
    int FFlatColorAdjustment = 30;
    bool FFullRepaint = true;
    TRzGradientColorStyle FGradientColorStyle = gcsSystem;
    TColor FGradientColorStart = clWhite, FGradientColorStop = clBtnFace;
    TGradientDirection FGradientDirection = gdHorizontalEnd;
    TColor FGridColor = clBtnShadow;
    TRzGridStyle FGridStyle = gsDots;
    Word FGridXSize = 8, FGridYSize = 8;
    bool FPaintClientArea = true;
    bool FShowGrid = false;
    bool FShowDockClientCaptions = true;
    bool FTransparent = false;
    int FTextMargin = 0, FTextMarginVertical = 0;
    TRzVisualStyle FVisualStyle = vsThemed;
    bool FWordWrap = true;
    // The window's size as last seen, to tell what a move uncovers.
    int FSeenWidth = -1, FSeenHeight = -1;
    // Each child's Enabled while the panel is disabled.
    std::vector<std::pair<TControl*, bool>> FEnabledRecords;
};

// The framed panel's dock manager: caption strips with the client's caption
// and a close glyph over each docked client.
class TRzPanelDockManager : public TDockTree {
public:
    explicit TRzPanelDockManager(TRzCustomPanel* Panel);
    ~TRzPanelDockManager() override;
    void AdjustDockRect(TControl* Control, TRect& ARect) override;
    void PaintDockFrame(TCanvas* Canvas, TControl* Control, const TRect& ARect) override;
    void PaintSite(HDC DC) override;

private:
    void NewWndProc(TMessage& Message);
    void PaintStrip(HDC DC, TControl* Control, const TRect& ARect, bool Vertical);

    TRzCustomPanel* FPanel;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FCloseFont;
    TWndProcHook FHook;
};

class TRzPanel : public TRzCustomPanel {
public:
    using TRzCustomPanel::TRzCustomPanel;
    const char* ClassName() const override { return "TRzPanel"; }
};

class TRzCustomGroupBox : public TRzCustomPanel {
public:
    explicit TRzCustomGroupBox(TComponent* AOwner);
    const char* ClassName() const override { return "TRzCustomGroupBox"; }
    TRzGroupBoxStyle GroupStyle() const { return FGroupStyle; }
    virtual void SetGroupStyle(TRzGroupBoxStyle v);
    void AdjustClientRect(TRect& R) override;
    void FrameControllerChanged() override;
    // Where the caption goes for the current style (empty without one).
    TRect CaptionRect();

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    TRzGroupBoxStyle FGroupStyle = gsFlat;
};

class TRzGroupBox : public TRzCustomGroupBox {
public:
    using TRzCustomGroupBox::TRzCustomGroupBox;
    const char* ClassName() const override { return "TRzGroupBox"; }
};

void RegisterRzPanel();
