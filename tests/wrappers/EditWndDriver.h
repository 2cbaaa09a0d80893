// What the edit-like wrapper tests and the repaint bench share: the engine
// units they run on and a report list view's rows.
#pragma once

#include <windows.h>

// The engine units of the edit-like wrappers started (after the class
// library's own); FinishUnits ends them.
void StartEditWndUnits();

// Four columns and 200 rows of text into a list view in report mode.
void FillListView(HWND ListView);
