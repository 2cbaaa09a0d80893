#include "sDateUtils.h"

bool FourDigitYear = false;

bool HasFourDigitYear(const AnsiString& ShortDateFormat) {
    return UpperCaseAscii(ShortDateFormat).find("YYYY") != AnsiString::npos;
}
