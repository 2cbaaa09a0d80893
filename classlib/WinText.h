// Texts at the Win32 boundary: the class library keeps Windows-1251 strings
// and talks to the W entry points in UTF-16, converting by a fixed table so
// the machine's ANSI code page never matters.
#pragma once

#include <windows.h>

#include <string>

#include "RunTime.h"

std::wstring ToWide(const AnsiString& s);
AnsiString FromWide(const wchar_t* s, int len = -1);
inline AnsiString FromWide(const std::wstring& s) { return FromWide(s.data(), static_cast<int>(s.size())); }

// Full path of a module's file (0: the program's), however long; empty on failure.
std::wstring ModuleFileName(HMODULE Module = nullptr);

// Window text helpers over SetWindowTextW / GetWindowTextW.
BOOL SetWindowTextAnsi(HWND wnd, const AnsiString& text);
AnsiString GetWindowTextAnsi(HWND wnd);

// Full path of the running program's file, however long; empty on failure.
inline AnsiString ProgramFileName() { return FromWide(ModuleFileName()); }
