// Stand-ins for the grids and the virtual tree of other component sets: small
// class-library controls, registered with the class registry, that publish
// the property and event names the grid and virtual-list wrappers read.
#pragma once

#include "Controls.h"
#include "Graphics.h"

void RegisterEditWndTestClasses();

// "TTestGrid" (every grid property), "TExtDataGrid" (the same, under the
// name whose fixed font and columns stay unskinned) or "TBareGrid" (none).
TCustomControl* MakeTestGrid(const char* ClassName, TWinControl* Parent);
// Makes the grid's FixedColor setter throw a std::runtime_error.
void ThrowOnFixedColor(TCustomControl* Grid, bool Throw);

struct GridColours {
    bool Has = false;
    TColor Color = clNone, Fixed = clNone, TitleFont = clNone, FixedFont = clNone, Footer = clNone,
           Indicator = clNone, ColumnColor = clNone, ColumnFont = clNone;
    int ScrollBarsRemade = 0;  // writes of ScrollBars
};
GridColours ReadGridColours(TCustomControl* Grid);

// A tree with a header row of two columns painted in its non-client area;
// Assigned: its header-draw events already have the tests' own handlers,
// which fill the header with kOwnHeaderColour.
constexpr TColor kOwnHeaderColour = 0x123456;
TCustomControl* MakeTestVirtualTree(TWinControl* Parent, bool Assigned);
int VirtualTreeHeaderHeight();

struct VirtualTreeState {
    TColor FolderColor = clNone;
    bool OwnerDraw = false;
    bool HeaderDrawIsTests = false;     // the tests' own handler is assigned
    bool HeaderDrawIsWrappers = false;  // a handler of another object is
};
VirtualTreeState ReadVirtualTree(TCustomControl* Tree);
