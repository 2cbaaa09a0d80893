// Date utilities of the engine: whether the user's short date format writes
// the year with four digits.
#pragma once

#include "RunTime.h"

extern bool FourDigitYear;
// True when the upper-cased format contains "YYYY".
bool HasFourDigitYear(const AnsiString& ShortDateFormat);
