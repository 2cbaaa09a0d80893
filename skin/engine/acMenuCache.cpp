#include "acMenuCache.h"

#include <algorithm>
#include <vector>

bool SkinnedMenuShowing = false;

namespace {
std::vector<TacMenuInfoRef>& Cache() {
    static std::vector<TacMenuInfoRef> c;
    return c;
}
TacMenuSkinnerFactory g_Factory = nullptr;
}  // namespace

// The icon column's section from the start: a manager read from form data
// gets it in Loaded when its data left it empty, one made by code here.
TacMenuSupport::TacMenuSupport() : FIcoLineSkin("ICOLINE"), FExtraLineFont(std::make_unique<TFont>()) {}
TacMenuSupport::~TacMenuSupport() = default;

void TacMenuSupport::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TacMenuSupport*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FIcoLineSkin = s->FIcoLineSkin;
    FUseExtraLine = s->FUseExtraLine;
    FExtraLineWidth = s->FExtraLineWidth;
    FExtraLineFont->Assign(s->FExtraLineFont.get());
}

TacMenuInfoRef FindMenuInfo(UINT FirstItem) {
    for (const TacMenuInfoRef& r : Cache())
        if (r->FirstItem == FirstItem) return r;
    return nullptr;
}

TacMenuInfoRef FindMenuInfoByWindow(HWND Wnd) {
    if (!Wnd) return nullptr;
    for (const TacMenuInfoRef& r : Cache())
        if (r->Wnd == Wnd) return r;
    return nullptr;
}

void AddMenuInfo(const TacMenuInfoRef& Info) {
    if (Info) Cache().push_back(Info);
}

void ClearMenuCache() {
    // Taken out first: a bitmap's destruction must not find a half-empty cache.
    std::vector<TacMenuInfoRef> gone;
    gone.swap(Cache());
}

int MenuCacheCount() { return int(Cache().size()); }

void SetMenuSkinnerFactory(TacMenuSkinnerFactory Factory) { g_Factory = Factory; }
TacMenuSkinnerFactory MenuSkinnerFactory() { return g_Factory; }
