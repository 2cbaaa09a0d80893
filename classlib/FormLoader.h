// Finds a form's definition among the program's resources and reads it
// (the reader itself is portable: FormReader.h).
#pragma once

#include <windows.h>

#include "FormReader.h"

// The RCDATA resource named after Root's class in upper case ("TFORM2");
// Instance 0 is the program module.
void LoadFormFromResource(TComponent* Root, HINSTANCE Instance);
