// Docking: the object a dock drag carries, the dock tree that lays a dock
// site's clients out in zones and paints their grabbers, and the floating
// host window a control undocked onto the desktop lives in.
//
// A dock drag begins like any drag of a control whose DragKind is dkDock
// (BeginDrag, DragMode dmAutomatic) or from a grabber of a dock tree. While
// it lasts the rectangle the control would take is drawn inverted on the
// screen: thin over a dock site that accepts it, thick where it would float.
// The site under the mouse is the innermost DockSite whose OnGetSiteInfo
// lets it; the dragged control and its children are never a target.
#pragma once

#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"

class TCanvas;

// A dock client docked into itself or one of its own children.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

enum TDockOrientation { doNoOrient, doHorizontal, doVertical };

class TDragDockObject : public TDragObject {
public:
    explicit TDragDockObject(TControl* AControl) { Control = AControl; }
    const char* ClassName() const override { return "TDragDockObject"; }
    // Where the control would go, in screen coordinates.
    TRect DockRect;
    // The dock client it would be placed beside, and on which side.
    TControl* DropOnControl = nullptr;
    TAlign DropAlign = alNone;
    // Whether DockRect is a floating window's rectangle.
    bool Floating = true;
    // The mouse in screen coordinates, and where it holds the control.
    TPoint DragPos;
    TPoint GrabOffset;
};

// One zone of a dock tree: a docked control, or zones side by side
// (doVertical: split by vertical lines) or stacked (doHorizontal).
struct TDockZone {
    TDockZone* Parent = nullptr;
    TControl* ChildControl = nullptr;
    TDockOrientation Orientation = doNoOrient;
    // Its length among its siblings: the visible ones share their parent's
    // length in proportion to it, so a resized site reflows proportionally
    // and a hidden client's room comes back when it shows again.
    double Share = 1;
    std::vector<std::unique_ptr<TDockZone>> Children;
    // Whether it shows a visible control: hidden clients give up their room.
    bool Visible() const;
};

class TDockTree {
public:
    explicit TDockTree(TWinControl* DockSite);
    virtual ~TDockTree();
    TDockTree(const TDockTree&) = delete;
    TDockTree& operator=(const TDockTree&) = delete;

    TWinControl* DockSite() const { return FDockSite; }
    int GrabberSize() const { return FGrabberSize; }

    // Places Control at side InsertAt of DropCtl's zone (alNone, alClient:
    // after the last zone, along the site's length).
    virtual void InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl);
    virtual void RemoveControl(TControl* Control);
    // Lays every zone out in the site's client rectangle again.
    virtual void ResetBounds(bool Force);
    // Paints every visible client's frame (grabber and close button).
    virtual void PaintSite(HDC DC);
    // Shrinks a zone's rectangle to what its control takes: less the grabber.
    virtual void AdjustDockRect(TControl* Control, TRect& ARect);
    virtual void PaintDockFrame(TCanvas* Canvas, TControl* Control, const TRect& ARect);
    // Where Client would go at side DropAlign of DropCtl, in screen coordinates.
    virtual void PositionDockRect(TControl* Client, TControl* DropCtl, TAlign DropAlign, TRect& DockRect);
    // The client whose frame holds MousePos (site client coordinates), with
    // HTCAPTION on its grabber, HTCLOSE on its close button, HTCLIENT
    // elsewhere; null and HTNOWHERE off every frame.
    TControl* HitTest(const TPoint& MousePos, int& HTFlag) const;
    // The frame (zone) of a docked visible control, site client coordinates.
    bool FrameRect(TControl* Control, TRect& Frame) const;
    // Width of the bar between neighbouring zones that a drag moves, and
    // the length neither zone is made smaller than by it.
    int SplitterWidth() const { return FSplitterWidth; }
    int MinZoneSize() const { return 2 * FGrabberSize; }

protected:
    // Grabbers run down the left of a site aligned top or bottom, else
    // along the top of each frame.
    bool VerticalGrabbers() const;
    // A floating host with one client shows it without a grabber: its
    // caption is the window's.
    bool GrabbersShown() const;
    // The site's messages pass here first: the grabber's press starts an
    // undock drag, a click on the close button hides the client.
    virtual void WindowProc(TMessage& Message);
    int FGrabberSize = 12;

private:
    // The bar between visible neighbours A and B of Zone; Span runs from
    // A's start to B's end along Zone's length, which is Avail less bars.
    struct TSplitter {
        TDockZone* Zone;
        TDockZone* A;
        TDockZone* B;
        TRect Bar;
        int SpanFrom, SpanTo, Avail;
    };
    TDockZone* FindZone(TDockZone* Zone, TControl* Control) const;
    void LayoutZone(TDockZone* Zone, const TRect& R);
    TRect CloseButtonRect(const TRect& Frame) const;
    int SplitterAt(const TPoint& P) const;
    bool SplitterMessage(TMessage& Message);
    TRect SplitterLine(const TSplitter& S, int At) const;
    void SizeSplitterTo(int Pos);
    void EndSizing(bool Apply);

    TWinControl* FDockSite;
    std::unique_ptr<TDockZone> FTopZone;
    TWndProcHook FHook;
    std::vector<std::pair<TControl*, TRect>> FFrames;
    TControl* FCloseDown = nullptr;
    std::vector<TSplitter> FSplitters;
    int FSplitterWidth = 4;
    // The splitter being dragged (-1: none), where the mouse holds its bar
    // and where the bar would go, shown inverted on the screen.
    int FSizing = -1;
    int FSizeGrab = 0, FSizePos = 0;
    bool FLineShown = false;
};

// The window a floating control lives in: a tool window the size of the
// control; while it holds one client a drag of its caption is a dock drag
// of that client. It is a dock site: a second client dropped on it docks
// beside the first, and it goes away when its last client leaves.
class TCustomDockForm : public TForm {
public:
    explicit TCustomDockForm(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomDockForm"; }

protected:
    void WndProc(TMessage& Message) override;
};

// Starts a dock drag of Control (capture on its window): at once when
// Immediate, else once the mouse moved Threshold pixels (negative: the
// platform's drag threshold).
void BeginDockDrag(TControl* Control, bool Immediate, int Threshold = -1);
// Whether a dock drag is under way (pending or started).
bool DockDragging();
