// Failures of OLE and shell calls as exceptions: OleCheck raises
// EOleSysError for a failed HRESULT, with the system's text for the code.
#pragma once

#include <windows.h>

#include "RunTime.h"

class EOleSysError : public Exception {
public:
    EOleSysError(const AnsiString& Message, HRESULT Code) : Exception(Message), ErrorCode(Code) {}
    HRESULT ErrorCode;
};

void OleCheck(HRESULT Result);
