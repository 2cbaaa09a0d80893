// The skin state every skinned control, wrapper and form provider owns: its
// section, the indexes of that section, border mask and textures in its
// manager's tables (-1 for none), a cache bitmap of its skinned image, the
// flags of its update and hover cycle, and the shared handler of the engine
// message and of the window messages skinned controls treat alike. Without a
// manager every query answers "not skinned" and the state only follows focus
// and hover and asks for repaints.
#pragma once

#include "Controls.h"
#include "Graphics.h"
#include "sConst.h"
#include "sMessages.h"
#include "sSkinTables.h"

class TsSkinManager;

// What a control asks its parent for with scGetBackground.
struct BackgroundInfo {
    TBitmap* Bmp = nullptr;
    TColor Color = TransparentKeyColor;
    int X = 0, Y = 0;
    TRect R;
    uint8_t BgType = 0;  // 0 none, 1 colour, 2 image
    bool PleaseDraw = false;
    HDC DrawDC = nullptr;
};

// Type codes the owner sets; the skinned scroll bar's.
constexpr int COC_TsScrollBar = 142;

class TsCommonData : public TPersistent {
public:
    TsCommonData(TPersistent* AOwner, bool CreateCacheBmp);
    ~TsCommonData() override;
    const char* ClassName() const override { return "TsCommonData"; }

    // ---- published
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value);
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value);
    // Own manager, else the default one.
    TsSkinManager* SkinManager() const;
    void WriteSkinManager(TsSkinManager* M);
    const AnsiString& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const AnsiString& Value);

    // ---- state
    int GlowHandle = -1;
    bool UpdatingFlag = false;
    TsSkinManager* OwnManager = nullptr;
    int BorderMaskNo = -1;
    int SkinSectionNo = -1;
    int PatternNo = -1;
    int HotPatternNo = -1;
    TObject* LinkedObject = nullptr;
    bool HaltFlag = false;
    bool BackgroundDirty = true;
    bool ReadyFlag = true;
    TControl* OwnerControl = nullptr;
    TPersistent* OwnerObject = nullptr;
    TBitmap* CacheBitmap = nullptr;
    int ControlTypeCode = 0;
    bool FocusFlag = false;
    bool HoverFlag = false;
    uint16_t OpacityBits = 0;
    uint16_t FillKind = 0;

    // ---- operations
    bool IsSkinned(bool CheckActive = false) const;
    void ResolveIndexes();
    void EnsureSection();
    void ApplyLoaded();
    void SetUpdating(bool Flag) { UpdatingFlag = Flag; }
    bool IsUpdating() const;
    void BeginUpdateCycle();
    void EndUpdateCycle();
    void Invalidate();
    void PrepareCacheBitmap();
    int MaxMargin() const;
    bool HasTransparency() const;
    void UpdateFillFlags();
    bool IsComplexBackground() const;
    void UpdateOpacity(bool Recurse);
    bool NeedsRepaint() const;
    bool IsActiveState() const;
    bool NeedsParentRepaint() const;
    TColor BackgroundColor(int State = 0, HWND Handle = nullptr) const;
    void FillBackgroundInfo(BackgroundInfo& Info, int State = 0, HWND Handle = nullptr);
    CacheInfo ParentBackgroundInfo() const;

    // The shared handlers; each answers whether the message was handled.
    bool HandleEngineCommand(TMessage& Message);
    bool HandleControlMessage(TMessage& Message);

    // The section of the skin, when skinned.
    const TsGeneralData* Section() const;
    // The section the resolver chose for this state, under its own name (not
    // the wanted one, which the skin may lack): what every painter takes.
    TsSection Resolved() const;
    // Every live skin state that holds M forgets it (M is being destroyed).
    static void ForgetManager(TsSkinManager* M);

private:
    void TellOwner(uint16_t Command, TsSkinManager* M);
    bool OwnerBusy() const;
    AnsiString FSkinSection;
    bool FCustomFont = false;
    bool FCustomColor = false;
};

// Copies TargetRect of the cache (from SourceRect's top left) into DC, leaving
// out the children the copy must not cover: windowless ones and opaque ones,
// each shifted by (OffsetX, OffsetY). Repair first repaints the cache's four
// corners over the parent's background.
void PaintChildControls(TWinControl* Control, TsCommonData* Data, const TRect& SourceRect, int OffsetY,
                        int OffsetX, bool Repair, HDC DC, const TRect& TargetRect);
// The same over the visible child windows of a window; a group-box window
// leaves out only its frame when a default manager gives its margins.
void PaintChildWindows(HWND Wnd, TsCommonData* Data, const TRect& SourceRect, int OffsetY, int OffsetX,
                       bool Repair, HDC DC, const TRect& TargetRect);

// Sizes a cache bitmap to the control (24 bits a pixel, device-independent).
void InitCacheBitmap(TsCommonData* Data);
// The section index a control's text takes its font colour from: the
// parent chain's first section that gives its font, else Default.
int FindFontSectionIndex(TControl* Control, int Default, TsSkinManager* Manager);
CacheInfo WindowParentBackgroundInfo(HWND Handle);
// The engine message to a control: by its window when it has one, else
// performed. Answers the result.
LRESULT SendAlphaCommand(TControl* Control, uint16_t Command, uint16_t Argument = 0, LPARAM LParam = 0);
