// The scrolling wrappers of edit-like windows, combo boxes, the MDI client
// area, list views, grids and trees. Each gives its window a border painted
// from the skin, the emulated scroll bars and the section's colours; the
// window keeps painting its own client area. A class-library control takes
// the section's colours into its own properties while wrapped and gets its
// own back when the skin goes; a foreign window's colours are kept in the
// wrapper (with one brush for WM_CTLCOLOR* answers), and list views and
// trees get theirs through their own messages.
//
// Grids and the virtual tree of other component sets are reached only by the
// names of their published properties and events: a control that lacks one
// keeps what it has.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "Guards.h"
#include "acSBUtils.h"

class TForm;
class TCollectionItem;

// Raised between a combo box list's drop-down and close-up notifications.
extern bool acComboListDropped;

// Size, enable, scroll and cursor reactions shared by the edit-like wrappers.
class TacBaseWnd : public TacScrollWnd {
public:
    using TacScrollWnd::TacScrollWnd;
    const char* ClassName() const override { return "TacBaseWnd"; }
    void WndProc(TMessage& Message) override;

protected:
    bool WndVisible() const { return IsWindowVisible(CtrlHandle) != FALSE; }
    // The skinned state of the common data, with a live wrapper.
    bool SkinnedNow() const { return !Destroyed && SkinData && SkinData->IsSkinned(); }
    // A command that names a manager is for this wrapper only with its own.
    bool IsOwnManager(LPARAM LParam) const;
    TsSkinManager* Manager() const;
    // The section of the common data, or nil.
    const TsGeneralData* Section() const;
    // Scroll information read again and the bars repainted, unless the
    // wrapper is scrolling the window itself.
    void RefreshBars();
    void SendNCPaint();
    // What a wrapper adds once its own manager's refresh has gone through
    // the window and the frame is painted again.
    virtual void AfterRefresh() {}
};

// Edits, memos, list boxes and any edit-like window.
class TacEditWnd : public TacBaseWnd {
public:
    TacEditWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data);
    ~TacEditWnd() override;
    const char* ClassName() const override { return "TacEditWnd"; }
    void SavePlainLook() override;
    void RestorePlainLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    // The brush of the wrapper's WM_CTLCOLOR* answers: one per wrapper, made
    // when the look is applied and freed with it; asking for another colour
    // replaces it.
    HBRUSH LookBrush(TColor Value);
    HBRUSH LookBrush() { return LookBrush(PaintColor); }
    bool HasLookBrush() const { return bool(FBrush); }

    // The owner control's plain look (FocusColor only when it publishes one).
    TColor SavedColor = clWindow;
    TColor SavedFontColor = clWindowText;
    TColor SavedFocusColor = clWindow;
    bool HasFocusColor = false;
    bool PlainSaved = false;
    // A foreign window's colours while skinned.
    TColor PaintColor = clWindow;
    TColor FrameColor = 0;

protected:
    // The look applied when it is not yet, unless it is being taken off.
    void ApplySkinLookOnce();
    bool Restoring() const { return FRestoring; }
    // Copies the border bands (Band pixels wide) of the cache into DC.
    void CopyCacheBands(HDC DC, int Band);
    void AfterRefresh() override;
    void WMNCPaint();
    // A print without a DC goes on to the base wrapper (nil); with one, the
    // geometry is read again and the cache marked for a full repaint in the
    // skin's look.
    HDC StartPrint(TMessage& Message);
    void WMPrint(TMessage& Message);
    // Moves and clips DC to the client area: edges and visible bars off.
    void ClipToClient(HDC DC);
    void FreeLookBrush();

private:
    BrushHandle FBrush;
    TColor FBrushColor = clNone;
    bool FRestoring = false;
};

// The list window of a combo box (dropped down, or always shown in a simple one).
class TacComboListWnd : public TacEditWnd {
public:
    TacComboListWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                    TsCommonData* Data);
    const char* ClassName() const override { return "TacComboListWnd"; }
    void WndProc(TMessage& Message) override;

    bool Shown = false;      // between the list's show and hide notifications
    bool SimpleBox = false;  // the list of a CBS_SIMPLE combo box

protected:
    bool KeepsCapture() const override { return !SimpleBox; }

private:
    void PrepareCache();
    void WMNCPaint();
    void RepaintStripBelow();
};

class TacComboBoxWnd : public TacEditWnd {
public:
    TacComboBoxWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                   TsCommonData* Data);
    ~TacComboBoxWnd() override;
    const char* ClassName() const override { return "TacComboBoxWnd"; }
    void WndProc(TMessage& Message) override;
    // The drop-down button in client coordinates; empty for a simple box.
    virtual TRect ButtonRect();

    HWND ListHandle = nullptr;
    std::unique_ptr<TsCommonData> ButtonData;
    TacComboListWnd* ListWnd = nullptr;  // owned

    // The state the button is drawn in: 2 dropped down, 1 active or hot, 0.
    int ButtonState();

protected:
    bool IsSimple() const { return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & 3) == CBS_SIMPLE; }
    bool IsDropDownList() const { return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & 3) == CBS_DROPDOWNLIST; }
    void PaintButton(HDC DC);
    void PrepareSimpleCache();
    void DrawTextArea();
    void WMPaint(TMessage& Message);
    void WMCtlColorListBox(TMessage& Message);
    void WMPrint(TMessage& Message);
};

// What the MDI client wrapper asks of its form's skin provider. The form
// provider answers it for real; until it exists, TacMDIFormLink (below)
// stands in with the form and the skin's "MDIAREA" or "FORM" section.
class TacMDIProviderLink {
public:
    virtual ~TacMDIProviderLink() = default;
    virtual TsCommonData* CommonData() = 0;
    // The form's skinned image and where the client window's rectangle
    // (frame included) lies in it; nil when the frame is not skinned.
    virtual TBitmap* FrameImage(TPoint& ClientOffset) = 0;
    virtual TColor FormColor() = 0;
    virtual TColor BorderColor() = 0;
    virtual void BackgroundChanged() = 0;
    // The main frame repainted, the MDI menu and system menu refreshed.
    virtual void RefreshFrame() = 0;
    virtual void RefreshMDI() = 0;
    virtual void UpdateSystemMenu() = 0;
    // Skin command 5 from the client, for the form.
    virtual LRESULT ChildPainting(WPARAM WParam, LPARAM LParam) = 0;
};

// The stand-in provider link of an MDI frame window.
class TacMDIFormLink : public TacMDIProviderLink {
public:
    TacMDIFormLink(HWND Frame, HWND Client, TsSkinManager* Manager);
    ~TacMDIFormLink() override;
    TsCommonData* CommonData() override { return FData.get(); }
    TBitmap* FrameImage(TPoint& ClientOffset) override;
    TColor FormColor() override;
    TColor BorderColor() override;
    void BackgroundChanged() override { FData->BackgroundDirty = true; }
    void RefreshFrame() override;
    void RefreshMDI() override;
    void UpdateSystemMenu() override {}
    LRESULT ChildPainting(WPARAM WParam, LPARAM LParam) override;

private:
    HWND FFrame, FClient;
    std::unique_ptr<TsCommonData> FData;
};

class TacMDIWnd : public TacBaseWnd {
public:
    // Link: the form's provider (nil: a stand-in made from the frame window).
    TacMDIWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager, TsCommonData* Data,
              TacMDIProviderLink* Link = nullptr);
    ~TacMDIWnd() override;
    const char* ClassName() const override { return "TacMDIWnd"; }
    void WndProc(TMessage& Message) override;

    TForm* MDIForm = nullptr;
    TsCommonData* ProviderData = nullptr;
    TacMDIProviderLink* Provider = nullptr;

private:
    bool ChildMaximized() const;
    void EraseClient(HDC DC);
    void PaintClientBorder(HDC DC);
    void AfterTileOrCascade();
    std::unique_ptr<TacMDIProviderLink> FOwnLink;
};

// ---------------------------------------------------------------- lists, grids, trees

class TacListViewWnd : public TacEditWnd {
public:
    TacListViewWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                   TsCommonData* Data);
    ~TacListViewWnd() override;
    const char* ClassName() const override { return "TacListViewWnd"; }
    void SavePlainLook() override;
    void RestorePlainLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    // 0 icon, 1 small icon, 2 list, 3 report.
    int ViewKind() const;
    // Every section of the header, and the space right of them, into DC.
    void PaintHeader(HDC DC);

    HWND HeaderWnd = nullptr;
    int PressedColumn = -1;
    int HotColumn = -1;
    int LineHeight = 0;
    bool HeaderButtonPressed = false;
    // The list's own colours (background, text, text background).
    COLORREF SavedBkColor = CLR_NONE, SavedTextColor = CLR_NONE, SavedTextBkColor = CLR_NONE;

protected:
    void AfterRefresh() override;

private:
    void HookHeader(HWND Header);
    void UnhookHeader();
    LRESULT HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static LRESULT CALLBACK HeaderSubclass(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                           DWORD_PTR Ref);
    void PaintHeaderSection(TBitmap* Bmp, int Item, const TRect& R, const TsSection& Sec);
    void ThumbScroll(TMessage& Message, bool Vertical);
};

// Grids: their colours and fonts by published property name.
class TacGridWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    const char* ClassName() const override { return "TacGridWnd"; }
    void SavePlainLook() override;
    void RestorePlainLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    TColor SavedFixedColor = clNone, SavedFooterColor = clNone, SavedFooterCellColor = clNone;
    TColor SavedTitleFontColor = clNone, SavedTitleColor = clNone, SavedIndicatorIconColor = clNone;
    // Each font and column keeps its own colours: none takes another's back.
    TColor SavedFixedFontColor = clNone;
    struct ColumnColours {
        TColor HeaderFont = clNone, Font = clNone, Color = clNone;
    };
    std::vector<ColumnColours> SavedColumns;

protected:
    TPersistent* Grid() const { return SkinData ? SkinData->OwnerControl : nullptr; }
};

class TacExtGridWnd : public TacGridWnd {
public:
    using TacGridWnd::TacGridWnd;
    const char* ClassName() const override { return "TacExtGridWnd"; }
};

class TacTreeViewWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    const char* ClassName() const override { return "TacTreeViewWnd"; }
    void SavePlainLook() override;
    void RestorePlainLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    // The tree's own colours (-1: the system's).
    COLORREF SavedBkColor = COLORREF(-1), SavedTextColor = COLORREF(-1);

private:
    bool LeavesErasingToControl() const;
    void WMEraseBkgnd(TMessage& Message);
};

// What the virtual tree hands its header-draw events.
struct TacHeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TCollectionItem* Column = nullptr;  // nil: the space without a column
    TRect PaintRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    TPoint GlyphPos;
};
// Header elements: background, drop mark, header glyph, sort glyph, text.
enum : unsigned { hpeBackground = 1, hpeDropMark = 2, hpeHeaderGlyph = 4, hpeSortGlyph = 8, hpeText = 16 };
using TacAdvancedHeaderPaintEvent =
    Method<void(TPersistent* Sender, TacHeaderPaintInfo& PaintInfo, unsigned Elements)>;
using TacHeaderPaintQueryElementsEvent =
    Method<void(TPersistent* Sender, TacHeaderPaintInfo& PaintInfo, unsigned& Elements)>;

// A virtual tree of another component set.
class TacVirtualListWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    ~TacVirtualListWnd() override;
    const char* ClassName() const override { return "TacVirtualListWnd"; }
    void SavePlainLook() override;
    void RestorePlainLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    // The "ShellColors" colours: compressed, file and folder text.
    TColor SavedShellColors[3] = {clNone, clNone, clNone};
    bool SavedOwnerDraw = false;
    bool HookedHeaderDraw = false, HookedQueryElements = false;

    // The handlers hooked into empty header-draw events.
    void AdvancedHeaderDraw(TPersistent* Sender, TacHeaderPaintInfo& PaintInfo, unsigned Elements);
    void HeaderDrawQueryElements(TPersistent* Sender, TacHeaderPaintInfo& PaintInfo, unsigned& Elements);

private:
    void UnhookHeaderEvents();
    void WMNCPaint();
    void WMPrint(TMessage& Message);
};
