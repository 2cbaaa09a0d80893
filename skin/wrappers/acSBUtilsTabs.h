// Wrappers of tab controls: the page frame from a "PAGECONTROL" section
// chosen by the tab position, the tabs from the skin's tab sections row by
// row, and the selected tab drawn last, over the frame. A tab control's
// scroll arrows get an up-down wrapper. The page control wrapper also wraps
// its pages, each painted as part of the frame; those page wrappers are kept
// in one list of the unit and freed by FreePageWrappers (the unit's
// shut-down step).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "acSBUtils.h"

class TacSpinWnd;
class TacPageWnd;

// Tab positions and kinds, from the window style.
enum TacTabPosition { tpsTop = 0, tpsBottom = 1, tpsLeft = 2, tpsRight = 3 };
enum TacTabKind { tkTabs = 0, tkButtons = 1, tkFlatButtons = 2 };
int TabPositionOfStyle(LONG Style);
int TabKindOfStyle(LONG Style);

class TacTabControlWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    ~TacTabControlWnd() override;
    const char* ClassName() const override { return "TacTabControlWnd"; }
    void WndProc(TMessage& Message) override;
    // The display area (tab control's adjustment, top + 2), window coordinates.
    virtual void GetDisplayRect(TRect& R);
    // The page frame: the window, one side moved to the display area.
    virtual void GetFrameRect(TRect& R);

    void PaintTabs(TMessage& Message);
    void PaintTabBand(const CacheInfo& Under);
    // Empty unless Index is a tab and there is a selection.
    void TabRect(int Index, bool Selected, TRect& R);
    // Mode 0 normal, 1 normal but skipped when it starts left of 0, 2 selected;
    // drawn into Target with the tab's rectangle moved by -Offset.
    void DrawTab(int Index, int Mode, TPoint Offset, TBitmap* Target);
    int TabRow(int Index);
    void BandRect(TRect& R);
    // The arrow child ("msctls_updown32") gets an up-down wrapper; without
    // such a child the wrapper goes.
    void UpdateSpinButton();
    // The tab's caption (no length is to be had: the buffer grows until the
    // text is shorter) and image index.
    AnsiString TabText(int Index, int& Image) const;

    TacSpinWnd* SpinWnd = nullptr;  // owned

protected:
    int Position() const { return TabPositionOfStyle(GetWindowLongW(CtrlHandle, GWL_STYLE)); }
    int Kind() const { return TabKindOfStyle(GetWindowLongW(CtrlHandle, GWL_STYLE)); }
    int TabCount() const { return int(SendMessageW(CtrlHandle, TCM_GETITEMCOUNT, 0, 0)); }
    bool SkinnedNow() const;
    bool OwnManager(LPARAM LParam) const { return LParam == reinterpret_cast<LPARAM>(SkinManager); }
    bool HandleCommand(TMessage& Message);
    // The section of the frame: CHECKBOX without tabs, the own one, or the
    // page control's section of the tab position.
    AnsiString FrameSection() const;
    void DrawTabContent(TBitmap* Bmp, const TRect& R, int Index, int Mode, int Section);
    TSize FStoredSize{};
    AnsiString FFrameSection;
};

class TacPageControlWnd : public TacTabControlWnd {
public:
    using TacTabControlWnd::TacTabControlWnd;
    const char* ClassName() const override { return "TacPageControlWnd"; }
    void WndProc(TMessage& Message) override;
    void GetDisplayRect(TRect& R) override { TacTabControlWnd::GetDisplayRect(R); }
    void GetFrameRect(TRect& R) override { TacTabControlWnd::GetFrameRect(R); }
    // Every child window without a skinned answer gets a page wrapper.
    void WrapPages();
};

// A page: the parent's frame colour, or its picture, under the children.
class TacPageWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    const char* ClassName() const override { return "TacPageWnd"; }
    void WndProc(TMessage& Message) override;
    void PaintPage(TMessage& Message);

private:
    bool HandleCommand(TMessage& Message);
};

// The unit's page wrappers (nil until the first is made).
extern std::vector<TacPageWnd*>* PageWrappers;
// Frees every page wrapper, front first, and then the list.
void FreePageWrappers();
