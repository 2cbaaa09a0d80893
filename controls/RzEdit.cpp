#include "RzEdit.h"

#include "Guards.h"
#include "RzRegister.h"
#include "TypeInfo.h"

TRzCustomEdit::TRzCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner), FCanvas(new TCanvas()) {
    SetControlStyle((ControlStyle() & ~csSetCaption) | csCaptureMouse);
}

TRzCustomEdit::~TRzCustomEdit() {
    if (FFrameController) {
        FFrameController->UnlinkControl(this);
        FFrameController->RemoveFreeNotification(this);
        FFrameController = nullptr;
    }
    DestroyHandle();
}

void TRzCustomEdit::Loaded() {
    TCustomMaskEdit::Loaded();
    UpdateColors();
    UpdateFrame(false, false);
}

void TRzCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TRzCustomEdit::SetFrameController(TRzFrameController* v) { RzSetFrameController(this, this, FFrameController, v); }

void TRzCustomEdit::CreateParams(TCreateParams& P) {
    TCustomMaskEdit::CreateParams(P);
    P.Style |= WS_CLIPCHILDREN;
    P.Style &= ~DWORD(ES_LEFT | ES_RIGHT | ES_CENTER | ES_MULTILINE);
    if (FAlignment == taRightJustify) P.Style |= ES_RIGHT;
    else if (FAlignment == taCenter) P.Style |= ES_CENTER;
}

bool TRzCustomEdit::UsesThemedFrame() const { return FFramingPreference == fpThemes && RzVisualStylesOn(); }

// ---------------------------------------------------------------- colours

void TRzCustomEdit::UpdateColors() {
    if (IsLoading()) return;
    FUpdatingColor = true;
    ScopeExit done([this] { FUpdatingColor = false; });
    if (!Enabled())
        SetColor(FDisabledColor);
    else if (FHasFocus)
        SetColor(ReadOnly() && FReadOnlyColorOnFocus ? FReadOnlyColor : FFocusColor);
    else
        SetColor(ReadOnly() ? FReadOnlyColor : FNormalColor);
}

void TRzCustomEdit::CMColorChanged(TMessage& Message) {
    TCustomMaskEdit::CMColorChanged(Message);
    if (!FUpdatingColor) {
        // A colour set from outside is the new normal colour; a focus colour
        // that was the normal colour follows it.
        if (FFocusColor == FNormalColor) FFocusColor = Color();
        FNormalColor = Color();
        if (FFrameVisible && !UsesThemedFrame()) RefreshFrame();
    }
}

void TRzCustomEdit::SetDisabledColor(TColor v) {
    if (v == FDisabledColor) return;
    FDisabledColor = v;
    if (!Enabled()) UpdateColors();
}

void TRzCustomEdit::SetFocusColor(TColor v) {
    if (v == FFocusColor) return;
    FFocusColor = v;
    if (FHasFocus) UpdateColors();
}

void TRzCustomEdit::SetReadOnlyColor(TColor v) {
    if (v == FReadOnlyColor) return;
    FReadOnlyColor = v;
    if (ReadOnly()) UpdateColors();
}

void TRzCustomEdit::SetReadOnly(bool v) {
    if (v == ReadOnly()) return;
    TCustomMaskEdit::SetReadOnly(v);
    ReadOnlyChanged();
}

void TRzCustomEdit::ReadOnlyChanged() {
    if (ReadOnly()) DoReadOnly();
    else DoWritable();
    UpdateColors();
    if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

void TRzCustomEdit::CMEnabledChanged(TMessage& Message) {
    TCustomMaskEdit::CMEnabledChanged(Message);
    UpdateColors();
    if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

// ---------------------------------------------------------------- frame

void TRzCustomEdit::RefreshFrame() {
    if (!HandleAllocated()) return;
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    RedrawFrameIfVisible(FHandle, &r);
}

void TRzCustomEdit::UpdateFrame(bool IsMouse, bool Value) {
    if (IsMouse) FMouseOver = Value;
    else FHasFocus = Value;
    // A flat drop button shows while the cell is hot: the non-client area is painted again.
    if (FDropButtonVisible) RedrawNonClient();
    else if (FFrameHotTrack) RefreshFrame();
    UpdateColors();
}

void TRzCustomEdit::PaintNonClientFrame() {
    HDC dc = GetWindowDC(FHandle);
    if (!dc) return;
    TCanvasDCScope scope(FCanvas.get(), dc, FHandle);
    if (FFrameVisible && !UsesThemedFrame()) {
        bool hot = FFrameHotTrack && (FHasFocus || FMouseOver);
        PaintFrame(FCanvas.get(), Width(), Height(), false, FFrameSides, hot ? FFrameHotColor : FFrameColor, Color(),
                   hot ? FFrameHotStyle : FFrameStyle);
    }
    if (FDropButtonVisible) PaintDropButton(DropButtonRect());
}

void TRzCustomEdit::WndProc(TMessage& Message) {
    if (Message.Msg == WM_NCPAINT) {
        TCustomMaskEdit::WndProc(Message);
        if (((FFrameVisible && !UsesThemedFrame()) || FDropButtonVisible) && HandleAllocated()) PaintNonClientFrame();
        Message.Result = 0;
        return;
    }
    if (FDropButtonVisible && HandleAllocated() && DropButtonMessage(Message)) return;
    TCustomMaskEdit::WndProc(Message);
}

void TRzCustomEdit::Resize() {
    TCustomMaskEdit::Resize();
    if (FFrameVisible && !UsesThemedFrame()) RefreshFrame();
}

#define RZ_FRAME_SETTER(Name, Type, Field) \
    void TRzCustomEdit::Set##Name(Type v) { \
        if (v == Field) return;             \
        Field = v;                          \
        RefreshFrame();                     \
    }
RZ_FRAME_SETTER(FrameColor, TColor, FFrameColor)
RZ_FRAME_SETTER(FrameHotColor, TColor, FFrameHotColor)
RZ_FRAME_SETTER(FrameHotStyle, TFrameStyle, FFrameHotStyle)
RZ_FRAME_SETTER(FrameSides, TSides, FFrameSides)
RZ_FRAME_SETTER(FrameStyle, TFrameStyle, FFrameStyle)
#undef RZ_FRAME_SETTER

void TRzCustomEdit::SetFrameHotTrack(bool v) {
    if (v == FFrameHotTrack) return;
    FFrameHotTrack = v;
    if (v) {
        SetFrameVisible(true);
        if (!IsLoading()) SetFrameSides(sdAllSides);
    }
    RefreshFrame();
    Invalidate();
}

void TRzCustomEdit::SetFrameVisible(bool v) {
    if (v == FFrameVisible) return;
    FFrameVisible = v;
    if (v) SetCtl3D(true);
    RecreateWnd();
}

void TRzCustomEdit::SetFramingPreference(TFramingPreference v) {
    if (v == FFramingPreference) return;
    FFramingPreference = v;
    if (v == fpCustomFraming) RefreshFrame();
}

void TRzCustomEdit::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    RecreateWnd();
}

// ---------------------------------------------------------------- focus, mouse, keys

void TRzCustomEdit::DoEnter() {
    UpdateFrame(false, true);
    TCustomMaskEdit::DoEnter();
}

void TRzCustomEdit::DoExit() {
    TCustomMaskEdit::DoExit();
    UpdateFrame(false, false);
}

void TRzCustomEdit::CMMouseEnter(TMessage& Message) {
    if (ComponentState() & csDesigning) return;
    TCustomMaskEdit::CMMouseEnter(Message);
    if (OnMouseEnter) OnMouseEnter(this);
    UpdateFrame(true, true);
}

void TRzCustomEdit::CMMouseLeave(TMessage& Message) {
    if (ComponentState() & csDesigning) return;
    TCustomMaskEdit::CMMouseLeave(Message);
    if (OnMouseLeave) OnMouseLeave(this);
    UpdateFrame(true, false);
}

void TRzCustomEdit::KeyPress(char& Key) {
    if (FTabOnEnter && Key == '\r') {
        // Enter moves on as Tab does; nothing reaches the cell.
        Key = 0;
        if (HandleAllocated()) PostMessageW(FHandle, WM_KEYDOWN, VK_TAB, 0);
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

// ---------------------------------------------------------------- validation

void TRzCustomEdit::ValidateError() {
    AnsiString message = OnValidateError ? OnValidateError(this) : AnsiString();
    if (message.empty()) {
        TCustomMaskEdit::ValidateError();
        return;
    }
    throw EDBEditError(message);
}

void TRzCustomEdit::InvalidKey() {
    if (FBeepOnInvalidKey) TCustomMaskEdit::InvalidKey();
}

// ---------------------------------------------------------------- registration

void RegisterRzEdit() {
    if (FindClassInfo("TRzEdit")) return;
    RzRegisterGraphicsObjects();
    auto base = RzBaseClass({"TCustomMaskEdit", "TCustomEdit", "TWinControl"});
    auto c = RegisterPersistentClass<TRzCustomEdit>("TRzCustomEdit", base);
    RzRegisterControlBasics(c);
    RzRegisterTextBasics(c);
    auto legacyFlat = [](TRzCustomEdit* e, const FormValue& v, TReadContext&) {
        bool flat = typeinfo_detail::AsBool(v);
        e->SetFrameHotTrack(flat);
        if (flat) {
            e->SetFrameStyle(fsStatus);
            e->SetFrameHotStyle(fsLowered);
        }
    };
    c.Color("DisabledColor", &TRzCustomEdit::SetDisabledColor)
        .Color("FocusColor", &TRzCustomEdit::SetFocusColor)
        .Color("ReadOnlyColor", &TRzCustomEdit::SetReadOnlyColor)
        .Bool("ReadOnlyColorOnFocus", &TRzCustomEdit::SetReadOnlyColorOnFocus)
        .Bool("ReadOnly", &TRzCustomEdit::SetReadOnly)
        .Color("FrameColor", &TRzCustomEdit::SetFrameColor)
        .Color("FrameHotColor", &TRzCustomEdit::SetFrameHotColor)
        .Bool("FrameHotTrack", &TRzCustomEdit::SetFrameHotTrack)
        .Enum("FrameHotStyle", &TRzCustomEdit::SetFrameHotStyle, FrameStyleInfo())
        .Set("FrameSides", &TRzCustomEdit::SetFrameSides, SidesInfo())
        .Enum("FrameStyle", &TRzCustomEdit::SetFrameStyle, FrameStyleInfo())
        .Bool("FrameVisible", &TRzCustomEdit::SetFrameVisible)
        .Enum("FramingPreference", &TRzCustomEdit::SetFramingPreference, FramingPreferenceInfo())
        .Ref("FrameController", &TRzCustomEdit::SetFrameController, "TRzFrameController")
        .Set("FrameControllerNotifications", &TRzCustomEdit::SetFrameControllerNotifications,
             FrameControllerNotificationsInfo())
        .Bool("TabOnEnter", &TRzCustomEdit::SetTabOnEnter)
        .Enum("Alignment", &TRzCustomEdit::SetAlignment, AlignmentInfo())
        .Str("Text", &TControl::SetText)
        .Bool("AutoSize", &TControl::SetAutoSize)
        .Event("OnMouseEnter", &TRzCustomEdit::OnMouseEnter)
        .Event("OnMouseLeave", &TRzCustomEdit::OnMouseLeave)
        .Ignore("About")
        .Custom("FrameFlat", legacyFlat)
        .Custom("FrameFocusStyle",
                [](TRzCustomEdit* e, const FormValue& v, TReadContext&) {
                    e->SetFrameHotStyle(TFrameStyle(typeinfo_detail::AsEnum(v, FrameStyleInfo())));
                })
        .Ignore("FrameFlatStyle");
    RegisterComponentClass<TRzEdit>("TRzEdit", "TRzCustomEdit");
}
