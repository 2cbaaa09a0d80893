// Parent background and transparent children: routines of the framed
// controls that walk the control tree.
#include "ExtControls.h"
#include "Forms.h"
#include "Guards.h"
#include "RzCommon.h"
#include "RzGrafx.h"
#include "TypeInfo.h"

void PaintParentBackground(TControl* Control, HDC DC, bool InvalidateParent) {
    TWinControl* parent = Control->Parent();
    if (!parent) return;
    // The parent's painting also paints its windowless children; one of them
    // asking for its background again must not recurse.
    static TControl* painting = nullptr;
    if (painting == Control) return;
    {
        ValueRestorer<TControl*> nested(painting, Control);
        SavedDC saved(DC);
        POINT org;
        GetViewportOrgEx(DC, &org);
        SetViewportOrgEx(DC, org.x - Control->Left(), org.y - Control->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, parent->ClientWidth(), parent->ClientHeight());
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
        parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
    if (InvalidateParent && !dynamic_cast<TCustomControl*>(parent)) parent->Invalidate();
}

void InvalidateTransparentChildren(TWinControl* Container) {
    if (!Container) return;
    // Any child whose published Transparent reads 1, whatever its class.
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        const TClassInfo* info = FindClassInfo(c->ClassName());
        int64_t transparent = 0;
        if (info && ReadOrdProperty(c, *info, "Transparent", transparent) && transparent == 1) c->Invalidate();
    }
}
