#include "sThirdParty.h"

const char* const ThirdPartyDefaults[ThirdPartyCount] = {" ", " ", " ", " ", " ", " ", " ", " ", " ",
                                                         " ", " ", " ", " ", " ", " ", " ", " "};
const char* const ThirdPartyCaptions[ThirdPartyCount] = {
    "Edit",     "Button", "BitBtn",  "CheckBox",    "ComboBox",    "Grid",        "GroupBox",
    "ListView", "Panel",  "TreeView", "ExtEdit",    "ExtGrid",     "VirtualList", "PageControl",
    "TabControl", "ToolBar", "StatusBar"};
