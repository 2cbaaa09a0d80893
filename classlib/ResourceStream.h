// Read-only stream over a resource of the program module (RCDATA by default).
#pragma once

#include <windows.h>

#include "Streams.h"

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

class TResourceStream : public TCustomMemoryStream {
public:
    // Raises EResNotFound "Resource NAME not found" when the module lacks it.
    // Instance 0 means the program module.
    TResourceStream(HINSTANCE Instance, const AnsiString& ResName, const wchar_t* ResType = RT_RCDATA);
    TResourceStream(HINSTANCE Instance, int ResId, const wchar_t* ResType = RT_RCDATA);
    const char* ClassName() const override { return "TResourceStream"; }
    // Resources are read-only: raises EWriteError.
    int64_t Write(const void* Buffer, int64_t Count) override;

private:
    void Initialize(HINSTANCE Instance, const wchar_t* Name, const wchar_t* ResType, const AnsiString& Shown);
};
