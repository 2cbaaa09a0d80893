#include "sCommonData.h"

#include <algorithm>
#include <vector>

#include "Forms.h"
#include "Guards.h"
#include "Themes.h"
#include "StdCtrls.h"
#include "acGlow.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sDefaultSections.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinnedForms.h"

namespace {

// Every live skin state, so that a manager going away can be forgotten by
// all that held it.
std::vector<TsCommonData*>& LiveStates() {
    static std::vector<TsCommonData*> list;
    return list;
}

bool Destroying(const TPersistent* P) {
    auto* c = dynamic_cast<const TComponent*>(P);
    return c && (c->ComponentState() & csDestroying);
}

bool Designing(const TPersistent* P) {
    auto* c = dynamic_cast<const TComponent*>(P);
    return c && (c->ComponentState() & csDesigning);
}

TWinControl* Windowed(TControl* C) { return dynamic_cast<TWinControl*>(C); }

// The form provider that owns a skin state, or nil.
TacFormProvider* OwnerProvider(TPersistent* Owner) { return dynamic_cast<TacFormProvider*>(Owner); }

// Answer of a control's parent to a command (0 when there is no parent).
LRESULT AskParent(TControl* C, uint16_t Command, LPARAM L = 0) {
    if (!C || !C->Parent()) return 0;
    return SendAlphaCommand(C->Parent(), Command, 0, L);
}

// Whether a control answers the engine message at all: one that does not
// (a plain form) answers 0 to everything, which must not read as black.
bool SpeaksEngine(TControl* C) { return SendAlphaCommand(C, scIsSkinned) == 1; }

AnsiString OwnDefaultSection(const TsCommonData* D) {
    return DefaultSectionName(D->ControlTypeCode, D->OwnerObject ? D->OwnerObject->ClassName() : "");
}

}  // namespace

LRESULT SendAlphaCommand(TControl* Control, uint16_t Command, uint16_t Argument, LPARAM LParam) {
    if (!Control || (Control->ComponentState() & csDestroying)) return 0;
    const WPARAM w = WPARAM(SkinWParam(Command, Argument));
    if (auto* wc = Windowed(Control); wc && wc->HandleAllocated())
        return SendMessageW(wc->HandleIfAllocated(), SM_ALPHACMD, w, LParam);
    return Control->Perform(SM_ALPHACMD, w, LParam);
}

TsCommonData::TsCommonData(TPersistent* AOwner, bool CreateCacheBmp) {
    OwnerObject = AOwner;
    OwnerControl = dynamic_cast<TControl*>(AOwner);
    if (CreateCacheBmp) CacheBitmap = CreateBitmap24(0, 0);
    LiveStates().push_back(this);
}

TsCommonData::~TsCommonData() {
    auto& l = LiveStates();
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    SkinSectionNo = BorderMaskNo = PatternNo = HotPatternNo = -1;
    OwnManager = nullptr;
    OwnerControl = nullptr;
    OwnerObject = nullptr;
    delete CacheBitmap;
    CacheBitmap = nullptr;
    if (GlowHandle != -1) StopGlowEffect(GlowHandle);
    GlowHandle = -1;
}

void TsCommonData::ForgetManager(TsSkinManager* M) {
    for (TsCommonData* d : LiveStates())
        if (d->OwnManager == M) {
            d->OwnManager = nullptr;
            d->SkinSectionNo = d->BorderMaskNo = d->PatternNo = d->HotPatternNo = -1;
        }
}

TsSkinManager* TsCommonData::SkinManager() const { return OwnManager ? OwnManager : DefaultSkinManager; }

const TsGeneralData* TsCommonData::Section() const {
    TsSkinManager* m = SkinManager();
    if (!m || !m->IsValidSectionIndex(SkinSectionNo)) return nullptr;
    return &m->gd()[size_t(SkinSectionNo)];
}

TsSection TsCommonData::Resolved() const {
    TsSkinManager* m = SkinManager();
    return m ? m->SectionAt(SkinSectionNo) : TsSection{};
}

bool TsCommonData::OwnerBusy() const {
    return OwnerControl && (OwnerControl->ComponentState() & (csLoading | csReading | csDestroying));
}

void TsCommonData::TellOwner(uint16_t Command, TsSkinManager* M) {
    if (!OwnerControl || !OwnerControl->Parent() || (OwnerControl->ComponentState() & csDestroying)) return;
    try {
        OwnerControl->Perform(SM_ALPHACMD, WPARAM(SkinWParam(Command)), LPARAM(M));
    } catch (...) {
        // The owner's own handling of the change may fail; the change stands.
    }
}

void TsCommonData::WriteSkinManager(TsSkinManager* M) {
    if (M == OwnManager) return;
    OwnManager = M == DefaultSkinManager ? nullptr : M;
    if (OwnerControl && (OwnerControl->ComponentState() & csLoading)) return;
    if (M && !M->gd().empty())
        ResolveIndexes();
    else
        SkinSectionNo = -1;
    const bool skinned = M && !M->gd().empty() && M->IsValidSectionIndex(SkinSectionNo);
    if (OwnerControl) {
        TellOwner(skinned ? scRefresh : scRemoveSkin, M);
        return;
    }
    // A form's provider takes its new manager's skin as that manager's
    // broadcasts would give it, or gives up the old one.
    TacFormProvider* p = OwnerProvider(OwnerObject);
    TForm* f = p ? p->ProviderForm() : nullptr;
    if (!f || !f->HandleAllocated() || (f->ComponentState() & csDestroying)) return;
    const HWND h = f->HandleIfAllocated();
    // Nil gives the form to the default manager.
    TsSkinManager* now = SkinManager();
    const LPARAM m = LPARAM(now);
    if (now && !now->gd().empty()) ResolveIndexes();
    if (now && !now->gd().empty() && now->IsValidSectionIndex(SkinSectionNo)) {
        SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scNewSkin)), m);
        SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scRefresh)), m);
    } else {
        SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scRemoveSkin)), m);
    }
}

void TsCommonData::SetSkinSection(const AnsiString& Value) {
    if (Value == FSkinSection) return;
    FSkinSection = Value.empty() ? AnsiString("UNKNOWN") : UpperCaseAscii(Value);
    TsSkinManager* m = SkinManager();
    if (!m || m->gd().empty())
        SkinSectionNo = -1;
    else
        ResolveIndexes();
    if (OwnerControl && !OwnerBusy() && OwnerControl->Parent()) {
        const bool skinned = m && !m->gd().empty() && m->IsValidSectionIndex(SkinSectionNo);
        OwnerControl->Perform(SM_ALPHACMD, WPARAM(SkinWParam(skinned ? scRefresh : scRemoveSkin)), LPARAM(m));
    } else if (TacFormProvider* p = OwnerProvider(OwnerObject)) {
        BackgroundDirty = true;
        p->SectionChanged();
    }
}

void TsCommonData::SetCustomColor(bool Value) {
    if (FCustomColor == Value) return;
    FCustomColor = Value;
    auto* edit = dynamic_cast<TCustomEdit*>(OwnerControl);
    if (edit && IsSkinned() && !OwnerBusy()) {
        const TsGeneralData* s = Section();
        if (!FCustomColor && edit->Color() != s->Color) edit->SetColor(s->Color);
        if (!FCustomFont && edit->Font()->Color() != s->FontColor[0]) edit->Font()->SetColor(s->FontColor[0]);
        Invalidate();
    }
}

void TsCommonData::SetCustomFont(bool Value) {
    if (FCustomFont == Value) return;
    FCustomFont = Value;
    Invalidate();
}

bool TsCommonData::IsSkinned(bool CheckActive) const {
    TsSkinManager* m = SkinManager();
    if (!m || SkinSectionNo < 0) return false;
    if (Destroying(OwnerObject) || (m->ComponentState() & csDestroying)) return false;
    if (CheckActive && !m->SkinData()->Active()) return false;
    return m->IsValidSectionIndex(SkinSectionNo);
}

void TsCommonData::ResolveIndexes() {
    BackgroundDirty = true;
    TsSkinManager* m = SkinManager();
    // A section the skin lacks paints from its default rather than handing
    // the window back to the system, which leaves its see-through parts bare.
    // Its images come from the section chosen, never from the missing name.
    const TsSection s = m ? m->Resolve(FSkinSection, OwnDefaultSection(this)) : TsSection{};
    SkinSectionNo = s.Index;
    UpdateFillFlags();
    OpacityBits = 0;
    if (s.Valid()) {
        BorderMaskNo = m->MaskIndexInherited(s, "BORDERSMASK");
        PatternNo = m->TextureIndex(s, "PATTERN");
        HotPatternNo = m->TextureIndex(s, "HOTPATTERN");
        UpdateOpacity(false);
    } else {
        BorderMaskNo = -1;
        PatternNo = HotPatternNo = -1;
    }
}

void TsCommonData::EnsureSection() {
    if (FSkinSection.empty())
        SetSkinSection(OwnDefaultSection(this));
    else
        ResolveIndexes();
}

void TsCommonData::ApplyLoaded() {
    EnsureSection();
    if (!IsSkinned() || !OwnerControl || !OwnerControl->Parent() || (OwnerControl->ComponentState() & csLoading))
        return;
    if (Windowed(OwnerControl)) NotifyParentForm(OwnerControl);
    if (dynamic_cast<TCustomEdit*>(OwnerControl) || ControlTypeCode == 97) {
        const TsGeneralData* s = Section();
        if (!FCustomColor && OwnerControl->Color() != s->Color) OwnerControl->SetColor(s->Color);
        if (!FCustomFont && OwnerControl->Font()->Color() != s->FontColor[0])
            OwnerControl->Font()->SetColor(s->FontColor[0]);
    }
}

bool TsCommonData::IsUpdating() const {
    TsSkinManager* m = SkinManager();
    if (!m || (m->ComponentState() & csDesigning)) return false;
    if (!NeedsRepaint()) return UpdatingFlag;
    if (!OwnerControl || (OwnerControl->ComponentState() & csDestroying)) return UpdatingFlag;
    if (!UpdatingFlag && OwnerControl->Parent()) return AskParent(OwnerControl, scQueryUpdating) != 0;
    return true;
}

namespace {
// Commands 31 and 32: to the owner control, or to a provider's form window.
void SendUpdateCommand(TsCommonData* D, uint16_t Command) {
    if (D->OwnerControl) {
        D->OwnerControl->Perform(SM_ALPHACMD, WPARAM(SkinWParam(Command)), 0);
    } else if (TacFormProvider* p = OwnerProvider(D->OwnerObject)) {
        TForm* f = p->ProviderForm();
        if (f && f->HandleAllocated()) SendMessageW(f->HandleIfAllocated(), SM_ALPHACMD, WPARAM(SkinWParam(Command)), 0);
    }
}
}  // namespace

void TsCommonData::BeginUpdateCycle() {
    UpdatingFlag = true;
    SendUpdateCommand(this, scBeginUpdate);
}

void TsCommonData::EndUpdateCycle() {
    UpdatingFlag = false;
    SendUpdateCommand(this, scEndUpdate);
}

void TsCommonData::Invalidate() {
    if (!OwnerControl || OwnerBusy()) return;
    BackgroundDirty = true;
    if (ControlIsReady(OwnerControl)) OwnerControl->Invalidate();
}

void TsCommonData::PrepareCacheBitmap() {
    if (!CacheBitmap) CacheBitmap = CreateBitmap24(0, 0);
    if (CacheBitmap->PixelFormat() != pf24bit) CacheBitmap->SetPixelFormat(pf24bit);
    if (CacheBitmap->HandleType() != bmDIB) CacheBitmap->SetHandleType(bmDIB);
    if (OwnerControl) CacheBitmap->SetSize(OwnerControl->Width(), OwnerControl->Height());
}

void InitCacheBitmap(TsCommonData* Data) {
    if (Data) Data->PrepareCacheBitmap();
}

int TsCommonData::MaxMargin() const {
    TsSkinManager* m = SkinManager();
    if (!m || !m->IsValidMaskIndex(BorderMaskNo)) return 0;
    const TsMaskData& b = m->ma()[size_t(BorderMaskNo)];
    if (b.StretchMode & 2) return 0;
    return std::max({int(b.WL), int(b.WT), int(b.WR), int(b.WB)});
}

bool TsCommonData::HasTransparency() const {
    const TsGeneralData* s = Section();
    return s && s->Transparency > 0;
}

void TsCommonData::UpdateFillFlags() {
    FillKind = 0;
    const TsGeneralData* s = Section();
    if (!s) return;
    if (s->ImagePercent != 0) FillKind |= 4;
    if (s->GradientPercent != 0 && !s->GradientBands.empty()) {
        switch (s->GradientBands[0].BandMode) {
        case 0: FillKind += 2; break;
        case 1: FillKind += 1; break;
        case 2: FillKind += 3; break;
        default: break;
        }
    }
}

bool TsCommonData::IsComplexBackground() const {
    const TsGeneralData* s = Section();
    if (!s) return false;
    TsSkinManager* m = SkinManager();
    if (m->IsValidMaskIndex(BorderMaskNo)) {
        const TsMaskData& b = m->ma()[size_t(BorderMaskNo)];
        if (b.WL + b.WR > 30 || b.WT + b.WB > 30) return true;
    }
    const int t = s->Transparency;
    if (t > 0 && t < 100) return true;
    if (t == 100) {
        if (!OwnerControl || !OwnerControl->Parent()) return true;
        return (AskParent(OwnerControl, scOpacity, 0) & 1) == 0;
    }
    return s->ImagePercent > 0 || s->GradientPercent > 0;
}

void TsCommonData::UpdateOpacity(bool Recurse) {
    OpacityBits &= ~uint16_t(1);
    if (dynamic_cast<TPanel*>(OwnerControl) || dynamic_cast<TScrollingWinControl*>(OwnerControl) ||
        OwnerProvider(OwnerObject))
        if (!IsComplexBackground()) OpacityBits |= 1;
    if (Recurse)
        if (auto* w = Windowed(OwnerControl))
            for (int i = 0; i < w->ControlCount(); ++i) SendAlphaCommand(w->Controls(i), scOpacity, 0, 1);
}

bool TsCommonData::NeedsRepaint() const {
    return FadeInProgress || (OpacityBits & 1) == 0 || IsActiveState();
}

bool TsCommonData::IsActiveState() const {
    if (!OwnerControl || (OwnerControl->ComponentState() & (csDestroying | csDesigning)) || !OwnerControl->Enabled())
        return false;
    if (FocusFlag) return true;
    if (auto* w = Windowed(OwnerControl); w && w->Focused()) return true;
    return HoverFlag && !IsNoHoverCode(ControlTypeCode);
}

bool TsCommonData::NeedsParentRepaint() const {
    if (HaltFlag || !IsSkinned()) return true;
    if (!OwnerControl || (OwnerControl->ControlState() & csCreating) || !OwnerControl->Visible()) return true;
    TsSkinManager* m = SkinManager();
    if (SkinSectionNo >= int(m->gd().size())) return false;
    const bool r = !OwnerControl->Enabled() || m->gd()[size_t(SkinSectionNo)].Transparency > 0;
    auto* p = OwnerControl->Parent();
    if (r && p && p->HandleAllocated()) return AskParent(OwnerControl, scQueryComplexBackground) != 0;
    return r;
}

TColor TsCommonData::BackgroundColor(int State, HWND Handle) const {
    if (IsSkinned() && !FCustomColor) {
        const TsGeneralData* s = Section();
        const int t = s->StateTransparency(State);
        const TColor c = s->StateColor(State);
        auto parentColor = [&]() -> TColor {
            if (OwnerControl && OwnerControl->Parent()) return ControlBackgroundColor(OwnerControl->Parent());
            if (const HWND p = Handle ? GetParent(Handle) : nullptr) {
                if (TWinControl* pc = FindControl(p)) return ControlBackgroundColor(pc);
                // A foreign parent is asked when it is skinned; key colour means it has none.
                if (AnswersEngineCommand(p, scIsSkinned))
                    if (const TColor pc = WindowBackgroundColor(p); pc != TransparentKeyColor) return pc;
            }
            return ColorToRGB(clBtnFace);
        };
        if (t == 100) return parentColor();
        // Without an owner control too: black would show through a wrapped window.
        if (t > 0 && t < 100) return BlendColors(c, parentColor(), t / 100.0);
        return c;
    }
    if (OwnerControl) return OwnerControl->Color();
    if (TacFormProvider* p = OwnerProvider(OwnerObject); p && p->ProviderForm()) return p->ProviderForm()->Color();
    return clBtnFace;
}

void TsCommonData::FillBackgroundInfo(BackgroundInfo& Info, int State, HWND Handle) {
    if (!IsSkinned() || FCustomColor) {
        if (OwnerControl) {
            Info.BgType = 1;
            Info.Color = ColorToRGB(OwnerControl->Color());
        }
        return;
    }
    const TsGeneralData* s = Section();
    const int t = s->StateTransparency(State), g = s->StateGradientPercent(State), i = s->StateImagePercent(State);
    TsSkinManager* m = SkinManager();
    if (t == 0 && g <= 0 && i <= 0) {
        Info.BgType = 1;
        Info.Bmp = CacheBitmap;
        Info.Color = ColorToRGB(BackgroundColor(State, Handle));
        if (Info.PleaseDraw && Info.DrawDC) FillRectOnDC(Info.DrawDC, Info.R, Info.Color);
        return;
    }
    bool thin = true;
    if (m->IsValidMaskIndex(BorderMaskNo)) {
        const TsMaskData& b = m->ma()[size_t(BorderMaskNo)];
        thin = b.WL + b.WR <= 24 && b.WT + b.WB < 25;
    }
    if (t == 100 && thin) {
        if (OwnerControl && OwnerControl->Parent()) {
            QueryControlBackground(Info, OwnerControl->Parent(), Info.PleaseDraw);
            if (Info.BgType == 2) {
                Info.X += OwnerControl->Left();
                Info.Y += OwnerControl->Top();
            }
        } else if (Handle && GetParent(Handle)) {
            QueryParentBackground(Info, GetParent(Handle), Info.PleaseDraw);
        } else {
            Info.BgType = 1;
            Info.Color = DefaultSkinManager ? DefaultSkinManager->GlobalColor() : ColorToRGB(clBtnFace);
        }
        return;
    }
    if (!CacheBitmap) {
        Info.BgType = 1;
        if (t == 100)
            Info.Color = OwnerControl && OwnerControl->Parent() ? ControlBackgroundColor(OwnerControl->Parent())
                         : DefaultSkinManager                 ? DefaultSkinManager->GlobalColor()
                                                              : ColorToRGB(clBtnFace);
        else
            Info.Color = TransparentKeyColor;
        return;
    }
    Info.BgType = 2;
    if (Info.PleaseDraw && Info.DrawDC) {
        HDC src = CacheBitmap->Canvas()->Handle();
        BitBlt(Info.DrawDC, Info.R.Left, Info.R.Top, Info.R.Width(), Info.R.Height(), src, Info.X, Info.Y, SRCCOPY);
    } else {
        Info.Bmp = CacheBitmap;
        Info.X = 0;
        Info.Y = 0;
    }
}

CacheInfo TsCommonData::ParentBackgroundInfo() const {
    if (IsSkinned() && OwnerControl && OwnerControl->Parent()) {
        BackgroundInfo b;
        b.X = OwnerControl->Left();
        b.Y = OwnerControl->Top();
        QueryControlBackground(b, OwnerControl->Parent(), false);
        CacheInfo c;
        BackgroundToCacheInfo(b, c);
        return c;
    }
    CacheInfo c;
    c.Color = BackgroundColor();
    return c;
}

CacheInfo WindowParentBackgroundInfo(HWND Handle) {
    CacheInfo c;
    HWND p = Handle ? GetParent(Handle) : nullptr;
    if (!p) return c;
    BackgroundInfo b;
    RECT wr{}, pr{};
    GetWindowRect(Handle, &wr);
    GetWindowRect(p, &pr);
    b.X = wr.left - pr.left;
    b.Y = wr.top - pr.top;
    QueryParentBackground(b, p, false);
    BackgroundToCacheInfo(b, c);
    return c;
}

int FindFontSectionIndex(TControl* Control, int Default, TsSkinManager* Manager) {
    for (TControl* c = Control; c; c = c->Parent()) {
        const int i = int(AskParent(c, scQuerySkinIndex)) - 1;
        if (i < 0 || !Manager || !Manager->IsValidSectionIndex(i)) return Default;
        const TsGeneralData& s = Manager->gd()[size_t(i)];
        if (s.Transparency > 50) continue;
        return s.GiveOwnFont ? i : Default;
    }
    return Default;
}

// Only commands 7, 10, 11, 19, 21, 26 and 36 are reported handled: the others
// do their work here and still reach the owner's inherited handling.
bool TsCommonData::HandleEngineCommand(TMessage& M) {
    if (M.Msg != SM_ALPHACMD) return false;
    const uint16_t cmd = SkinCommandOf(M.WParam);
    const uint16_t arg = SkinArgumentOf(M.WParam);
    TsSkinManager* own = SkinManager();
    M.Result = 0;
    switch (cmd) {
    case scNewSkin:
        if (LPARAM(own) != M.LParam) return false;
        ResolveIndexes();
        UpdateOpacity(false);
        SkinBroadcasting = false;
        return false;
    case scRemoveSkin:
        if (LPARAM(own) != M.LParam) return false;
        if (own && (own->ComponentState() & csDestroying) && OwnManager == own) OwnManager = nullptr;
        SkinSectionNo = BorderMaskNo = PatternNo = HotPatternNo = -1;
        UpdatingFlag = true;
        if (CacheBitmap) CacheBitmap->SetSize(0, 0);
        if (auto* e = dynamic_cast<TCustomEdit*>(OwnerControl)) {
            if (!FCustomColor) e->SetColor(clWindow);
            if (!FCustomFont) e->Font()->SetColor(clWindowText);
        }
        return false;
    case scRefresh:
        if (LPARAM(own) != M.LParam) return false;
        BackgroundDirty = true;
        UpdatingFlag = false;
        if (IsSkinned()) {
            if (auto* e = dynamic_cast<TCustomEdit*>(OwnerControl)) {
                const TsGeneralData* s = Section();
                if (!FCustomColor) e->SetColor(s->Color);
                if (!FCustomFont) e->Font()->SetColor(s->FontColor[0]);
            }
            if (Windowed(OwnerControl)) NotifyParentForm(OwnerControl);
        }
        UpdateOpacity(false);
        return false;
    case scIsSkinned: M.Result = 1; return true;
    case scSetUpdating: UpdatingFlag = arg == 1; return false;
    case scSetHalt: HaltFlag = arg == 1; return false;
    case scQueryUpdating: M.Result = (BackgroundDirty || UpdatingFlag) ? 1 : 0; return true;
    case scQueryReady: M.Result = ReadyFlag ? 1 : 0; return true;
    case scTransparentChanged:
        if (arg == 1 && HasTransparency()) BackgroundDirty = true;
        return false;
    case scSetLinkObject: LinkedObject = reinterpret_cast<TObject*>(M.LParam); return false;
    case scBackgroundChanged: BackgroundDirty = true; return false;
    case scQueryComplexBackground: {
        if (!IsSkinned()) return false;
        const TsGeneralData* s = Section();
        if (s->Transparency == 100 && OwnerControl && OwnerControl->Parent()) {
            M.Result = OwnerControl->Parent()->HandleAllocated() ? AskParent(OwnerControl, scQueryComplexBackground) : 0;
        } else {
            M.Result = (s->GradientPercent + s->ImagePercent > 0 || NeedsParentRepaint()) ? 1 : 0;
        }
        return true;
    }
    case scBackgroundChangedAll: {
        const bool r = NeedsParentRepaint();
        BackgroundDirty = BackgroundDirty || r;
        if (auto* w = Windowed(OwnerControl)) {
            if (arg == 1 && w->HandleAllocated())
                RedrawWindow(w->HandleIfAllocated(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
            if (r)
                for (int i = 0; i < w->ControlCount(); ++i) SendAlphaCommand(w->Controls(i), scBackgroundChangedAll, 0);
        }
        return false;
    }
    case scQueryColor: {
        if (!OwnerControl) return false;
        if (!IsSkinned()) {
            M.Result = ColorToRGB(OwnerControl->Color());
            return true;
        }
        const TsGeneralData* s = Section();
        const int t = s->Transparency;
        TWinControl* p = OwnerControl->Parent();
        auto parentAnswer = [&]() -> TColor {
            if (!p) return ColorToRGB(OwnerControl->Color());
            if (!SpeaksEngine(p)) return ColorToRGB(p->Color());
            TColor c = TColor(SendAlphaCommand(p, scQueryColor));
            return c == TransparentKeyColor ? ColorToRGB(p->Color()) : c;
        };
        if (t <= 0) {
            M.Result = s->Color;
        } else if (t >= 100) {
            M.Result = parentAnswer();
        } else {
            const TColor pc = parentAnswer(), cc = s->Color;
            TColor out = 0;
            for (int sh = 0; sh <= 16; sh += 8) {
                const int pv = (pc >> sh) & 0xFF, cv = (cc >> sh) & 0xFF;
                out |= std::clamp((t * (pv - cv) + cv * 256) >> 8, 0, 255) << sh;
            }
            M.Result = out;
        }
        return true;
    }
    case scSetReady: ReadyFlag = true; return false;
    case scQuerySkinIndex: M.Result = SkinSectionNo + 1; return true;
    case scGetBackground:
        if (M.LParam) FillBackgroundInfo(*reinterpret_cast<BackgroundInfo*>(M.LParam));
        return false;
    case scOpacity:
        if (M.LParam == 1)
            UpdateOpacity(true);
        else
            M.Result = OpacityBits;
        return true;
    case scSectionChanged:
        if (UpperCaseAscii(FSkinSection) == ChangedSectionName) {
            SkinBroadcasting = false;
            Invalidate();
        }
        return false;
    default: return false;
    }
}

bool TsCommonData::HandleControlMessage(TMessage& M) {
    if (M.Msg == SM_ALPHACMD) return HandleEngineCommand(M);
    TWinControl* w = Windowed(OwnerControl);
    switch (M.Msg) {
    case WM_MOVE:
        if (NeedsParentRepaint()) {
            BackgroundDirty = true;
            if (OwnerControl) OwnerControl->Perform(SM_ALPHACMD, WPARAM(SkinWParam(scBackgroundChangedAll, 1)), 0);
        }
        break;
    case WM_SIZE:
        if (IsSkinned()) {
            BackgroundDirty = true;
            const TsGeneralData* s = Section();
            // Children anchored right or bottom move or grow with the owner
            // and refresh their background by that change themselves.
            const TAnchors moving = AnchorBit(akRight) | AnchorBit(akBottom);
            if (w && s->GradientPercent >= 1)
                for (int i = 0; i < w->ControlCount(); ++i) {
                    TControl* c = w->Controls(i);
                    if (!(c->ComponentState() & csDestroying) && !(c->Anchors() & moving))
                        SendAlphaCommand(c, scBackgroundChangedAll, 1);
                }
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (w && w->CanFocus() && w->TabStop()) {
            BackgroundDirty = true;
            FocusFlag = M.Msg == WM_SETFOCUS;
        }
        break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
        HoverFlag = false;
        FocusFlag = false;
        break;
    case WM_UPDATEUISTATE:
        if (IsSkinned()) return true;
        if (w && w->HandleAllocated() && ThemeServicesEnabled()) ResetWindowTheme(w->HandleIfAllocated());
        break;
    case WM_PARENTNOTIFY:
        if (w && LOWORD(M.WParam) == WM_CREATE) NotifyParentForm(w);
        break;
    case CM_VISIBLECHANGED:
        if (CacheBitmap) {
            if (M.WParam) {
                UpdatingFlag = false;
                BackgroundDirty = true;
            } else {
                CacheBitmap->SetSize(0, 0);
            }
        }
        break;
    case CM_MOUSEENTER:
        if (!Designing(OwnerObject)) {
            if (!IsNoHoverCode(ControlTypeCode)) HoverFlag = true;
            if (w && w->HandleAllocated() && DefaultSkinManager) DefaultSkinManager->SetHotWindow(w->HandleIfAllocated());
        }
        break;
    case CM_MOUSELEAVE:
        if (!Designing(OwnerObject) && !IsNoHoverCode(ControlTypeCode)) HoverFlag = false;
        break;
    default: break;
    }
    return false;
}

namespace {

bool Overlaps(const RECT& A, const TRect& B) {
    return A.left < B.Right && B.Left < A.right && A.top < B.Bottom && B.Top < A.bottom;
}

void CopyCache(TsCommonData* Data, const TRect& SourceRect, HDC DC, const TRect& TargetRect) {
    HDC src = Data->CacheBitmap->Canvas()->Handle();
    BitBlt(DC, TargetRect.Left, TargetRect.Top, TargetRect.Width(), TargetRect.Height(), src, SourceRect.Left,
           SourceRect.Top, SRCCOPY);
}

}  // namespace

void PaintChildControls(TWinControl* Control, TsCommonData* Data, const TRect& SourceRect, int OffsetY,
                        int OffsetX, bool Repair, HDC DC, const TRect& TargetRect) {
    if (!Data || !Data->CacheBitmap || !Control) return;
    if (Repair) RepairAllCorners(Data, 0);
    SavedDC saved(DC);
    IntersectClipRect(DC, TargetRect.Left, TargetRect.Top, TargetRect.Right, TargetRect.Bottom);
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        if (!c->Visible()) continue;
        const RECT r{c->Left() + OffsetX, c->Top() + OffsetY, c->Left() + c->Width() + OffsetX,
                     c->Top() + c->Height() + OffsetY};
        if (!Overlaps(r, TargetRect)) continue;
        if (dynamic_cast<TGraphicControl*>(c) || (c->ControlStyle() & csOpaque) ||
            (c->ComponentState() & csDesigning))
            ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
    }
    CopyCache(Data, SourceRect, DC, TargetRect);
}

void PaintChildWindows(HWND Wnd, TsCommonData* Data, const TRect& SourceRect, int OffsetY, int OffsetX, bool Repair,
                       HDC DC, const TRect& TargetRect) {
    if (!Data || !Data->CacheBitmap || !Wnd) return;
    if (Repair) RepairAllCorners(Data, 0);
    SavedDC saved(DC);
    IntersectClipRect(DC, TargetRect.Left, TargetRect.Top, TargetRect.Right, TargetRect.Bottom);
    RECT parent{};
    GetWindowRect(Wnd, &parent);
    for (HWND child = GetTopWindow(Wnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT w{};
        GetWindowRect(child, &w);
        const RECT r{w.left - parent.left + OffsetX, w.top - parent.top + OffsetY, w.right - parent.left + OffsetX,
                     w.bottom - parent.top + OffsetY};
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const LONG ex = GetWindowLongW(child, GWL_EXSTYLE);
        const bool groupFrame = (style & 7) == 7 && !(ex & WS_EX_CLIENTEDGE);
        TsSkinManager* m = DefaultSkinManager;
        if (groupFrame && m) {
            const int top = int(SendMessageW(child, SM_ALPHACMD, WPARAM(SkinWParam(scQueryManager)), 0));
            const int mask = m->MaskIndexInherited(m->Resolve({"GROUPBOX"}), "BORDERSMASK");
            const int l = m->MaskMarginLeft(mask), rt = m->MaskMarginRight(mask), b = m->MaskMarginBottom(mask);
            ExcludeClipRect(DC, r.left, r.top, r.right, r.top + top);
            ExcludeClipRect(DC, r.left, r.top, r.left + l, r.bottom);
            ExcludeClipRect(DC, r.right - rt, r.top, r.right, r.bottom);
            ExcludeClipRect(DC, r.left, r.bottom - b, r.right, r.bottom);
        } else {
            ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
        }
    }
    CopyCache(Data, SourceRect, DC, TargetRect);
}
