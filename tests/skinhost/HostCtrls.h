// The skin host's page of plain controls: static texts, a link and an icon,
// push and bitmap buttons, check boxes and radio buttons, group boxes and
// panels, as system windows and as class-library controls, each wrapped by
// hand by the wrapper of its kind (no form skinning does it yet).
#pragma once

#include "Controls.h"
#include "HostPage.h"

class TControlsPage : TWrappedPage {
public:
    // Fills Page (a page of the host's page control) and wraps what it made.
    TControlsPage(TWinControl* Page, TsSkinManager* Manager);
};
