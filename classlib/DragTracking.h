// The mouse side that a drag and a dock drag share: the button held past
// the threshold starts the drag, moves follow it, the release drops (before
// the threshold it was a click, which goes on to the control), another
// button cancels. D has Active, Threshold, Start, MoveTo(screen point) and
// Done(drop).
#pragma once

#include <windowsx.h>

#include <cstdlib>

#include "Controls.h"

// A mouse message of window W while D's drag lasts; answers whether the
// drag consumed it.
template <class D>
bool TrackDragMouse(D& Drag, TWinControl* W, TMessage& M) {
    POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    if (W->HandleAllocated()) ClientToScreen(W->HandleIfAllocated(), &p);
    const TPoint pos = Point(p.x, p.y);
    switch (M.Msg) {
    case WM_MOUSEMOVE:
        if (!Drag.Active && (std::abs(pos.X - Drag.Start.X) >= Drag.Threshold ||
                             std::abs(pos.Y - Drag.Start.Y) >= Drag.Threshold))
            Drag.Active = true;
        if (Drag.Active) Drag.MoveTo(pos);
        return Drag.Active;
    case WM_LBUTTONUP:
        if (Drag.Active) {
            Drag.MoveTo(pos);
            Drag.Done(true);
            return true;
        }
        Drag.Done(false);
        return false;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Drag.Done(false);
        return true;
    default:
        return Drag.Active;
    }
}
