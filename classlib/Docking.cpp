#include "Docking.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "DragTracking.h"
#include "Graphics.h"
#include "Guards.h"

namespace {

RECT AsRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
bool Inside(const TRect& r, const TPoint& p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

TRect ScreenRectOf(const TControl* C, TRect R) {
    TPoint o = C->ClientOrigin();
    return Rect(R.Left + o.X, R.Top + o.Y, R.Right + o.X, R.Bottom + o.Y);
}

// The part of a dock site's client area that its clients share.
TRect SiteArea(TWinControl* Site) {
    TRect r = Site->ClientRect();
    Site->AdjustClientRect(r);
    return r;
}

// Screen pixels inverted through a halftone; inverted twice they are back.
void InvertBar(HDC DC, const TRect& R) { PatBlt(DC, R.Left, R.Top, R.Width(), R.Height(), PATINVERT); }

template <class F>
void WithHalftone(F Draw) {
    WindowDC dc(nullptr);
    if (!dc) return;
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    BitmapHandle bits(CreateBitmap(8, 8, 1, 1, pattern));
    BrushHandle brush(CreatePatternBrush(bits.Get()));
    SelectGuard select(dc.Get(), brush.Get());
    Draw(dc.Get());
}

// An inverted frame of Width pixels on the screen.
void InvertFrame(const TRect& R, int Width) {
    WithHalftone([&](HDC dc) {
        InvertBar(dc, Rect(R.Left, R.Top, R.Right, R.Top + Width));
        InvertBar(dc, Rect(R.Left, R.Bottom - Width, R.Right, R.Bottom));
        InvertBar(dc, Rect(R.Left, R.Top + Width, R.Left + Width, R.Bottom - Width));
        InvertBar(dc, Rect(R.Right - Width, R.Top + Width, R.Right, R.Bottom - Width));
    });
}

// Avail pixels shared by the zones in proportion to their shares, rounded
// so that the lengths add up to Avail exactly.
std::vector<int> ShareOut(const std::vector<TDockZone*>& Zones, int Avail) {
    double total = 0;
    for (TDockZone* z : Zones) total += std::max(0.0, z->Share);
    std::vector<int> lengths;
    double cum = 0;
    int at = 0;
    for (TDockZone* z : Zones) {
        cum += total > 0 ? std::max(0.0, z->Share) : 1;
        const int to = int(std::lround(Avail * cum / (total > 0 ? total : double(Zones.size()))));
        lengths.push_back(to - at);
        at = to;
    }
    return lengths;
}

std::vector<TDockZone*> ShownChildren(const TDockZone* Zone) {
    std::vector<TDockZone*> shown;
    for (auto& z : Zone->Children)
        if (z->Visible()) shown.push_back(z.get());
    return shown;
}

TCustomDockForm* FloatingHost(TWinControl* Site) { return dynamic_cast<TCustomDockForm*>(Site); }

}  // namespace

// ======================================================================
// The dock drag: one at a time, driven by the mouse messages of the window
// holding the capture.

struct DockMachinery {
    TControl* Source = nullptr;
    std::unique_ptr<TDragDockObject> Object;
    bool Active = false;
    int Threshold = 4;
    TPoint Start;
    HWND CaptureWnd = nullptr;
    TWinControl* Target = nullptr;
    bool Accepted = false;
    bool Shown = false;
    TRect ShownRect;
    int ShownWidth = 1;

    static DockMachinery& Get() {
        static DockMachinery d;
        return d;
    }

    void Begin(TControl* src, bool immediate, int threshold) {
        if (Source || DragSourceControl()) return;
        TDragDockObject* made = nullptr;
        src->DoStartDock(made);
        std::unique_ptr<TDragDockObject> obj(made ? made : new TDragDockObject(src));
        obj->Control = src;
        POINT cur;
        GetCursorPos(&cur);
        Start = Point(cur.x, cur.y);
        TPoint origin = src->ClientOrigin();
        obj->GrabOffset = Point(std::clamp(Start.X - origin.X, 0, std::max(0, src->UndockWidth() - 1)),
                                std::clamp(Start.Y - origin.Y, 0, std::max(0, src->UndockHeight() - 1)));
        obj->DragPos = Start;
        // The press may have given the control the mouse; the drag takes it.
        src->SetMouseCapture(false);
        Source = src;
        Object = std::move(obj);
        Active = false;
        Threshold = threshold >= 0 ? threshold : GetSystemMetrics(SM_CXDRAG);
        Target = nullptr;
        Accepted = false;
        Shown = false;
        CaptureWnd = src->WindowHandleForPaint();
        if (CaptureWnd) SetCapture(CaptureWnd);
        if (immediate) {
            Active = true;
            MoveTo(Start);
        }
    }

    void ShowRect(const TRect& r, int width) {
        if (Shown && r == ShownRect && width == ShownWidth) return;
        HideRect();
        InvertFrame(r, width);
        Shown = true;
        ShownRect = r;
        ShownWidth = width;
    }
    void HideRect() {
        if (Shown) InvertFrame(ShownRect, ShownWidth);
        Shown = false;
    }

    // The innermost dock site under the mouse that would take the source.
    TWinControl* SiteAt(const TPoint& pos) {
        POINT p{pos.X, pos.Y};
        for (HWND h = WindowFromPoint(p); h; h = GetParent(h)) {
            TWinControl* w = FindControl(h);
            if (!w || !w->DockSite() || !w->Showing()) continue;
            if (static_cast<TControl*>(w) == Source) continue;
            if (auto* sw = dynamic_cast<TWinControl*>(Source); sw && sw->ContainsControl(w)) continue;
            // Its own floating window: dropped there it just floats on.
            if (FloatingHost(w) && w->DockClientCount() == 1 && w->DockClients(0) == Source) continue;
            RECT wr;
            GetWindowRect(h, &wr);
            TRect influence = Rect(wr.left, wr.top, wr.right, wr.bottom);
            bool canDock = true;
            w->GetSiteInfo(Source, influence, pos, canDock);
            if (canDock && Inside(influence, pos)) return w;
        }
        return nullptr;
    }

    bool Over(TWinControl* t, TDragState state) {
        TPoint p = t->ScreenToClient(Object->DragPos);
        bool accept = true;
        t->DockOver(Object.get(), p.X, p.Y, state, accept);
        return accept;
    }

    void MoveTo(const TPoint& pos) {
        Object->DragPos = pos;
        TWinControl* t = SiteAt(pos);
        if (t != Target) {
            TWinControl* old = Target;
            Target = nullptr;
            Accepted = false;
            if (old) Over(old, dsDragLeave);
            if (!Source) return;  // a handler ended the drag
            Target = t;
            if (t) Accepted = Over(t, dsDragEnter);
        } else if (t) {
            Accepted = Over(t, dsDragMove);
        }
        if (!Source) return;
        Object->Floating = !(Target && Accepted);
        if (Object->Floating) {
            TPoint o = Point(pos.X - Object->GrabOffset.X, pos.Y - Object->GrabOffset.Y);
            Object->DockRect = Bounds(o.X, o.Y, Source->UndockWidth(), Source->UndockHeight());
        }
        ShowRect(Object->DockRect, Object->Floating ? 3 : 1);
    }

    void Done(bool drop) {
        if (!Source) return;
        // The drag is over before the handlers run; its object goes at the
        // end of this scope, thrown or not.
        DockMachinery d = std::move(*this);
        *this = DockMachinery();
        d.HideRect();
        if (d.CaptureWnd && GetCapture() == d.CaptureWnd) ReleaseCapture();
        TDragDockObject* obj = d.Object.get();
        TObject* target = nullptr;
        TPoint local = obj->DragPos;
        if (drop && d.Active) {
            if (d.Target && d.Accepted) {
                local = d.Target->ScreenToClient(obj->DragPos);
                d.Target->DockDrop(obj, local.X, local.Y);
                if (d.Source->HostDockSite() == d.Target) target = d.Target;
            } else {
                // Over no dock site that takes it: it floats where the frame was.
                if (d.Source->ManualFloat(obj->DockRect)) target = d.Source->HostDockSite();
            }
        }
        d.Source->DoEndDock(target, local.X, local.Y);
    }

    bool Message(TWinControl* w, TMessage& m) {
        if (!Source) return false;
        switch (m.Msg) {
        case WM_CAPTURECHANGED:
            if (w->HandleIfAllocated() == CaptureWnd && reinterpret_cast<HWND>(m.LParam) != CaptureWnd) Done(false);
            return false;
        case WM_KEYDOWN:
            if (m.WParam != VK_ESCAPE) return false;
            Done(false);
            return true;
        default: break;
        }
        if (m.Msg < WM_MOUSEFIRST || m.Msg > WM_MBUTTONDBLCLK) return false;
        return TrackDragMouse(*this, w, m);
    }

    // Takes Client out of its host (client list and dock tree); a floating
    // host left empty goes once the queued messages are handled.
    static void LeaveHost(TControl* Client) {
        TWinControl* old = Client->FHostDockSite;
        if (!old) return;
        Client->FHostDockSite = nullptr;
        auto& list = old->FDockClients;
        list.erase(std::remove(list.begin(), list.end(), Client), list.end());
        if (TDockTree* tree = old->DockManager()) tree->RemoveControl(Client);
        TCustomDockForm* host = FloatingHost(old);
        if (host && list.empty() && !(host->ComponentState() & csDestroying)) host->Release();
    }

    void Forget(TControl* c) {
        if (Source == c) {
            HideRect();
            if (CaptureWnd && GetCapture() == CaptureWnd) ReleaseCapture();
            *this = DockMachinery();
        } else if (static_cast<TControl*>(Target) == c) {
            Target = nullptr;
            Accepted = false;
        }
        if (Object && Object->DropOnControl == c) Object->DropOnControl = nullptr;
    }
};

void BeginDockDrag(TControl* Control, bool Immediate, int Threshold) {
    DockMachinery::Get().Begin(Control, Immediate, Threshold);
}
bool DockDragging() { return DockMachinery::Get().Source != nullptr; }
bool DockDragMouse(TWinControl* Window, TMessage& Message) { return DockMachinery::Get().Message(Window, Message); }
void CancelDockDrag() { DockMachinery::Get().Done(false); }

// ======================================================================
// Moving a control between sites

void ForgetDockControl(TControl* Control) {
    DockMachinery::Get().Forget(Control);
    DockMachinery::LeaveHost(Control);
}

bool TControl::Floating() const { return FloatingHost(FHostDockSite) != nullptr; }

void TControl::DoStartDock(TDragDockObject*& DragObject) {
    if (OnStartDock) OnStartDock(this, DragObject);
}

void TControl::DoEndDock(TObject* Target, int X, int Y) {
    if (OnEndDock) OnEndDock(this, Target, X, Y);
}

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide) {
    if (!NewDockSite) {
        TRect r = FParent ? ScreenRectOf(FParent, BoundsRect()) : BoundsRect();
        return ManualFloat(Bounds(r.Left, r.Top, UndockWidth(), UndockHeight()));
    }
    if (static_cast<TControl*>(NewDockSite) == this)
        throw EInvalidOperation("A control cannot be docked into itself");
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->ContainsControl(NewDockSite))
        throw EInvalidOperation("A control cannot be docked into one of its own children");
    TDragDockObject obj(this);
    obj.DropOnControl = DropControl && DropControl->HostDockSite() == NewDockSite ? DropControl : nullptr;
    obj.DropAlign = ControlSide;
    obj.Floating = false;
    obj.DockRect = ScreenRectOf(NewDockSite, SiteArea(NewDockSite));
    NewDockSite->DockDrop(&obj, 0, 0);
    return FHostDockSite == NewDockSite;
}

bool TControl::ManualFloat(const TRect& ScreenPos) {
    TWinControl* old = FHostDockSite;
    if (TCustomDockForm* host = FloatingHost(old); host && host->DockClientCount() == 1) {
        host->SetBounds(host->Left() + ScreenPos.Left - ClientOrigin().X, host->Top() + ScreenPos.Top - ClientOrigin().Y,
                        host->Width(), host->Height());
        return true;
    }
    if (old && !old->DoUnDock(nullptr, this)) return false;
    if (!old) {
        FUndockWidth = FWidth;
        FUndockHeight = FHeight;
    }
    auto* host = new TCustomDockForm(Owner());
    host->SetCaption(Caption());
    host->HandleNeeded();
    RECT r = AsRECT(ScreenPos);
    AdjustWindowRectEx(&r, DWORD(GetWindowLongW(host->Handle(), GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongW(host->Handle(), GWL_EXSTYLE)));
    host->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    DockMachinery::LeaveHost(this);
    SetAlign(alNone);
    SetParent(host);
    FHostDockSite = host;
    host->FDockClients.push_back(this);
    host->DockManager()->InsertControl(this, alNone, nullptr);
    SetVisible(true);
    host->Show();
    return true;
}

// ======================================================================
// TWinControl's side

TControl* TWinControl::DockClients(int Index) const {
    if (Index < 0 || Index >= DockClientCount())
        throw EListError("Dock client index out of bounds (" + IntToStr(Index) + ")");
    return FDockClients[size_t(Index)];
}

void TWinControl::SetDockSite(bool Value) {
    if (FDockSite == Value) return;
    FDockSite = Value;
    UpdateDockManager();
}

void TWinControl::SetUseDockManager(bool Value) {
    if (FUseDockManager == Value) return;
    FUseDockManager = Value;
    UpdateDockManager();
}

void TWinControl::UpdateDockManager() {
    if (FDockSite && FUseDockManager) {
        if (!FDockManager) FDockManager = CreateDockManager();
        if (FDockManager)
            for (TControl* c : FDockClients) FDockManager->InsertControl(c, alNone, nullptr);
    } else {
        FDockManager.reset();
    }
    Invalidate();
}

std::unique_ptr<TDockTree> TWinControl::CreateDockManager() {
    std::unique_ptr<TDockTree> made;
    if (!FDockManager && FDockSite && FUseDockManager) made = std::make_unique<TDockTree>(this);
    // Grabbers and clients repaint together: never half-drawn.
    if (made || FDockManager) FDoubleBuffered = true;
    return made;
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
    bool allow = true;
    if (OnUnDock) OnUnDock(this, Client, NewTarget, allow);
    return allow;
}

void TWinControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, const TPoint& MousePos, bool& CanDock) {
    if (OnGetSiteInfo) OnGetSiteInfo(this, Client, InfluenceRect, MousePos, CanDock);
}

void TWinControl::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept) {
    if (State != dsDragLeave) {
        // The client under the mouse, and the side of it nearest the mouse.
        TPoint p = Point(X, Y);
        Source->DropOnControl = nullptr;
        Source->DropAlign = alNone;
        if (FDockManager) {
            int flag = HTNOWHERE;
            TControl* c = FDockManager->HitTest(p, flag);
            TRect f;
            if (c && c != Source->Control && FDockManager->FrameRect(c, f)) {
                const int d[4] = {p.X - f.Left, f.Right - p.X, p.Y - f.Top, f.Bottom - p.Y};
                const TAlign sides[4] = {alLeft, alRight, alTop, alBottom};
                Source->DropOnControl = c;
                Source->DropAlign = sides[std::min_element(d, d + 4) - d];
            }
            FDockManager->PositionDockRect(Source->Control, Source->DropOnControl, Source->DropAlign,
                                           Source->DockRect);
        } else {
            Source->DockRect = ScreenRectOf(this, SiteArea(this));
        }
    }
    if (OnDockOver) OnDockOver(this, Source, X, Y, State, Accept);
}

void TWinControl::DockDrop(TDragDockObject* Source, int X, int Y) {
    TControl* client = Source->Control;
    if (!client) return;
    if (static_cast<TControl*>(this) == client || (dynamic_cast<TWinControl*>(client) &&
                                                   static_cast<TWinControl*>(client)->ContainsControl(this)))
        throw EInvalidOperation("A control cannot be docked into itself or one of its own children");
    TWinControl* old = client->HostDockSite();
    if (old && !old->DoUnDock(this, client)) return;
    if (!old || FloatingHost(old)) {
        client->FUndockWidth = client->Width();
        client->FUndockHeight = client->Height();
    }
    DockMachinery::LeaveHost(client);
    client->SetAlign(alNone);
    client->SetParent(this);
    if (!FDockManager) {
        TRect r = Source->DockRect;
        TPoint o = ClientOrigin();
        client->SetBounds(r.Left - o.X, r.Top - o.Y, client->Width(), client->Height());
    }
    client->FHostDockSite = this;
    FDockClients.push_back(client);
    if (FDockManager) FDockManager->InsertControl(client, Source->DropAlign, Source->DropOnControl);
    client->SetVisible(true);
    if (OnDockDrop) OnDockDrop(this, Source, X, Y);
}

// ======================================================================
// TDockTree

bool TDockZone::Visible() const {
    if (ChildControl) return ChildControl->Visible();
    return std::any_of(Children.begin(), Children.end(), [](const auto& z) { return z->Visible(); });
}

TDockTree::TDockTree(TWinControl* DockSite)
    : FDockSite(DockSite),
      FTopZone(std::make_unique<TDockZone>()),
      FHook(DockSite, TWndMethod::Of<&TDockTree::WindowProc>(this)) {}

TDockTree::~TDockTree() {
    EndSizing(false);
    if (FCloseDown && GetCapture() == FDockSite->HandleIfAllocated()) ReleaseCapture();
}

bool TDockTree::VerticalGrabbers() const { return FDockSite->Align() == alTop || FDockSite->Align() == alBottom; }

TDockZone* TDockTree::FindZone(TDockZone* Zone, TControl* Control) const {
    if (Zone->ChildControl == Control) return Zone;
    for (auto& z : Zone->Children)
        if (TDockZone* found = FindZone(z.get(), Control)) return found;
    return nullptr;
}

void TDockTree::InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl) {
    if (FindZone(FTopZone.get(), Control)) return;
    TDockZone* root = FTopZone.get();
    if (!root->ChildControl && root->Children.empty()) {
        root->ChildControl = Control;
        ResetBounds(true);
        return;
    }
    if (InsertAt == alNone || InsertAt == alClient) {
        InsertAt = VerticalGrabbers() ? alRight : alBottom;
        DropCtl = nullptr;
    }
    const TDockOrientation orient = (InsertAt == alLeft || InsertAt == alRight) ? doVertical : doHorizontal;
    const bool before = InsertAt == alLeft || InsertAt == alTop;
    TDockZone* at = DropCtl ? FindZone(root, DropCtl) : nullptr;
    if (!at) at = root;
    auto zone = std::make_unique<TDockZone>();
    zone->ChildControl = Control;
    TDockZone* parent = at->Parent;
    if (at != root && parent && parent->Orientation == orient) {
        // It takes half of the zone it was dropped on.
        zone->Share = at->Share / 2;
        at->Share -= zone->Share;
        auto it = std::find_if(parent->Children.begin(), parent->Children.end(),
                               [at](const auto& z) { return z.get() == at; });
        zone->Parent = parent;
        parent->Children.insert(before ? it : it + 1, std::move(zone));
    } else if (at == root && root->Orientation == orient) {
        // Along the whole site: an equal part of it.
        double total = 0;
        for (auto& z : root->Children) total += z->Share;
        zone->Share = total / double(root->Children.size());
        zone->Parent = root;
        root->Children.insert(before ? root->Children.begin() : root->Children.end(), std::move(zone));
    } else {
        // Split the zone: what it held moves one level down, beside the new one.
        auto moved = std::make_unique<TDockZone>();
        moved->ChildControl = at->ChildControl;
        moved->Orientation = at->Orientation;
        moved->Children = std::move(at->Children);
        for (auto& z : moved->Children) z->Parent = moved.get();
        moved->Parent = at;
        zone->Parent = at;
        at->ChildControl = nullptr;
        at->Orientation = orient;
        at->Children.clear();
        at->Children.push_back(std::move(moved));
        at->Children.insert(before ? at->Children.begin() : at->Children.end(), std::move(zone));
    }
    ResetBounds(true);
}

void TDockTree::RemoveControl(TControl* Control) {
    if (FCloseDown == Control) FCloseDown = nullptr;
    TDockZone* z = FindZone(FTopZone.get(), Control);
    if (!z) return;
    EndSizing(false);
    TDockZone* parent = z->Parent;
    if (!parent) {
        FTopZone = std::make_unique<TDockZone>();
    } else {
        auto& v = parent->Children;
        const auto at = std::find_if(v.begin(), v.end(), [z](const auto& c) { return c.get() == z; }) - v.begin();
        // Its room goes to the nearest shown neighbour, the one before first.
        ptrdiff_t heir = at > 0 ? at - 1 : at + 1;
        for (ptrdiff_t d = 1; d < ptrdiff_t(v.size()); ++d) {
            if (at - d >= 0 && v[size_t(at - d)]->Visible()) { heir = at - d; break; }
            if (at + d < ptrdiff_t(v.size()) && v[size_t(at + d)]->Visible()) { heir = at + d; break; }
        }
        v[size_t(heir)]->Share += z->Share;
        v.erase(v.begin() + at);
        if (v.size() == 1) {
            // A zone with one child left is that child.
            std::unique_ptr<TDockZone> only = std::move(v.front());
            parent->ChildControl = only->ChildControl;
            parent->Orientation = only->Orientation;
            parent->Children = std::move(only->Children);
            for (auto& c : parent->Children) c->Parent = parent;
        }
    }
    ResetBounds(true);
}

void TDockTree::ResetBounds(bool) {
    EndSizing(false);
    FFrames.clear();
    FSplitters.clear();
    LayoutZone(FTopZone.get(), SiteArea(FDockSite));
    FDockSite->Invalidate();
}

void TDockTree::LayoutZone(TDockZone* Zone, const TRect& R) {
    if (!Zone->Visible()) return;
    if (TControl* c = Zone->ChildControl) {
        FFrames.emplace_back(c, R);
        TRect r = R;
        AdjustDockRect(c, r);
        c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
        return;
    }
    const std::vector<TDockZone*> shown = ShownChildren(Zone);
    const int n = int(shown.size()), bar = FSplitterWidth;
    const bool across = Zone->Orientation == doVertical;
    const int avail = std::max(0, (across ? R.Width() : R.Height()) - (n - 1) * bar);
    const std::vector<int> lengths = ShareOut(shown, avail);
    auto part = [&](int from, int to) {
        return across ? Rect(from, R.Top, to, R.Bottom) : Rect(R.Left, from, R.Right, to);
    };
    int at = across ? R.Left : R.Top;
    for (int i = 0; i < n; ++i) {
        const int end = at + lengths[size_t(i)];
        LayoutZone(shown[size_t(i)], part(at, end));
        if (i + 1 < n)
            FSplitters.push_back(
                {Zone, shown[size_t(i)], shown[size_t(i) + 1], part(end, end + bar), at, end + bar + lengths[size_t(i) + 1], avail});
        at = end + bar;
    }
}

bool TDockTree::FrameRect(TControl* Control, TRect& Frame) const {
    for (const auto& [c, r] : FFrames)
        if (c == Control && c->Visible()) {
            Frame = r;
            return true;
        }
    return false;
}

bool TDockTree::GrabbersShown() const {
    if (!FloatingHost(FDockSite)) return true;
    int shown = 0;
    for (int i = 0; i < FDockSite->DockClientCount(); ++i) shown += FDockSite->DockClients(i)->Visible();
    return shown > 1;
}

void TDockTree::AdjustDockRect(TControl*, TRect& ARect) {
    if (!GrabbersShown()) return;
    if (VerticalGrabbers()) ARect.Left += FGrabberSize;
    else ARect.Top += FGrabberSize;
}

TRect TDockTree::CloseButtonRect(const TRect& F) const {
    const int g = FGrabberSize;
    return VerticalGrabbers() ? Rect(F.Left, F.Top, F.Left + g, F.Top + g) : Rect(F.Right - g - 1, F.Top, F.Right, F.Top + g);
}

TControl* TDockTree::HitTest(const TPoint& MousePos, int& HTFlag) const {
    for (const auto& [c, f] : FFrames) {
        if (!c->Visible() || !Inside(f, MousePos)) continue;
        const int g = GrabbersShown() ? FGrabberSize : 0;
        TRect grab = VerticalGrabbers() ? Rect(f.Left, f.Top, f.Left + g, f.Bottom) : Rect(f.Left, f.Top, f.Right, f.Top + g);
        if (!Inside(grab, MousePos)) HTFlag = HTCLIENT;
        else HTFlag = Inside(CloseButtonRect(f), MousePos) ? HTCLOSE : HTCAPTION;
        return c;
    }
    HTFlag = HTNOWHERE;
    return nullptr;
}

void TDockTree::PositionDockRect(TControl*, TControl* DropCtl, TAlign DropAlign, TRect& DockRect) {
    TRect r = SiteArea(FDockSite);
    if (DropCtl && FrameRect(DropCtl, r)) {
        switch (DropAlign) {
        case alLeft: r.Right = r.Left + r.Width() / 2; break;
        case alRight: r.Left = r.Right - r.Width() / 2; break;
        case alTop: r.Bottom = r.Top + r.Height() / 2; break;
        case alBottom: r.Top = r.Bottom - r.Height() / 2; break;
        default: break;
        }
    }
    DockRect = ScreenRectOf(FDockSite, r);
}

void TDockTree::PaintSite(HDC DC) {
    if (!GrabbersShown()) return;
    TCanvas canvas;
    TCanvasDCScope scope(&canvas, DC);
    for (const auto& [c, f] : FFrames)
        if (c->Visible()) PaintDockFrame(&canvas, c, f);
}

void TDockTree::PaintDockFrame(TCanvas* Canvas, TControl*, const TRect& R) {
    HDC dc = Canvas->Handle();
    const int g = FGrabberSize;
    RECT close = AsRECT(CloseButtonRect(R));
    InflateRect(&close, -1, -1);
    // Two raised bars along the grabber, then the close button at its end.
    for (int k = 0; k < 2; ++k) {
        RECT bar = VerticalGrabbers() ? RECT{R.Left + 3 + 3 * k, close.bottom + 2, R.Left + 6 + 3 * k, R.Bottom - 2}
                                      : RECT{R.Left + 2, R.Top + 3 + 3 * k, close.left - 2, R.Top + 6 + 3 * k};
        if (bar.right > bar.left && bar.bottom > bar.top) DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
    }
    if (g > 2) DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
}

int TDockTree::SplitterAt(const TPoint& P) const {
    for (size_t i = 0; i < FSplitters.size(); ++i)
        if (Inside(FSplitters[i].Bar, P)) return int(i);
    return -1;
}

static TCursor SplitterCursor(const TDockZone* Zone) { return Zone->Orientation == doVertical ? crHSplit : crVSplit; }

// A press on a splitter captures the mouse; the bar's new place is shown
// as an inverted line until the release lays the zones out there.
bool TDockTree::SplitterMessage(TMessage& m) {
    const HWND site = FDockSite->HandleIfAllocated();
    const TPoint p = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    auto along = [this](const TPoint& q) {
        return FSplitters[size_t(FSizing)].Zone->Orientation == doVertical ? q.X : q.Y;
    };
    switch (m.Msg) {
    case WM_SETCURSOR: {
        if (FSizing >= 0 || DockDragging() || reinterpret_cast<HWND>(m.WParam) != site || LOWORD(m.LParam) != HTCLIENT)
            return false;
        POINT cur;
        GetCursorPos(&cur);
        const int i = SplitterAt(FDockSite->ScreenToClient(Point(cur.x, cur.y)));
        if (i < 0) return false;
        SetCursor(CursorHandle(SplitterCursor(FSplitters[size_t(i)].Zone)));
        m.Result = TRUE;
        return true;
    }
    case WM_LBUTTONDOWN: {
        if (FSizing >= 0) return true;
        const int i = DockDragging() ? -1 : SplitterAt(p);
        if (i < 0) return false;
        FSizing = i;
        const TRect& bar = FSplitters[size_t(i)].Bar;
        FSizePos = along(Point(bar.Left, bar.Top));
        FSizeGrab = along(p) - FSizePos;
        SetCapture(site);
        SizeSplitterTo(FSizePos);
        return true;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (FSizing < 0) return false;
        SetCursor(CursorHandle(SplitterCursor(FSplitters[size_t(FSizing)].Zone)));
        SizeSplitterTo(along(p) - FSizeGrab);
        if (m.Msg == WM_LBUTTONUP) EndSizing(true);
        return true;
    case WM_RBUTTONDOWN:
        if (FSizing < 0) return false;
        EndSizing(false);
        return true;
    case WM_CAPTURECHANGED:
        if (FSizing >= 0 && reinterpret_cast<HWND>(m.LParam) != site) EndSizing(false);
        return false;
    default: return false;
    }
}

// The splitter's bar moved to At along its zone, on the screen.
TRect TDockTree::SplitterLine(const TSplitter& S, int At) const {
    const TRect r = S.Zone->Orientation == doVertical ? Rect(At, S.Bar.Top, At + FSplitterWidth, S.Bar.Bottom)
                                                      : Rect(S.Bar.Left, At, S.Bar.Right, At + FSplitterWidth);
    return ScreenRectOf(FDockSite, r);
}

void TDockTree::SizeSplitterTo(int Pos) {
    const TSplitter& sp = FSplitters[size_t(FSizing)];
    const bool across = sp.Zone->Orientation == doVertical;
    const int lo = sp.SpanFrom + MinZoneSize(), hi = sp.SpanTo - FSplitterWidth - MinZoneSize();
    // Too short for both minimums: the bar stays where it is.
    Pos = lo <= hi ? std::clamp(Pos, lo, hi) : (across ? sp.Bar.Left : sp.Bar.Top);
    if (FLineShown && Pos == FSizePos) return;
    WithHalftone([&](HDC dc) {
        if (FLineShown) InvertBar(dc, SplitterLine(sp, FSizePos));
        InvertBar(dc, SplitterLine(sp, Pos));
    });
    FLineShown = true;
    FSizePos = Pos;
}

void TDockTree::EndSizing(bool Apply) {
    if (FSizing < 0) return;
    const TSplitter sp = FSplitters[size_t(FSizing)];
    FSizing = -1;
    if (FLineShown) {
        WithHalftone([&](HDC dc) { InvertBar(dc, SplitterLine(sp, FSizePos)); });
        FLineShown = false;
    }
    if (GetCapture() == FDockSite->HandleIfAllocated()) ReleaseCapture();
    if (!Apply) return;
    // Shares in pixels from here: the shown zones keep their lengths but for
    // the two beside the bar, hidden ones keep their part of the whole.
    const std::vector<TDockZone*> shown = ShownChildren(sp.Zone);
    const std::vector<int> lengths = ShareOut(shown, sp.Avail);
    double visible = 0;
    for (TDockZone* z : shown) visible += z->Share;
    const double scale = visible > 0 ? sp.Avail / visible : 1;
    for (auto& z : sp.Zone->Children) z->Share *= scale;
    for (size_t i = 0; i < shown.size(); ++i) shown[i]->Share = lengths[i];
    sp.A->Share = FSizePos - sp.SpanFrom;
    sp.B->Share = sp.SpanTo - FSizePos - FSplitterWidth;
    ResetBounds(true);
}

void TDockTree::WindowProc(TMessage& m) {
    if (SplitterMessage(m)) return;
    if (!DockDragging()) {
        switch (m.Msg) {
        case WM_LBUTTONDOWN: {
            int flag = HTNOWHERE;
            TControl* c = HitTest(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), flag);
            if (c && flag == HTCLOSE) {
                FCloseDown = c;
                SetCapture(FDockSite->Handle());
                return;
            }
            if (c && flag == HTCAPTION) {
                BeginDockDrag(c, false);
                return;
            }
            break;
        }
        case WM_LBUTTONUP:
            if (TControl* down = FCloseDown) {
                FCloseDown = nullptr;
                if (GetCapture() == FDockSite->HandleIfAllocated()) ReleaseCapture();
                int flag = HTNOWHERE;
                if (HitTest(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), flag) == down && flag == HTCLOSE)
                    down->SetVisible(false);
                return;
            }
            break;
        default: break;
        }
    }
    FHook.CallPrevious(m);
}

// ======================================================================
// TCustomDockForm

TCustomDockForm::TCustomDockForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSizeToolWin);
    SetBorderIcons(BorderIconBit(biSystemMenu));
    SetDockSite(true);
    SetUseDockManager(true);
}

void TCustomDockForm::WndProc(TMessage& m) {
    // A press on the caption drags a lone floating control, not the window.
    if (m.Msg == WM_NCLBUTTONDOWN && m.WParam == HTCAPTION && DockClientCount() == 1) {
        SetActiveWindow(Handle());
        BeginDockDrag(DockClients(0), false);
        return;
    }
    TForm::WndProc(m);
}
