// Tabs and spin buttons of the class library over the common controls: the
// tab control ("SysTabControl32": a row of tabs over a display area), the
// page control (the same window whose tabs are its pages, one page shown at
// a time) with its pages, and the up-down control ("msctls_updown32") with
// an optional buddy window that shows its position.
#pragma once

#include <memory>
#include <vector>

#include "Controls.h"

class TCustomImageList;
class TStringList;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using TTabChangingEvent = Method<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TWinControl {
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;
    const char* ClassName() const override { return "TCustomTabControl"; }
    // The selected tab, -1 for none.
    int TabIndex() const { return FTabIndex; }
    virtual void SetTabIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    virtual void SetTabPosition(TTabPosition Value);
    TTabStyle Style() const { return FStyle; }
    virtual void SetStyle(TTabStyle Value);
    // Tabs in rows; tabs at the left or right always are.
    bool MultiLine() const { return FMultiLine; }
    virtual void SetMultiLine(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The area inside the frame, below (beside) the tabs, in client coordinates.
    TRect DisplayRect() const;

    // Before the selection moves (AllowChange false keeps it), and after.
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanChange();
    virtual void Change();
    // The tabs the window shows: their texts and image indexes.
    virtual int TabCount() const = 0;
    virtual AnsiString TabCaption(int Index) const = 0;
    virtual int TabImage(int Index) const { return Index; }
    // Gives the window its tabs again.
    void UpdateTabs();

    int FTabIndex = -1;

private:
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
    bool FMultiLine = false;
    TCustomImageList* FImages = nullptr;
};

class TTabControl : public TCustomTabControl {
public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;
    const char* ClassName() const override { return "TTabControl"; }
    // One tab for each line; every change shows at once.
    TStringList* Tabs() const { return FTabs.get(); }

protected:
    int TabCount() const override;
    AnsiString TabCaption(int Index) const override;

private:
    void TabsChanged(TObject*);
    std::unique_ptr<TStringList> FTabs;
};

class TPageControl;

// A page of a page control: a plain window over the display area, shown
// while it is the active page.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    const char* ClassName() const override { return "TTabSheet"; }
    TPageControl* PageControl() const;
    // Its place among the pages.
    int PageIndex() const;
    // Its tab among the tabs shown, -1 when its tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    virtual void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value);

protected:
    void CMTextChanged(TMessage& Message) override;

private:
    void TabChanged();
    bool FTabVisible = true;
    int FImageIndex = -1;
};

class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* AOwner);
    const char* ClassName() const override { return "TPageControl"; }
    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(size_t(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Value);

    void InsertControl(TControl* AControl) override;
    void RemoveControl(TControl* AControl) override;
    void Loaded() override;

protected:
    void Change() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    int TabCount() const override;
    AnsiString TabCaption(int Index) const override;
    int TabImage(int Index) const override;

private:
    friend class TTabSheet;
    TTabSheet* PageOfTab(int Index) const;
    void PagesChanged();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = Method<void(TObject* Sender, TUDBtnType Button)>;

// Position runs from Min to Max by Increment (wrapping round with Wrap); the
// buddy (Associate) shows it as its text. OnClick after each step, with the
// button that made it (btNext up or right).
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* AOwner);
    const char* ClassName() const override { return "TUpDown"; }
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    int Min() const { return FMin; }
    virtual void SetMin(int Value);
    int Max() const { return FMax; }
    virtual void SetMax(int Value);
    int Position() const;
    virtual void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    virtual void SetIncrement(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    virtual void SetOrientation(TUDOrientation Value);
    bool Wrap() const { return FWrap; }
    virtual void SetWrap(bool Value);

    TUDClickEvent OnClick;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void UpdateRange();
    TWinControl* FAssociate = nullptr;
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    TUDOrientation FOrientation = udVertical;
    bool FWrap = false;
    TUDBtnType FLastButton = btNext;
};

// Registers the classes above with the registry (part of the class library's
// own start-up).
void RegisterTabsClasses();
