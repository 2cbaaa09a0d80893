// Shared toolkit of the framed controls: enumerations, colours and the
// colour set, side/bevel/border/frame painters, rotated fonts, small text and
// window routines, and the one blink list all framed labels share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Components.h"
#include "Controls.h"
#include "Persistent.h"
#include "RzColorMath.h"
#include "RunTime.h"
#include "Types.h"

class TCanvas;
class TFont;
class TControl;
class TWinControl;
class TTimer;
class TList;
class TObject;

enum TFrameStyle {
    fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp,
    fsStatus, fsPopup, fsFlatBold, fsFlatRounded
};
using TFrameStyleEx = TFrameStyle;

enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = unsigned;  // bit set of TSide
constexpr TSides SideBit(TSide s) { return 1u << s; }
constexpr TSides sdAllSides = 15;

enum TGradientDirection {
    gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox,
    gdVerticalEnd, gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TFramingPreference { fpCustomFraming, fpThemes };
enum TRzGradientColorStyle { gcsSystem, gcsScheme, gcsCustom };
enum TRzVisualStyle { vsClassic, vsThemed, vsGradient };
enum TRzHotTrackColorType { htctComplement, htctActual };

// Set once by the unit's start-up step.
extern bool FullColorDisplay;
extern uint8_t ThemeColorScheme;

// Start-up step of the unit: notes the display depth, reads the colour set
// and installs the real system colours for the colour maths.
void RzCommonStartup();

// Visual styles as the class library's theme services decide them (see
// Themes.h); the force passes a test's choice on to them.
bool RzVisualStylesOn();
void RzForceVisualStyles(int state);

// Resolves a colour to RGB through the platform's system colours.
uint32_t RzRGBOf(TColor c);

TColor ThemeElementColor(int Kind);
void SchemeGradientColors(TRzGradientColorStyle ColorStyle, TColor& Start, TColor& Stop);
TColor SchemeFlatColor(TRzGradientColorStyle ColorStyle);
void SchemeBannerColors(TRzGradientColorStyle ColorStyle, TColor& Bottom, TColor& Top, TColor& Line);
// The light, medium and dark colours of a colour set.
TColor ThemeSetColor(int Set, int Shade);

bool IsFullColorDisplay();
uint8_t ReadThemeColorScheme();

// Side, bevel, border and frame painters; each returns the rectangle left inside.
TRect PaintSides(TCanvas* Canvas, TRect Bounds, TColor ULColor, TSides Sides, TColor LRColor);
TRect PaintBevel(TCanvas* Canvas, TRect Bounds, TColor ULColor, TSides Sides, int Count, TColor LRColor);
TRect PaintBox(TCanvas* Canvas, TRect Bounds, TColor Color);
TRect PaintCtl3DSides(TCanvas* Canvas, TRect Bounds, bool Lowered, TSides Sides);
TRect PaintButtonBorderSides(TCanvas* Canvas, TRect Bounds, bool Down, TSides Sides);
TRect PaintColorButtonBorderSides(TCanvas* Canvas, TRect Bounds, TColor Base, TSides Sides, bool Down);
TRect PaintBorderSides(TCanvas* Canvas, TRect Bounds, TFrameStyle Style, TSides Sides);
TRect PaintColorBorderSides(TCanvas* Canvas, TRect Bounds, TColor Base, TSides Sides, TFrameStyle Style);
TRect PaintBorder(TCanvas* Canvas, TRect Bounds, TFrameStyle Style);
TRect PaintColorBorder(TCanvas* Canvas, TRect Bounds, TColor Base, TFrameStyle Style);
TRect PaintButtonBorder(TCanvas* Canvas, TRect Bounds, bool Down);
TRect PaintColorButtonBorder(TCanvas* Canvas, TRect Bounds, TColor Base, bool Down);
TRect PaintRoundedFlatBorder(TCanvas* Canvas, TRect Bounds, TColor Color, TSides Sides);
TRect PaintDottedFrame(TCanvas* Canvas, TRect Bounds);
TRect PaintBorders(TCanvas* Canvas, TRect Bounds, TFrameStyleEx BorderOuter, bool Transparent,
                   TColor ParentColor, TColor Color, int FlatColorAdjustment, TColor FlatColor,
                   TColor BorderShadow, TColor BorderHighlight, TColor BorderColor, int BevelWidth,
                   TSides BorderSides, int BorderWidth, TFrameStyleEx BorderInner);
void PaintFrame(TCanvas* Canvas, int Width, int Height, bool KeepInside, TSides Sides, TColor FrameColor,
                TColor Color, TFrameStyle Style);
void PaintGradientFrame(TCanvas* Canvas, TRect Bounds, TGradientDirection Direction, TColor StopColor,
                        TColor StartColor);
void PaintDropDownArrow(TCanvas* Canvas, TRect Bounds, int Kind, bool Enabled, bool Pressed);

// Text and window routines.
HFONT CreateRotatedFont(TFont* Font, int Angle);
bool IsTrueTypeFont(TFont* Font);
AnsiString StripAccelerators(const AnsiString& Text);
// A as Control places it: left and right exchanged in right-to-left alignment.
TAlignment RzBiDiAlignment(const TControl* Control, TAlignment A);
// DrawText's flag of that alignment, with DT_RTLREADING in right-to-left alignment.
UINT RzBiDiAlignmentFlags(const TControl* Control, TAlignment A);
// Whether Key (Windows-1251, any case) is the accelerator ("&x") of Caption.
bool RzIsAccel(char Key, const AnsiString& Caption);
void RedrawFrameIfVisible(HWND Window, const RECT* R);
void InvalidateTransparentChildren(TWinControl* Container);
inline int Min(int A, int B) { return A < B ? A : B; }
inline int Max(int A, int B) { return A > B ? A : B; }

// ---------------------------------------------------------------- frame controller

enum TRzFrameControllerProperty {
    fcpColor, fcpFocusColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpParentColor,
    fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack, fcpFrameHotStyle,
    fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference, fcpAll
};
// Set of the first sixteen properties: bit n for property n.
using TRzFrameControllerNotifications = unsigned;
constexpr TRzFrameControllerNotifications fcpAllNotifications = 0xFFFF;
constexpr bool HasNotification(TRzFrameControllerNotifications n, TRzFrameControllerProperty p) {
    return (n >> unsigned(p)) & 1u;
}
struct TEnumInfo;
const TEnumInfo& FrameControllerNotificationsInfo();

class TRzFrameController;

// A framed control that pulls the controller's settings itself.
class IFrameControllerClient {
public:
    virtual void FrameControllerChanged() = 0;

protected:
    ~IFrameControllerClient() = default;
};

// What every framed control publishes as FrameControllerNotifications; the
// controller reads it when the control's class publishes that name.
class IFrameControllerLinked {
public:
    virtual TRzFrameControllerNotifications FrameControllerNotifications() const = 0;

protected:
    ~IFrameControllerLinked() = default;
};

enum TRzPathType { ptIniFile, ptRegistry };
enum TRzRegKey {
    hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData, hkeyCurrentConfig,
    hkeyDynData
};
enum TRzRegAccessKey {
    keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink, keyRead,
    keyWrite, keyExecute, keyAllAccess
};
using TRzRegAccess = unsigned;  // bit set of TRzRegAccessKey
enum TRzSpecialFolder { sfNone, sfUserAppDataRoaming, sfUserAppDataLocal, sfUserDocuments, sfProgramData };

// Reads a string value of any length; a missing value, or one of another
// type than a string, answers Default. The key is opened for reading only.
AnsiString RzReadRegistryString(HKEY Root, const std::wstring& Path, const std::wstring& Name,
                                const AnsiString& Default);

// Names where settings are kept: an INI file or a registry key.
class TRzRegIniFile : public TComponent {
public:
    explicit TRzRegIniFile(TComponent* AOwner);
    ~TRzRegIniFile() override;
    const char* ClassName() const override { return "TRzRegIniFile"; }

    const AnsiString& Path() const { return FPath; }
    virtual void SetPath(const AnsiString& v);
    TRzPathType PathType() const { return FPathType; }
    virtual void SetPathType(TRzPathType v);
    TRzRegKey RegKey() const { return FRegKey; }
    virtual void SetRegKey(TRzRegKey v);
    TRzRegAccess RegAccess() const { return FRegAccess; }
    virtual void SetRegAccess(TRzRegAccess v);
    TRzSpecialFolder SpecialFolder() const { return FSpecialFolder; }
    virtual void SetSpecialFolder(TRzSpecialFolder v);
    bool RefreshPending() const { return FRefreshPending; }

    // The INI file (or registry key below RegKey) that Path names, with the
    // special folder in front when one is chosen.
    AnsiString FullPath() const;
    // A string of a section: from the INI file, or from the registry key
    // Path\Section. Read only; nothing is created.
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);

private:
    void Changed();
    AnsiString FPath;
    TRzPathType FPathType = ptIniFile;
    TRzRegKey FRegKey = hkeyCurrentUser;
    TRzRegAccess FRegAccess = 1u << keyAllAccess;
    TRzSpecialFolder FSpecialFolder = sfNone;
    HKEY FRegistry = nullptr;  // the opened key, while in use
    AnsiString FOpenedKey;
    bool FRefreshPending = true;
};

// Holds one set of framing and colour settings and pushes them to every
// framed control linked to it.
class TRzFrameController : public TComponent {
public:
    explicit TRzFrameController(TComponent* AOwner);
    ~TRzFrameController() override;
    const char* ClassName() const override { return "TRzFrameController"; }
    void Assign(TPersistent* Source) override;
    void Loaded() override;

    void LinkControl(TControl* Control);
    void UnlinkControl(TControl* Control);
    int LinkCount() const;
    bool HasLinkList() const { return FControls != nullptr; }
    void HoldPushes() { ++FUpdateCount; }
    void ReleasePushes();

    virtual void PushToControl(TControl* Control, TRzFrameControllerProperty Property);
    virtual void PushToAll(TRzFrameControllerProperty Property);

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    virtual void SetParentColor(bool v);
    TColor FlatButtonColor() const { return FFlatButtonColor; }
    virtual void SetFlatButtonColor(TColor v);
    bool FlatButtons() const { return FFlatButtons; }
    virtual void SetFlatButtons(bool v);
    TColor DisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v);
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    virtual void SetReadOnlyColor(TColor v);
    bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    virtual void SetReadOnlyColorOnFocus(bool v);
    TColor FocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v);
    TColor FrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    TColor FrameHotColor() const { return FFrameHotColor; }
    virtual void SetFrameHotColor(TColor v);
    bool FrameHotTrack() const { return FFrameHotTrack; }
    virtual void SetFrameHotTrack(bool v);
    TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
    virtual void SetFrameHotStyle(TFrameStyle v);
    TSides FrameSides() const { return FFrameSides; }
    virtual void SetFrameSides(TSides v);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle v);
    bool FrameVisible() const { return FFrameVisible; }
    virtual void SetFrameVisible(bool v);
    TFramingPreference FramingPreference() const { return FFramingPreference; }
    virtual void SetFramingPreference(TFramingPreference v);
    TRzRegIniFile* RegIniFile() const { return FRegIniFile; }
    virtual void SetRegIniFile(TRzRegIniFile* v);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SetByName(TControl* Control, TRzFrameControllerNotifications N, TRzFrameControllerProperty P);
    int FUpdateCount = 0;
    TList* FControls = nullptr;
    TRzRegIniFile* FRegIniFile = nullptr;
    TColor FColor = clWindow;
    TColor FDisabledColor = clBtnFace;
    TColor FReadOnlyColor = clInfoBk;
    bool FReadOnlyColorOnFocus = false;
    TColor FFlatButtonColor = clBtnFace;
    bool FFlatButtons = true;
    TColor FFocusColor = clWindow;
    TColor FFrameColor = clBtnShadow;
    TColor FFrameHotColor = clBtnShadow;
    TFrameStyle FFrameHotStyle = fsFlatBold;
    bool FFrameHotTrack = false;
    TSides FFrameSides = sdAllSides;
    TFrameStyle FFrameStyle = fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = fpThemes;
    bool FParentColor = false;
};

// The link of a framed control to its controller: leaving the old one,
// joining the new one and hearing of its removal.
void RzSetFrameController(TComponent* Self, TControl* Control, TRzFrameController*& Field,
                          TRzFrameController* Value);
// What a control with a border (label, panel) takes from its visible frame
// controller, the notifications N saying which, then it repaints.
template <class C>
void RzTakeBorderFromController(C* Control, TRzFrameController* Fc, TRzFrameControllerNotifications N) {
    if (HasNotification(N, fcpFrameStyle)) Control->SetBorderOuter(Fc->FrameStyle());
    if (HasNotification(N, fcpFrameSides)) Control->SetBorderSides(Fc->FrameSides());
    if (HasNotification(N, fcpFrameColor)) {
        Control->SetFlatColor(Fc->FrameColor());
        Control->SetFlatColorAdjustment(0);
    }
    if (HasNotification(N, fcpColor)) Control->SetColor(Fc->Color());
    if (HasNotification(N, fcpParentColor)) Control->SetParentColor(Fc->ParentColor());
    if (HasNotification(N, fcpColor)) {
        Control->SetBorderHighlight(LightenColor(Control->Color(), 100));
        Control->SetBorderShadow(DarkenColor(Control->Color(), 50));
    }
    Control->Invalidate();
}
// Registers the controller and the settings-file component (once).
void RegisterRzFrameController();

// Messages the blink list sends to its controls.
constexpr UINT CM_BLINKQUERY = CM_BASE + 1000;
constexpr UINT CM_BLINKSTATE = CM_BASE + 1001;

// The one blink list of the framed labels; its timer ticks while a label
// exists. Phase 1 shows the blink colour, 0 the normal colour.
class TRzBlinkingControlsList : public TObject {
public:
    TRzBlinkingControlsList();
    ~TRzBlinkingControlsList() override;
    const char* ClassName() const override { return "TRzBlinkingControlsList"; }
    void Add(TControl* Control);
    void Remove(TControl* Control);
    int Count() const;
    uint8_t Phase() const { return FPhase; }
    uint16_t IntervalOn() const { return FIntervalOn; }
    uint16_t IntervalOff() const { return FIntervalOff; }
    void SetIntervalOn(uint16_t v) { FIntervalOn = v; }
    void SetIntervalOff(uint16_t v) { FIntervalOff = v; }
    TTimer* Timer() const { return FTimer; }
    // The timer's tick: flips the phase and tells every blinking control.
    void Tick(TObject* Sender);

private:
    TTimer* FTimer;
    TList* FControls;
    uint8_t FPhase = 1;
    uint16_t FIntervalOn = 500, FIntervalOff = 500;
};
extern TRzBlinkingControlsList* BlinkingControlsList;
void ReleaseBlinkListIfEmpty();
