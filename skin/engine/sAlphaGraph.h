// Skin image painter unit: owns the shared pixel accessors (acFastPixels.h).
#pragma once

#include "acFastPixels.h"

// Unit start-up and shut-down: make Fast24, Fast24Spare, FastSum24, Fast32
// and free them again in that order. Each runs once.
void sAlphaGraphInitialize();
void sAlphaGraphFinalize();
