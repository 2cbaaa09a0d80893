#include "EditWndTestClasses.h"

#include <memory>
#include <stdexcept>

#include "TypeInfo.h"
#include "acSBUtilsWnds.h"
#include "acntUtilsWin.h"

namespace {

// ---------------------------------------------------------------- grid

class TTestGridColumn : public TCollectionItem {
public:
    explicit TTestGridColumn(TCollection* C) : TCollectionItem(C) {
        FHeaderFont->SetColor(clNavy);
        FFont->SetColor(clGreen);
    }
    const char* ClassName() const override { return "TTestGridColumn"; }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    TFont* Font() const { return FFont.get(); }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { FColor = V; }

private:
    std::unique_ptr<TFont> FHeaderFont = std::make_unique<TFont>(), FFont = std::make_unique<TFont>();
    TColor FColor = clAqua;
};

enum TTestScrollBars { tsbNone, tsbHorizontal, tsbVertical, tsbBoth };

class TTestGrid : public TCustomControl {
public:
    explicit TTestGrid(TComponent* AOwner) : TCustomControl(AOwner) {
        SetColor(clWhite);
        FTitleFont->SetColor(clPurple);
        FFixedFont->SetColor(clOlive);
        FColumns.Add();
        FColumns.Add();
    }
    const char* ClassName() const override { return "TTestGrid"; }
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor V) {
        if (Throw) throw std::runtime_error("the grid refuses its fixed colour");
        FFixedColor = V;
    }
    TFont* TitleFont() const { return FTitleFont.get(); }
    TFont* FixedFont() const { return FFixedFont.get(); }
    TColor FooterColor() const { return FFooter; }
    void SetFooterColor(TColor V) { FFooter = V; }
    TColor FooterCellColor() const { return FFooterCell; }
    void SetFooterCellColor(TColor V) { FFooterCell = V; }
    TColor TitleColor() const { return FTitle; }
    void SetTitleColor(TColor V) { FTitle = V; }
    TColor IndicatorIconColor() const { return FIndicator; }
    void SetIndicatorIconColor(TColor V) { FIndicator = V; }
    TCollection* Columns() const { return const_cast<TCollection*>(&FColumns); }
    int DataSource() const { return 0; }
    void SetDataSource(int) {}
    TTestScrollBars ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TTestScrollBars V) {
        FScrollBars = V;
        ++ScrollBarsWrites;
    }
    bool Throw = false;
    int ScrollBarsWrites = 0;

protected:
    void CreateParams(TCreateParams& P) override {
        TCustomControl::CreateParams(P);
        P.Style |= WS_VSCROLL | WS_HSCROLL;
        P.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void CreateWnd() override {
        TCustomControl::CreateWnd();
        SCROLLINFO si{sizeof(si), SIF_ALL, 0, 99, 10, 0, 0};
        SetScrollInfo(Handle(), SB_VERT, &si, FALSE);
        SetScrollInfo(Handle(), SB_HORZ, &si, FALSE);
    }
    void Paint() override { Canvas()->FillRect(Rect(0, 0, Width(), Height())); }

private:
    TColor FFixedColor = clBtnFace, FFooter = clSilver, FFooterCell = clSilver, FTitle = clGray, FIndicator = clBlack;
    std::unique_ptr<TFont> FTitleFont = std::make_unique<TFont>(), FFixedFont = std::make_unique<TFont>();
    TCollection FColumns{[](TCollection* c) -> TCollectionItem* { return new TTestGridColumn(c); }, "TTestGridColumn",
                         this};
    TTestScrollBars FScrollBars = tsbBoth;
};

class TExtDataGrid : public TTestGrid {
public:
    using TTestGrid::TTestGrid;
    const char* ClassName() const override { return "TExtDataGrid"; }
};

class TBareGrid : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    const char* ClassName() const override { return "TBareGrid"; }

protected:
    void CreateParams(TCreateParams& P) override {
        TCustomControl::CreateParams(P);
        P.Style |= WS_VSCROLL;
        P.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

// ---------------------------------------------------------------- virtual tree

enum TTestHeaderOption { hoOwnerDraw, hoVisible, hoHotTrack };

class TTestVTHeader : public TPersistent {
public:
    const char* ClassName() const override { return "TTestVTHeader"; }
    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned V) { FOptions = V; }
    int Height() const { return FHeight; }
    void SetHeight(int V) { FHeight = V; }
    int SortDirection() const { return FSort; }
    void SetSortDirection(int V) { FSort = V; }

private:
    unsigned FOptions = 1u << hoVisible;
    int FHeight = 20;
    int FSort = 0;
};

class TTestShellColors : public TPersistent {
public:
    const char* ClassName() const override { return "TTestShellColors"; }
    TColor CompressedTextColor() const { return F[0]; }
    void SetCompressedTextColor(TColor V) { F[0] = V; }
    TColor FileTextColor() const { return F[1]; }
    void SetFileTextColor(TColor V) { F[1] = V; }
    TColor FolderTextColor() const { return F[2]; }
    void SetFolderTextColor(TColor V) { F[2] = V; }

private:
    TColor F[3] = {clBlue, clWindowText, clMaroon};
};

class TTestVirtualTree : public TCustomControl {
public:
    explicit TTestVirtualTree(TComponent* AOwner) : TCustomControl(AOwner) {
        SetColor(clWhite);
        FColumns.Add();
        FColumns.Add();
    }
    const char* ClassName() const override { return "TTestVirtualTree"; }
    TTestVTHeader* Header() const { return FHeader.get(); }
    TTestShellColors* ShellColors() const { return FShell.get(); }
    TacAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TacHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;

    // The tests' own handlers.
    void OwnHeaderDraw(TPersistent*, TacHeaderPaintInfo& I, unsigned) {
        I.TargetCanvas->Brush()->SetColor(kOwnHeaderColour);
        I.TargetCanvas->FillRect(I.PaintRectangle);
    }
    void OwnQuery(TPersistent*, TacHeaderPaintInfo&, unsigned& E) { E = hpeBackground; }

protected:
    void CreateParams(TCreateParams& P) override {
        TCustomControl::CreateParams(P);
        P.Style |= WS_VSCROLL;
        P.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void WndProc(TMessage& M) override {
        switch (M.Msg) {
        case WM_NCCALCSIZE:
            TCustomControl::WndProc(M);
            if (M.WParam && HeaderVisible()) reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0].top += FHeader->Height();
            return;
        case WM_NCPAINT: {
            TCustomControl::WndProc(M);
            HDC dc = GetWindowDC(Handle());
            PaintHeader(dc);
            ReleaseDC(Handle(), dc);
            return;
        }
        case WM_PRINT:
            PaintHeader(reinterpret_cast<HDC>(M.WParam));
            M.Result = 0;
            return;
        default:
            TCustomControl::WndProc(M);
        }
    }
    void Paint() override { Canvas()->FillRect(Rect(0, 0, ClientWidth(), ClientHeight())); }

private:
    bool HeaderVisible() const { return (FHeader->Options() & (1u << hoVisible)) != 0; }
    void PaintHeader(HDC DC) {
        if (!HeaderVisible() || !DC) return;
        const int b = GetSystemMetrics(SM_CXEDGE);
        RECT wr;
        GetWindowRect(Handle(), &wr);
        TCanvas canvas;
        canvas.SetHandle(DC);
        const bool owner = (FHeader->Options() & (1u << hoOwnerDraw)) && OnAdvancedHeaderDraw;
        int x = b;
        const int right = wr.right - wr.left - b;
        for (int i = 0; i <= FColumns.Count(); ++i) {
            TacHeaderPaintInfo info;
            info.TargetCanvas = &canvas;
            info.Column = i < FColumns.Count() ? FColumns.Items(i) : nullptr;
            info.PaintRectangle = Rect(x, b, info.Column ? std::min(x + 100, right) : right, b + FHeader->Height());
            info.GlyphPos = Point(info.PaintRectangle.Right - 16, b);
            x = info.PaintRectangle.Right;
            if (info.PaintRectangle.Right <= info.PaintRectangle.Left) continue;
            unsigned elements = hpeBackground | hpeText;
            if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(FHeader.get(), info, elements);
            if (owner) {
                OnAdvancedHeaderDraw(FHeader.get(), info, elements & hpeBackground);
                if (info.Column) OnAdvancedHeaderDraw(FHeader.get(), info, elements & ~unsigned(hpeBackground));
            } else {
                canvas.Brush()->SetColor(clBtnFace);
                canvas.FillRect(info.PaintRectangle);
            }
        }
        canvas.SetHandle(nullptr);
    }
    std::unique_ptr<TTestVTHeader> FHeader = std::make_unique<TTestVTHeader>();
    std::unique_ptr<TTestShellColors> FShell = std::make_unique<TTestShellColors>();
    TCollection FColumns{[](TCollection* c) -> TCollectionItem* { return new TTestGridColumn(c); }, "TTestGridColumn",
                         this};
};

}  // namespace

void RegisterEditWndTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    const TEnumInfo& bars = RegisterEnum(
        "TTestScrollBars", {{"ssNone", tsbNone}, {"ssHorizontal", tsbHorizontal}, {"ssVertical", tsbVertical}, {"ssBoth", tsbBoth}});
    RegisterPersistentClass<TTestGridColumn>("TTestGridColumn")
        .Object("HeaderFont", &TTestGridColumn::HeaderFont, "TFont")
        .Object("Font", &TTestGridColumn::Font, "TFont")
        .Color("Color", &TTestGridColumn::Color, &TTestGridColumn::SetColor);
    RegisterComponentClass<TTestGrid>("TTestGrid", "TCustomControl")
        .Color("FixedColor", &TTestGrid::FixedColor, &TTestGrid::SetFixedColor)
        .Object("TitleFont", &TTestGrid::TitleFont, "TFont")
        .Object("FixedFont", &TTestGrid::FixedFont, "TFont")
        .Color("FooterColor", &TTestGrid::FooterColor, &TTestGrid::SetFooterColor)
        .Color("FooterCellColor", &TTestGrid::FooterCellColor, &TTestGrid::SetFooterCellColor)
        .Color("TitleColor", &TTestGrid::TitleColor, &TTestGrid::SetTitleColor)
        .Color("IndicatorIconColor", &TTestGrid::IndicatorIconColor, &TTestGrid::SetIndicatorIconColor)
        .Collection("Columns", &TTestGrid::Columns)
        .Int("DataSource", &TTestGrid::DataSource, &TTestGrid::SetDataSource)
        .Enum("ScrollBars", &TTestGrid::ScrollBars, &TTestGrid::SetScrollBars, bars);
    RegisterComponentClass<TExtDataGrid>("TExtDataGrid", "TTestGrid");
    RegisterComponentClass<TBareGrid>("TBareGrid", "TCustomControl");
    const TEnumInfo& options = RegisterEnum(
        "TTestHeaderOptions", {{"hoOwnerDraw", 1 << hoOwnerDraw}, {"hoVisible", 1 << hoVisible}, {"hoHotTrack", 1 << hoHotTrack}});
    RegisterPersistentClass<TTestVTHeader>("TTestVTHeader")
        .Set("Options", &TTestVTHeader::Options, &TTestVTHeader::SetOptions, options)
        .Int("Height", &TTestVTHeader::Height, &TTestVTHeader::SetHeight)
        .Int("SortDirection", &TTestVTHeader::SortDirection, &TTestVTHeader::SetSortDirection);
    RegisterPersistentClass<TTestShellColors>("TTestShellColors")
        .Color("CompressedTextColor", &TTestShellColors::CompressedTextColor, &TTestShellColors::SetCompressedTextColor)
        .Color("FileTextColor", &TTestShellColors::FileTextColor, &TTestShellColors::SetFileTextColor)
        .Color("FolderTextColor", &TTestShellColors::FolderTextColor, &TTestShellColors::SetFolderTextColor);
    RegisterComponentClass<TTestVirtualTree>("TTestVirtualTree", "TCustomControl")
        .Object("Header", &TTestVirtualTree::Header, "TTestVTHeader")
        .Object("ShellColors", &TTestVirtualTree::ShellColors, "TTestShellColors")
        .Event("OnAdvancedHeaderDraw", &TTestVirtualTree::OnAdvancedHeaderDraw)
        .Event("OnHeaderDrawQueryElements", &TTestVirtualTree::OnHeaderDrawQueryElements);
}

TCustomControl* MakeTestGrid(const char* ClassName, TWinControl* Parent) {
    const TClassInfo* info = FindClassInfo(ClassName);
    auto* g = static_cast<TCustomControl*>(info->Create(Parent));
    g->SetParent(Parent);
    g->SetBounds(10, 10, 300, 200);
    return g;
}

void ThrowOnFixedColor(TCustomControl* Grid, bool Throw) {
    if (auto* g = dynamic_cast<TTestGrid*>(Grid)) g->Throw = Throw;
}

GridColours ReadGridColours(TCustomControl* Grid) {
    GridColours c;
    c.Color = Grid->Color();
    auto* g = dynamic_cast<TTestGrid*>(Grid);
    if (!g) return c;
    c.Has = true;
    c.Fixed = g->FixedColor();
    c.TitleFont = g->TitleFont()->Color();
    c.FixedFont = g->FixedFont()->Color();
    c.Footer = g->FooterColor();
    c.Indicator = g->IndicatorIconColor();
    auto* col = static_cast<TTestGridColumn*>(g->Columns()->Items(0));
    c.ColumnColor = col->Color();
    c.ColumnFont = col->Font()->Color();
    c.ScrollBarsRemade = g->ScrollBarsWrites;
    return c;
}

TCustomControl* MakeTestVirtualTree(TWinControl* Parent, bool Assigned) {
    auto* t = new TTestVirtualTree(Parent);
    t->SetParent(Parent);
    t->SetBounds(10, 10, 300, 200);
    if (Assigned) {
        t->OnAdvancedHeaderDraw = TacAdvancedHeaderPaintEvent::Of<&TTestVirtualTree::OwnHeaderDraw>(t);
        t->OnHeaderDrawQueryElements = TacHeaderPaintQueryElementsEvent::Of<&TTestVirtualTree::OwnQuery>(t);
    }
    return t;
}

int VirtualTreeHeaderHeight() { return 20; }

VirtualTreeState ReadVirtualTree(TCustomControl* Tree) {
    auto* t = static_cast<TTestVirtualTree*>(Tree);
    VirtualTreeState s;
    s.FolderColor = t->ShellColors()->FolderTextColor();
    s.OwnerDraw = (t->Header()->Options() & (1u << hoOwnerDraw)) != 0;
    s.HeaderDrawIsTests = t->OnAdvancedHeaderDraw == TacAdvancedHeaderPaintEvent::Of<&TTestVirtualTree::OwnHeaderDraw>(t);
    s.HeaderDrawIsWrappers = t->OnAdvancedHeaderDraw && !s.HeaderDrawIsTests;
    return s;
}
