// Start-up steps of the framed controls' units, in the order the program
// runs them (after the class library's own units).
#pragma once

#include "UnitInit.h"

void RzCommonStartup();
void RegisterRzLabel();
void RegisterRzBackground();
void RegisterRzLine();
void RegisterShapes();
void RegisterRzEdit();
void RegisterRzButton();
void RegisterRzPanel();

// RzCommon first: the colour set and the display depth; then one
// registration step per control unit.
inline constexpr TUnitStep kFramedControlUnits[] = {
    {"RzCommon", RzCommonStartup, nullptr},
    {"RzLabel", RegisterRzLabel, nullptr},
    {"RzBckgnd", RegisterRzBackground, nullptr},
    {"RzLine", RegisterRzLine, nullptr},
    {"Shapes", RegisterShapes, nullptr},
    {"RzEdit", RegisterRzEdit, nullptr},
    {"RzButton", RegisterRzButton, nullptr},
    {"RzPanel", RegisterRzPanel, nullptr},
};
