#include "WinText.h"

#include <cwchar>
#include <vector>

#include "Text1251.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::wstring ToWide(const AnsiString& s) {
    std::wstring out;
    out.reserve(s.size());
    for (unsigned char c : s) out += static_cast<wchar_t>(Cp1251ToUnicode(c));
    return out;
}

AnsiString FromWide(const wchar_t* s, int len) {
    if (!s) return AnsiString();
    const size_t n = len < 0 ? std::wcslen(s) : static_cast<size_t>(len);
    return Utf16ToCp1251(reinterpret_cast<const char16_t*>(s), n);
}

BOOL SetWindowTextAnsi(HWND wnd, const AnsiString& text) { return SetWindowTextW(wnd, ToWide(text).c_str()); }

AnsiString GetWindowTextAnsi(HWND wnd) {
    const int n = GetWindowTextLengthW(wnd);
    if (n <= 0) return AnsiString();
    std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
    const int got = GetWindowTextW(wnd, buf.data(), n + 1);
    return FromWide(buf.data(), got > 0 ? got : 0);
}

std::wstring ProgramFileNameW() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
        if (n == 0) return std::wstring();
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);  // cut short: try a larger buffer
    }
}
