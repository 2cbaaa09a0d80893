#include "ResourceStream.h"

#include "WinText.h"

TResourceStream::TResourceStream(HINSTANCE Instance, const AnsiString& ResName, const wchar_t* ResType) {
    const std::wstring name = ToWide(ResName);
    Initialize(Instance, name.c_str(), ResType, ResName);
}

TResourceStream::TResourceStream(HINSTANCE Instance, int ResId, const wchar_t* ResType) {
    Initialize(Instance, MAKEINTRESOURCEW(ResId), ResType, IntToStr(ResId));
}

void TResourceStream::Initialize(HINSTANCE Instance, const wchar_t* Name, const wchar_t* ResType,
                                 const AnsiString& Shown) {
    if (!Instance) Instance = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(Instance, Name, ResType);
    if (!info) throw EResNotFound("Resource " + Shown + " not found");
    HGLOBAL block = LoadResource(Instance, info);
    const void* data = block ? LockResource(block) : nullptr;
    if (!data) throw EResNotFound("Resource " + Shown + " not found");
    // Resource memory lives as long as the module; nothing to free.
    SetPointer(data, SizeofResource(Instance, info));
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EWriteError("Stream write error: resources are read-only");
}
