// The provider's life cycle, its published properties, the WindowProc swap
// and give-back, the skin's arrival and removal, and the form's own system
// menu.
#include "sSkinProvider.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "Frames.h"
#include "Guards.h"
#include "Text1251.h"
#include "TypeInfo.h"
#include "acGlow.h"
#include "acMsgBox.h"
#include "acSBUtils.h"
#include "sControlUtils.h"
#include "sFrameAdapter.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sSkinManager.h"

TsSkinProvider* MDIMainProvider = nullptr;
TsSkinProvider* MenuLineChildProvider = nullptr;
bool acCaptionButtonPressed = false;
bool acMDIChildMaximizing = false;
bool acShowAnimationRunning = false;

// ---------------------------------------------------------------- the WindowProc relay

// What the form's WindowProc points at while a provider skins it: the
// provider, and what it replaced. A provider that cannot give the WindowProc
// back (someone swapped it after us) leaves its relay behind as a pass-through
// to what it replaced, so the chain never calls a freed provider; a relay in
// use by a running call is freed by that call.
struct TacProviderRelay {
    TsSkinProvider* Provider = nullptr;
    TWndMethod Prev;
    int Depth = 0;
    bool Released = false;

    TWndMethod AsMethod() { return TWndMethod::Fn(this, &Call); }

    static void Call(void* Context, TMessage& M) {
        auto* r = static_cast<TacProviderRelay*>(Context);
        ++r->Depth;
        try {
            if (TsSkinProvider* p = r->Provider)
                p->NewWndProc(M);
            else if (r->Prev)
                r->Prev(M);
        } catch (const std::exception& e) {
            Report(r, e);
        } catch (...) {
            Report(r, Exception("Unknown exception"));
        }
        --r->Depth;
        if (r->Released && r->Depth == 0) delete r;
    }

    static void Report(TacProviderRelay* R, const std::exception& E) {
        try {
            HandleControlException(R->Provider, E);
        } catch (...) {
        }
    }
};

namespace {

// Pass-throughs left behind in someone else's chain live as long as the program.
std::vector<TacProviderRelay*> g_OrphanRelays;

TWinControl* FormOfProvider(TPersistent* Owner) {
    auto* p = dynamic_cast<TsSkinProvider*>(Owner);
    return p ? p->Form() : nullptr;
}

bool Designing(const TComponent* C) { return C && (C->ComponentState() & csDesigning); }

}  // namespace

bool TsSkinProvider::CallPrev(TMessage& M) {
    TacProviderRelay* r = FRelay;
    if (r && r->Prev)
        r->Prev(M);
    else if (FForm && FForm->HandleAllocated())
        M.Result = DefWindowProcW(FForm->HandleIfAllocated(), M.Msg, M.WParam, M.LParam);
    // The form (and this provider with it) may have gone while the message ran.
    return r && r->Provider == this;
}

TsSkinProvider* GetFormProvider(TForm* Form) {
    return dynamic_cast<TsSkinProvider*>(FormProvider(Form));
}

// ---------------------------------------------------------------- title icon and buttons

TsTitleIcon::TsTitleIcon() : FGlyph(new TBitmap) {}

TsTitleButton::TsTitleButton(TCollection* ACollection) : TCollectionItem(ACollection), FGlyph(new TBitmap) {}

void TsTitleButton::SetName(const AnsiString& Value) {
    if (FName == Value) return;
    FName = Value;
    Changed();
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* AOwner)
    : TCollection([](TCollection* c) -> TCollectionItem* { return new TsTitleButton(c); }, "TsTitleButton", AOwner),
      FOwner(AOwner) {}

void TsTitleButtons::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TsTitleButtons*>(Source);
    if (!src) {
        TCollection::Assign(Source);
        return;
    }
    if (src == this) return;
    Clear();
    for (int i = 0; i < src->Count(); ++i) {
        const TsTitleButton* s = src->Items(i);
        TsTitleButton* d = Add();
        d->SetEnabled(s->Enabled());
        d->SetGlyph(s->Glyph());
        d->SetName(s->Name());
        d->SetUseSkinData(s->UseSkinData());
        d->OnMouseDown = s->OnMouseDown;
        d->OnMouseUp = s->OnMouseUp;
    }
}

// ---------------------------------------------------------------- system menu

namespace {
TacSysMenuBase::TItemNames kFormItemNames = {"ItemRestore", "ItemMove",     "ItemSize",
                                             "ItemMinimize", "ItemMaximize", "ItemClose"};
constexpr const char* kSkinSelectName = "SkinSelectItem";
// Skins a column of the selection sub-menu.
constexpr int kSkinsPerColumn = 20;
}  // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider* AProvider, TForm* AForm)
    : TacSysMenuBase(nullptr, kFormItemNames), FOwner(AProvider), FForm(AForm) {
    SetName("SysMenu");
}

bool TsSystemMenu::Owned() const { return FOwner && FOwner->SysMenuOwned(); }

bool TsSystemMenu::BigStyle() const {
    return FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
}

namespace {
bool Iconic(TForm* F) { return F && F->HandleAllocated() && IsIconic(F->HandleIfAllocated()); }
bool Zoomed(TForm* F) { return F && F->HandleAllocated() && IsZoomed(F->HandleIfAllocated()); }
bool HasIcon(TForm* F, TBorderIcon I) { return F && (F->BorderIcons() & BorderIconBit(I)); }
}  // namespace

bool TsSystemMenu::MDIChild() const { return FForm && FForm->FormStyle() == fsMDIChild; }

bool TsSystemMenu::CloseVisible() const { return Owned(); }
bool TsSystemMenu::MaximizeVisible() const {
    return Owned() && (Iconic(FForm) || MDIChild() || (BigStyle() && HasIcon(FForm, biMaximize)));
}
bool TsSystemMenu::MinimizeVisible() const {
    return Owned() && (Iconic(FForm) || MDIChild() || (BigStyle() && HasIcon(FForm, biMinimize)));
}
bool TsSystemMenu::RestoreVisible() const { return Owned() && (MDIChild() || BigStyle()); }
bool TsSystemMenu::SizeVisible() const {
    return MDIChild() || (FForm && FForm->BorderStyle() != bsNone && FForm->BorderStyle() != bsDialog &&
           FForm->BorderStyle() != bsToolWindow);
}
bool TsSystemMenu::MaximizeEnabled() const {
    return HasIcon(FForm, biMaximize) && (MDIChild() || (!Zoomed(FForm) && BigStyle()));
}
bool TsSystemMenu::MinimizeEnabled() const { return HasIcon(FForm, biMinimize) && !Iconic(FForm); }
bool TsSystemMenu::MoveEnabled() const { return !Zoomed(FForm); }
bool TsSystemMenu::RestoreEnabled() const {
    // The window's own state: the class library's WindowState does not follow
    // a maximise done by the system.
    return (HasIcon(FForm, biMaximize) && Zoomed(FForm)) || Iconic(FForm);
}
bool TsSystemMenu::SizeEnabled() const { return FForm && FForm->BorderStyle() != bsSingle && !Iconic(FForm); }

void TsSystemMenu::UpdateItems() {
    if (!FForm) return;
    const bool visible[smCount] = {RestoreVisible(), true, SizeVisible(), MinimizeVisible(), MaximizeVisible(),
                                   CloseVisible()};
    const bool enabled[smCount] = {RestoreEnabled(), MoveEnabled(), SizeEnabled(), MinimizeEnabled(),
                                   MaximizeEnabled(), true};
    SetItemStates(visible, enabled);
}

HWND TsSystemMenu::Target() const { return FForm ? FForm->HandleIfAllocated() : nullptr; }

TsSkinManager* TsSystemMenu::WindowManager() const { return FOwner ? FOwner->SkinData()->SkinManager() : nullptr; }

void TsSystemMenu::DoCommand(UINT Command) {
    FAppMinimized = false;
    if (Command == SC_MINIMIZE && Application && FForm && Application->MainForm() == FForm) {
        // The main form takes the whole program down with it.
        FAppMinimized = true;
        Application->Minimize();
        return;
    }
    Send(Command);
}

void TsSystemMenu::CommandDone(UINT Command) {
    if (Command == SC_RESTORE || Command == SC_MAXIMIZE || (Command == SC_MINIMIZE && FAppMinimized)) UpdateItems();
}

void TsSystemMenu::MakeSkinItems() {
    TMenuItem* top = Items();
    // The item of the last showing goes with its sub-items and its separator.
    if (top->Count() > 0 && top->Items(0)->Name() == kSkinSelectName) {
        delete top->Items(0);
        if (top->Count() > 0 && top->Items(0)->IsLine()) delete top->Items(0);
    }
    TsSkinManager* m = FOwner ? FOwner->SkinData()->SkinManager() : nullptr;
    if (!m || !FOwner->MakeSkinMenu()) return;
    TStringList names;
    m->ListSkinNames(&names, 2);
    if (names.Count() == 0) return;
    auto* select = new TMenuItem(this);
    select->SetName(kSkinSelectName);
    select->SetCaption(ResourceCaption(58964, "Available skins"));
    for (int n = 0; n < names.Count(); ++n) {
        // A folder and a packed file of one name are one skin to choose.
        if (n > 0 && names.Strings(n) == names.Strings(n - 1)) continue;
        const int i = select->Count();
        auto* skin = new TMenuItem(this);
        skin->SetName(kSkinSelectName + IntToStr(i));
        skin->SetCaption(names.Strings(n));
        skin->SetRadioItem(true);
        skin->SetChecked(names.Strings(n) == m->SkinName());
        if (i > 0 && i % kSkinsPerColumn == 0) skin->SetBreak(mbBreak);
        skin->OnClick = TNotifyEvent::Of<&TsSystemMenu::SkinClick>(this);
        select->Add(skin);
    }
    top->Insert(0, select);
    auto* line = new TMenuItem(this);
    line->SetCaption("-");
    top->Insert(1, line);
}

void TsSystemMenu::SkinClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    TsSkinManager* m = FOwner ? FOwner->SkinData()->SkinManager() : nullptr;
    if (!item || !m) return;
    AnsiString name = item->Caption();
    name.erase(std::remove(name.begin(), name.end(), '&'), name.end());
    m->SetSkinName(name);
}

// ---------------------------------------------------------------- the provider

TsSkinProvider::TsSkinProvider(TComponent* AOwner)
    : TComponent(AOwner), FCommonData(new TsCommonData(this, true)), FTitleButtons(new TsTitleButtons(this)),
      FTitleIcon(new TsTitleIcon) {
    if (dynamic_cast<TFrame*>(AOwner))
        ShowWarning("TsSkinProvider component must be used with forms only!\r\n"
                    "For frames skinning may be used TsFrameAdapter component.");
    FForm = OwnerForm(AOwner);
    FCommonData->ControlTypeCode = 224;
    FCommonData->SetSkinSection("FORM");
    if (FForm && FForm->ControlState() != 0) FCommonData->UpdatingFlag = true;
    if (FForm)
        for (int i = 0; i < FForm->ComponentCount(); ++i)
            if (auto* other = dynamic_cast<TsSkinProvider*>(FForm->Components(i)); other && other != this) {
                // One provider a form; a second one stays inert.
                FForm = nullptr;
                break;
            }
    if (FForm && !Designing(this)) {
        // The provider paints through its own image: a second buffer only costs.
        FForm->SetDoubleBuffered(false);
        if (FForm != AOwner) FForm->FreeNotification(this);
        FRelay = new TacProviderRelay;
        FRelay->Provider = this;
        FRelay->Prev = FForm->WindowProc;
        FForm->WindowProc = FRelay->AsMethod();
        RegisterSkinnedForm(FForm);
        FFormActive = true;
        FMenuRows = -1;
    }
    AfterConstruction();
}

void TsSkinProvider::AfterConstruction() {
    TsSkinManager* m = FCommonData->SkinManager();
    if (m && m->Active() && !Designing(this)) PrepareForm();
}

TsSkinProvider::~TsSkinProvider() {
    Destroying();
    HideCaptionOverlay();
    if (FOverlay) {
        // The overlay is ours alone; it goes with the provider.
        FOverlay->WindowProc = FOverlayOldProc;
        delete FOverlay;
        FOverlay = nullptr;
    }
    EndBorderDrag(TPoint{}, false);
    for (TsCaptionButton& b : FButtons)
        if (b.GlowID >= 0) StopGlowEffect(b.GlowID), b.GlowID = -1;
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsCaptionButton& b = FTitleButtons->Items(i)->Data;
        if (b.GlowID >= 0) StopGlowEffect(b.GlowID), b.GlowID = -1;
    }
    // The scroll wrapper swapped the WindowProc after us: it gives back first.
    FreeScrollWrapper();
    if (FForm && !Designing(this)) {
        UnregisterSkinnedForm(FForm);
        if (FRelay) {
            if (FForm->WindowProc == FRelay->AsMethod()) {
                FForm->WindowProc = FRelay->Prev;
                FRelay->Provider = nullptr;
                FRelay->Released = true;
                if (FRelay->Depth == 0) delete FRelay;
            } else {
                FRelay->Provider = nullptr;
                g_OrphanRelays.push_back(FRelay);
            }
            FRelay = nullptr;
        }
        // A form that keeps living gets its system menu back.
        if (FSysMenuRemoved && FForm->HandleAllocated() && !(FForm->ComponentState() & csDestroying))
            UpdateSysMenuStyle(false);
        FreeMDIForm();
        // A child's menu was merged into the frame's line: the line is painted without it.
        if (IsMDIChild() && FForm->Menu() && MDIMainProvider && MDIMainProvider != this &&
            MDIMainProvider->Form() && !(MDIMainProvider->Form()->ComponentState() & csDestroying)) {
            MDIMainProvider->InvalidateCache();
            MDIMainProvider->FMenuRows = -1;
            if (HWND mh = MDIMainProvider->Form()->HandleIfAllocated()) SendMessageW(mh, WM_NCPAINT, 1, 0);
        }
        if (FForm != Owner()) FForm->RemoveFreeNotification(this);
    }
    if (MenuLineChildProvider == this) MenuLineChildProvider = nullptr;
    FSystemMenu.reset();
    FAdapter.reset();
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (auto* m = dynamic_cast<TsSkinManager*>(AComponent)) {
        if (Operation == opRemove && m == FCommonData->OwnManager) FCommonData->WriteSkinManager(nullptr);
        if (Operation == opInsert && !FCommonData->SkinManager()) FCommonData->WriteSkinManager(m);
        return;
    }
    if (Operation == opRemove && AComponent == FForm) {
        // News of a form that only changed owners is not its end.
        if (!(FForm->ComponentState() & csDestroying)) return;
        // The form went before us: nothing of it may be touched any more.
        // Its window went first, so no call comes through the relay again;
        // one still running frees it.
        FForm = nullptr;
        if (TacProviderRelay* r = std::exchange(FRelay, nullptr)) {
            r->Provider = nullptr;
            r->Released = true;
            if (r->Depth == 0) delete r;
        }
        return;
    }
    if (Operation == opInsert && FAdapter)
        if (auto* w = dynamic_cast<TWinControl*>(AComponent); w && FAdapter->AcceptsControl(w)) FAdapter->AdaptControl(w);
}

void TsSkinProvider::Loaded() {
    TComponent::Loaded();
    TsSkinManager* m = FCommonData->SkinManager();
    if (m && !Designing(this) && FCommonData->IsSkinned(true)) {
        if (!FAdapter) CreateAdapter();
        PrepareForm();
        if (FSystemMenu) FSystemMenu->UpdateItems();
    }
    int title = -1;
    if (m) {
        title = GlobalMask(m, "TITLEBUTTON");
        if (title < 0 && FCommonData->SkinSectionNo >= 0)
            title = m->MaskIndexInherited(FCommonData->Resolved(), "TITLEBUTTON");
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* b = FTitleButtons->Items(i);
        b->Data.ImageIndex = b->UseSkinData() ? title : -1;
    }
    if (FMDIForm) FMDIForm->RefreshWrapper();
}

void TsSkinProvider::CreateAdapter() {
    if (Designing(this) || !FCommonData->IsSkinned()) return;
    FAdapter = std::make_unique<TacCtrlAdapter>(this);
    FAdapter->AddAllItems();
}

// ---- published setters

void TsSkinProvider::SetCaptionAlignment(TAlignment Value) {
    if (FCaptionAlignment == Value) return;
    FCaptionAlignment = Value;
    RefreshFrame();
}

void TsSkinProvider::SetShowAppIcon(bool Value) {
    if (FShowAppIcon == Value) return;
    FShowAppIcon = Value;
    RefreshFrame();
}

void TsSkinProvider::SetTitleSkin(const AnsiString& Value) {
    if (FTitleSkin == Value) return;
    FTitleSkin = Value;
    DropImageCopies();
    RefreshFrame();
}

void TsSkinProvider::SetMenuLineSkin(const AnsiString& Value) {
    if (FMenuLineSkin == Value) return;
    FMenuLineSkin = Value;
    if (Designing(this)) FCommonData->Invalidate();
}

void TsSkinProvider::SetUseGlobalColor(bool Value) {
    FUseGlobalColor = Value;
    if (!FForm) return;
    TsSkinManager* m = FCommonData->SkinManager();
    if (FCommonData->IsSkinned() && Value && !FCommonData->CustomColor() && m)
        FForm->SetColor(m->GlobalColor());
    else
        FForm->SetColor(clBtnFace);
}

void TsSkinProvider::SetDrawNonClientArea(bool Value) {
    if (FDrawNonClientArea == Value) return;
    FDrawNonClientArea = Value;
    if (Designing(this) || !FForm) return;
    const bool showing = FForm->HandleAllocated() && FForm->Showing();
    HWND h = FForm->HandleIfAllocated();
    if (Value) {
        UpdateSysMenuStyle(true);
        if (FCommonData->IsSkinned()) HookMenus();
        if (showing && FCommonData->IsSkinned()) {
            InvalidateCache();
            DropImageCopies();
            FRegionChanged = true;
            RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
            UpdateScrollWrapper();
        }
    } else {
        if (h) ResetWindowTheme(h);
        if (FCommonData->IsSkinned()) HookMenus();
        FreeScrollWrapper();
        if (FSysMenuRemoved) UpdateSysMenuStyle(false);
        if (showing) {
            SetWindowRgn(h, nullptr, TRUE);
            RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
    }
}

// ---- state

void TsSkinProvider::InvalidateCache() { FCommonData->BackgroundDirty = true; }

void TsSkinProvider::SectionChanged() {
    FCommonData->BackgroundDirty = true;
    DropImageCopies();
}

void TsSkinProvider::RefreshFrame() {
    InvalidateCache();
    FMenuLineChanged = true;
    FMenuRows = -1;
    // A held frame is painted when it is let go.
    if (!FFrameHeld && FForm && FForm->HandleAllocated() && IsWindowVisible(FForm->HandleIfAllocated()))
        SendMessageW(FForm->HandleIfAllocated(), WM_NCPAINT, 1, 0);
}

TColor TsSkinProvider::FormColor() const {
    if (!FForm) return ColorToRGB(clBtnFace);
    if (!FCommonData->IsSkinned() || FCommonData->CustomColor()) return ColorToRGB(FForm->Color());
    const TsGeneralData* s = FCommonData->Section();
    return s->StateColor(FFormActive ? 1 : 0);
}

void TsSkinProvider::UpdateSysMenuStyle(bool On) {
    if (!FForm || !FForm->HandleAllocated()) return;
    HWND h = FForm->HandleIfAllocated();
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    if (On) {
        if ((style & WS_SYSMENU) || FSysMenuRemoved) {
            const LONG_PTR want = FDrawNonClientArea ? (style & ~LONG_PTR(WS_SYSMENU)) : (style | WS_SYSMENU);
            if (want != style) SetWindowLongPtrW(h, GWL_STYLE, want);
            FSysMenuRemoved = true;
        } else {
            FSysMenuRemoved = false;
        }
    } else {
        if (FSysMenuRemoved && !(style & WS_SYSMENU)) SetWindowLongPtrW(h, GWL_STYLE, style | WS_SYSMENU);
        FSysMenuRemoved = false;
    }
}

void TsSkinProvider::FreeScrollWrapper() {
    if (!FScrollWrapper) return;
    TacScrollWnd* w = FScrollWrapper;
    FScrollWrapper = nullptr;
    delete w;
}

void TsSkinProvider::UpdateScrollWrapper() {
    if ((ComponentState() & csDestroying) || !FForm || !FForm->HandleAllocated() || !FForm->AutoScroll()) return;
    HWND h = FForm->HandleIfAllocated();
    if (FCommonData->IsSkinned()) {
        UninitializeFlatSB(h);
        if (FScrollWrapper && FScrollWrapper->Destroyed) FreeScrollWrapper();
        if (!FScrollWrapper) {
            FScrollWrapper = CreateWrapper<TacScrollWnd>(h, false, "", FCommonData->SkinManager(), FCommonData.get());
            if (FScrollWrapper) FScrollWrapper->OwnBackground = true;
        }
    } else {
        FreeScrollWrapper();
        InitializeFlatSB(h);
    }
}

void TsSkinProvider::RemoveSkin() {
    TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(scRemoveSkin)), LPARAM(FCommonData->SkinManager()), 0};
    if (FAdapter) FAdapter->WndProc(m);
    FAdapter.reset();
}

void TsSkinProvider::ApplyGlobalColor() {
    if (!FForm || !FUseGlobalColor || FCommonData->CustomColor()) return;
    if (FForm->ComponentState() & (csDestroying | csLoading)) return;
    if (TsSkinManager* m = FCommonData->SkinManager()) FForm->SetColor(m->GlobalColor());
}

void TsSkinProvider::PrepareForm() {
    TsSkinManager* m = FCommonData->SkinManager();
    if (!m || !FForm || !FForm->HandleAllocated()) return;
    FCommonData->ApplyLoaded();
    UpdateSysMenuStyle(true);
    if (!FSystemMenu) FSystemMenu = std::make_unique<TsSystemMenu>(this, FForm);
    FSystemMenu->UpdateItems();
    if (FMDIToMake && FCommonData->IsSkinned(true)) {
        FMDIToMake = false;
        MakeMDIForm();
    }
    FCommonData->ResolveIndexes();
    LoadButtonImages();
    InvalidateCache();
    DropImageCopies();
    // A skinned child changes what the frame's menu line shows.
    if (TsSkinProvider* main = MDIMainProvider; IsMDIChild() && main && main->Form() &&
                                                !(main->Form()->ComponentState() & csDestroying) && FCommonData->IsSkinned()) {
        main->InvalidateCache();
        main->FMenuRows = -1;
    }
    if (!(FForm->ControlState() & csCreating) && !(FForm->ComponentState() & (csDestroying | csLoading)))
        ApplyGlobalColor();
    HookMenus();
    if (!FMenuChangedOnce) {
        MenuChanged();
        FMenuChangedOnce = true;
    }
    FSystemMenu->RefreshCaptions();
    // Forms made in code have no loading step that would make the adapter.
    if (!FAdapter) CreateAdapter();
}

void TsSkinProvider::MakeMDIForm() {
    if (!FForm || FForm->FormStyle() != fsMDIForm || (FForm->ComponentState() & csDesigning)) return;
    if (!FMDIForm) FMDIForm = std::make_unique<TsMDIForm>(this);
    MDIMainProvider = this;
    FMDIForm->RefreshWrapper();
}

void TsSkinProvider::FreeMDIForm() {
    FMDIForm.reset();
    if (MDIMainProvider == this) MDIMainProvider = nullptr;
    if (MenuLineChildProvider && MDIIconsForm()) FreeMDIIcons();
}

void TsSkinProvider::ShowSystemMenu(int X, int Y) {
    if (!FSystemMenu) FSystemMenu = std::make_unique<TsSystemMenu>(this, FForm);
    FSystemMenu->UpdateItems();
    FSystemMenu->MakeSkinItems();
    FSystemMenu->Popup(X, Y);
}

// ---------------------------------------------------------------- registration

namespace {

void RegisterProviderClasses() {
    if (!FindClassInfo("TsCommonData"))
        RegisterPersistentClass<TsCommonData>("TsCommonData")
            .Bool("CustomColor", &TsCommonData::SetCustomColor)
            .Bool("CustomFont", &TsCommonData::SetCustomFont)
            .Str("SkinSection", &TsCommonData::SetSkinSection)
            .Ref("SkinManager", &TsCommonData::WriteSkinManager, "TsSkinManager");
    RegisterPersistentClass<TsTitleIcon>("TsTitleIcon")
        .Object("Glyph", &TsTitleIcon::Glyph, "TBitmap")
        .Int("Height", &TsTitleIcon::SetHeight)
        .Int("Width", &TsTitleIcon::SetWidth);
    RegisterPersistentClass<TsTitleButton>("TsTitleButton")
        .Bool("Enabled", &TsTitleButton::SetEnabled)
        .Object("Glyph", &TsTitleButton::Glyph, "TBitmap")
        .Str("Name", &TsTitleButton::SetName)
        .Bool("UseSkinData", &TsTitleButton::SetUseSkinData)
        .Event("OnMouseDown", &TsTitleButton::OnMouseDown)
        .Event("OnMouseUp", &TsTitleButton::OnMouseUp);
    const TEnumInfo& grip = RegisterEnum("TsGripMode", {{"gmNone", gmNone}, {"gmRightBottom", gmRightBottom}});
    const TEnumInfo& resize = RegisterEnum("TsResizeMode", {{"rmStandard", rmStandard}, {"rmBorder", rmBorder}});
    const TEnumInfo& align = *FindEnum("TAlignment");
    RegisterComponentClass<TsSkinProvider>("TsSkinProvider", "TComponent")
        .Enum("CaptionAlignment", &TsSkinProvider::CaptionAlignment, &TsSkinProvider::SetCaptionAlignment, align)
        .Bool("DrawNonClientArea", &TsSkinProvider::DrawNonClientArea, &TsSkinProvider::SetDrawNonClientArea)
        .Object("SkinData", &TsSkinProvider::SkinData, "TsCommonData")
        .Enum("GripMode", &TsSkinProvider::GripMode, &TsSkinProvider::SetGripMode, grip)
        .Bool("MakeSkinMenu", &TsSkinProvider::MakeSkinMenu, &TsSkinProvider::SetMakeSkinMenu)
        .Str("MenuLineSkin", &TsSkinProvider::SetMenuLineSkin)
        .Enum("ResizeMode", &TsSkinProvider::ResizeMode, &TsSkinProvider::SetResizeMode, resize)
        .Bool("ScreenSnap", &TsSkinProvider::ScreenSnap, &TsSkinProvider::SetScreenSnap)
        .Int("SnapBuffer", &TsSkinProvider::SnapBuffer, &TsSkinProvider::SetSnapBuffer)
        .Bool("ShowAppIcon", &TsSkinProvider::ShowAppIcon, &TsSkinProvider::SetShowAppIcon)
        .Collection("TitleButtons", &TsSkinProvider::TitleButtons)
        .Object("TitleIcon", &TsSkinProvider::TitleIcon, "TsTitleIcon")
        .Str("TitleSkin", &TsSkinProvider::SetTitleSkin)
        .Bool("UseGlobalColor", &TsSkinProvider::UseGlobalColor, &TsSkinProvider::SetUseGlobalColor)
        .Event("OnSkinItem", &TsSkinProvider::OnSkinItem);
    TsFrameAdapter::Register();
}

}  // namespace

void sSkinProviderInitialize() {
    ProviderFormOf = &FormOfProvider;
    RegisterProviderClasses();
}

void sSkinProviderFinalize() {
    ProviderFormOf = nullptr;
    FreeDwmLibrary();
}
