#include "ComObj.h"

#include <cstdio>

#include "WinText.h"

void OleCheck(HRESULT Result) {
    if (SUCCEEDED(Result)) return;
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, DWORD(Result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    AnsiString msg = text ? FromWide(text) : AnsiString();
    if (text) LocalFree(text);
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == '\r' || msg.back() == ' ')) msg.pop_back();
    if (msg.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "OLE error %08lX", static_cast<unsigned long>(Result));
        msg = code;
    }
    throw EOleSysError(msg, Result);
}
