#include "sDateUtils.h"

bool FourDigitYear = false;

bool HasFourDigitYear(const AnsiString& ShortDateFormat) {
    AnsiString up = ShortDateFormat;
    for (char& c : up)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return up.find("YYYY") != AnsiString::npos;
}
