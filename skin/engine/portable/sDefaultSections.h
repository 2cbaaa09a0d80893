// Default skin section of a control by its control type code, and the codes
// that never take the hover state.
#pragma once

#include "RunTime.h"

// The section for Code; for a code without one, the owner's class name
// upper-cased.
AnsiString DefaultSectionName(int Code, const AnsiString& OwnerClassName);
// {19, 51-74, 110, 141-161}; codes above 255 never count.
bool IsNoHoverCode(int Code);
