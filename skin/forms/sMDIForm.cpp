#include "sMDIForm.h"

#include "acSBUtils.h"
#include "acSBUtilsWnds.h"
#include "acntUtilsWin.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {

// What the client wrapper asks of the main form, answered by its provider:
// the client's background is the provider's image of the whole window.
class TacProviderMDILink : public TacMDIProviderLink {
public:
    explicit TacProviderMDILink(TsSkinProvider* P) : FProvider(P) {}
    TsCommonData* CommonData() override { return FProvider->SkinData(); }
    TBitmap* FrameImage(TPoint& ClientOffset) override {
        TsCommonData* d = FProvider->SkinData();
        TForm* f = FProvider->Form();
        if (!d->IsSkinned() || !f || !f->HandleAllocated() || !f->ClientHandle()) return nullptr;
        if (!FProvider->CacheValid() || !d->CacheBitmap || d->CacheBitmap->Empty()) FProvider->PaintAll();
        RECT fr{}, cr{};
        GetWindowRect(f->HandleIfAllocated(), &fr);
        GetWindowRect(f->ClientHandle(), &cr);
        ClientOffset = TPoint{cr.left - fr.left, cr.top - fr.top};
        return d->CacheBitmap;
    }
    TColor FormColor() override { return ColorToRGB(FProvider->FormColor()); }
    TColor BorderColor() override {
        TsSkinManager* m = FProvider->SkinData()->SkinManager();
        return m && m->SkinData()->Values.BorderColor != 0xFF00FF ? TColor(m->SkinData()->Values.BorderColor)
                                                                  : clBtnShadow;
    }
    void BackgroundChanged() override { FProvider->InvalidateCache(); }
    void RefreshFrame() override { FProvider->RefreshFrame(); }
    void RefreshMDI() override {
        if (TForm* f = FProvider->Form(); f && f->HandleAllocated()) DrawMenuBar(f->HandleIfAllocated());
    }
    void UpdateSystemMenu() override {
        if (TsSystemMenu* s = FProvider->SystemMenu()) s->UpdateItems();
    }
    LRESULT ChildPainting(WPARAM WParam, LPARAM LParam) override {
        TForm* f = FProvider->Form();
        return f && f->HandleAllocated() ? SendMessageW(f->HandleIfAllocated(), SM_ALPHACMD, WParam, LParam) : 0;
    }

private:
    TsSkinProvider* FProvider;
};

TForm* g_MDIIcons = nullptr;
TsSkinProvider* g_MDIIconsMain = nullptr;

constexpr int kIconsWidth = 60;

void PaintMDIIcons(void*, TObject*) {
    TsSkinProvider* p = g_MDIIconsMain;
    if (!g_MDIIcons || !p) return;
    TBitmap* cache = p->SkinData()->CacheBitmap;
    if (!cache || cache->Empty()) return;
    const int h = SystemMetric(SM_CYMENU) + 3;
    BitBlt(g_MDIIcons->Canvas()->Handle(), 0, 0, kIconsWidth, h, cache->Canvas()->Handle(),
           p->FormWidth() - kIconsWidth, p->CaptionHeight(), SRCCOPY);
}

}  // namespace

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider)
    : FProvider(AProvider), FForm(AProvider->Form()), FLink(new TacProviderMDILink(AProvider)) {
    if (FForm) FForm->HandleNeeded();
}

TsMDIForm::~TsMDIForm() { DetachClient(); }

void TsMDIForm::RefreshWrapper() {
    // A wrapper whose client window went (the form's window made again) is
    // replaced.
    if ((FWrapper && !FWrapper->Destroyed && IsWindow(FWrapper->CtrlHandle)) || !FForm ||
        (FForm->ComponentState() & csDesigning))
        return;
    AttachClient();
}

void TsMDIForm::AttachClient() {
    DetachClient();
    if (!FForm || !FProvider->SkinData()->IsSkinned()) return;
    FWrapper = CreateWrapper<TacMDIWnd>(FForm->ClientHandle(), true, "CHECKBOX", FProvider->SkinData()->SkinManager(),
                                        nullptr, FLink.get());
    if (FWrapper) {
        FWrapper->MDIForm = FForm;
        FWrapper->ProviderData = FProvider->SkinData();
    }
}

void TsMDIForm::DetachClient() {
    TacMainWnd* w = FWrapper;
    FWrapper = nullptr;
    if (!w) return;
    if (!w->Destroyed && w->CtrlHandle && IsWindow(w->CtrlHandle)) DetachWrapper(w->CtrlHandle, true, false, w);
    delete w;
}

void TsMDIForm::RefreshFrame() { FProvider->RefreshFrame(); }

void RefreshMDIMainFrame() {
    TsSkinProvider* p = MDIMainProvider;
    if (!p || !p->Form() || (p->Form()->ComponentState() & csDestroying)) return;
    TsCommonData* d = p->SkinData();
    d->BeginUpdateCycle();
    if (TsMDIForm* m = p->MDIForm()) m->RefreshFrame();
    p->InvalidateCache();
    p->ResetMenuLine();
    d->EndUpdateCycle();
    if (HWND c = p->Form()->ClientHandle()) RedrawWindow(c, nullptr, nullptr, 0x507);
    if (p->Form()->HandleAllocated())
        RedrawWindow(p->Form()->HandleIfAllocated(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void ShowMDIIcons(TsSkinProvider* Main) {
    if (!Main || !Main->Form() || !Main->Form()->HandleAllocated()) return;
    if (!g_MDIIcons) {
        g_MDIIcons = new TForm(Application);
        g_MDIIcons->SetTag(ExceptTag);
        g_MDIIcons->SetName("acMDIIcons");
        g_MDIIcons->SetBorderStyle(bsNone);
        g_MDIIcons->OnPaint = TNotifyEvent::Fn(nullptr, &PaintMDIIcons);
    }
    g_MDIIconsMain = Main;
    RECT r{};
    GetWindowRect(Main->Form()->HandleIfAllocated(), &r);
    SetWindowPos(g_MDIIcons->Handle(), HWND_TOP, r.right - kIconsWidth, r.top + Main->CaptionHeight(), kIconsWidth,
                 SystemMetric(SM_CYMENU) + 3, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void FreeMDIIcons() {
    TForm* f = g_MDIIcons;
    g_MDIIcons = nullptr;
    g_MDIIconsMain = nullptr;
    delete f;
}

TForm* MDIIconsForm() { return g_MDIIcons; }
