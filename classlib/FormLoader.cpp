#include "FormLoader.h"

#include "FormData.h"
#include "WinText.h"

void LoadFormFromResource(TComponent* Root, HINSTANCE Instance) {
    HMODULE module = Instance ? Instance : GetModuleHandleW(nullptr);
    AnsiString resName = FormResourceName(Root->ClassName());
    std::wstring wname = ToWide(resName);
    HRSRC res = FindResourceW(module, wname.c_str(), RT_RCDATA);
    if (!res)
        throw EFormError("Error reading form " + AnsiString(Root->ClassName()) + ": resource " + resName +
                         " not found");
    HGLOBAL g = LoadResource(module, res);
    const void* p = g ? LockResource(g) : nullptr;
    DWORD size = SizeofResource(module, res);
    if (!p) throw EFormError("Error reading form " + AnsiString(Root->ClassName()) + ": cannot load resource " + resName);
    LoadFormDefinition(Root, static_cast<const uint8_t*>(p), size);
}
