// The skin manager component: holds one loaded skin's tables, answers the
// look-ups by section and key, tells every form of a new or removed skin with
// the engine message (holding the redraw of skinned forms while it repaints),
// tracks the window under the mouse, and, as the default manager, installs
// the window-creation hook of the GUI thread. The first manager made becomes
// DefaultSkinManager; without one, skinning stays passive.
#pragma once

#include <memory>

#include "Components.h"
#include "Controls.h"
#include "acMenuCache.h"
#include "sMessages.h"
#include "sSkinTables.h"
#include "sStoredSkins.h"
#include "sThirdParty.h"

class TsSkinManager;
class TacSkinConvertor;
class TacSkinIni;
struct TsSkinBuild;

extern TsSkinManager* DefaultSkinManager;
extern bool IsNTPlatform;
// Raised while a skin loads, while the new-skin broadcast runs, and while a
// skin is removed.
extern bool SkinLoading;
extern bool SkinBroadcasting;
extern bool SkinRemoving;

// What the dialog skinning lends the creation hook (the engine sits below
// it): set by that unit at its start, cleared at its end.
struct TacCreationHookSide {
    HOOKPROC Proc = nullptr;         // the hook procedure; nil: events only passed on
    void (*Installing)() = nullptr;  // the provider list made
    void (*Removed)() = nullptr;     // hooked menus and every provider freed
    void (*Repaint)() = nullptr;     // the visible providers' windows redrawn
    // An engine broadcast to the windows of the visible providers.
    void (*Broadcast)(TMessage& Message) = nullptr;
};
extern TacCreationHookSide CreationHookSide;

enum TacSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TacSkinningRules = unsigned;  // mask of 1 << TacSkinningRule

// The skin-data object: skin-wide values and the folder images come from.
class TsSkinData : public TObject {
public:
    const char* ClassName() const override { return "TsSkinData"; }
    TsSkinValues Values;
    bool Active() const { return Values.SkinLoaded; }
};

class TsSkinManager : public TComponent {
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;
    const char* ClassName() const override { return "TsSkinManager"; }
    void AfterConstruction();
    void Loaded() override;

    // ---- published settings
    bool SkinnedPopups() const { return FSkinnedPopups; }
    // A change hooks the menus again (the default manager, at run time).
    virtual void SetSkinnedPopups(bool Value);
    TacMenuSupport* MenuSupport() const { return FMenuSupport.get(); }
    bool IsDefault() const { return DefaultSkinManager == this; }
    virtual void SetIsDefault(bool Value);
    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TStringList* CommonSections() const { return FCommonSections.get(); }
    virtual void SetCommonSections(TStringList* Lines);
    int Saturation() const { return FSaturation; }
    virtual void SetSaturation(int Value);
    int HueOffset() const { return FHueOffset; }
    virtual void SetHueOffset(int Value);
    const AnsiString& SkinDirectory() const { return FSkinDirectory; }
    virtual void SetSkinDirectory(const AnsiString& Value);
    const AnsiString& SkinName() const { return FSkinName; }
    virtual void SetSkinName(const AnsiString& Value);
    // The loaded skin's version with '.' as decimal separator; "N/A" without one.
    AnsiString SkinInfo() const;
    TacSkinningRules SkinningRules() const { return FSkinningRules; }
    void SetSkinningRules(TacSkinningRules Value) { FSkinningRules = Value; }
    // The 17 class-name lists of foreign controls, one string each.
    ThirdPartyList* ThirdParty() const { return FThirdParty.get(); }
    // The parsed list of kind Index (0..16), one class name a line; nil outside.
    const TStringList* ThirdPartyClasses(int Index) const {
        return Index >= 0 && Index < int(FThirdLists.size()) ? FThirdLists[size_t(Index)].get() : nullptr;
    }
    TsStoredSkins* InternalSkins() const { return FInternalSkins.get(); }
    TacAnimEffects* AnimEffects() const { return FAnimEffects.get(); }
    static AnsiString Version() { return "6.10"; }

    TNotifyEvent OnAfterChange;
    TNotifyEvent OnBeforeChange;
    TacGetExtraLineData OnGetMenuExtraLineData;

    // The menu object (nil when the menu skinning unit has not started).
    TacMenuSkinner* SkinableMenus() const { return FSkinableMenus.get(); }
    // The default manager's hook of the application's window: theme changes
    // swallowed, the menu painter's requests for pop-up backgrounds served.
    bool MainWindowHook(TMessage& Message);

    // ---- the loaded skin
    TsSkinData* SkinData() const { return FSkinData.get(); }
    const TsSkinTables& Tables() const { return FTables; }
    const std::vector<TsGeneralData>& gd() const { return FTables.Sections; }
    const std::vector<TsMaskData>& ma() const { return FTables.Masks; }
    const TsCommonIndexes& ConstData() const { return FCommon; }
    TBitmap* MasterBitmap() const { return FMasterBitmap.get(); }
    const std::vector<TsPatternData>& pa() const { return FTables.Patterns; }
    bool PackedSkinLoaded() const { return FPackedSkinLoaded; }

    // ---- look-ups (-1: none)
    // The raw look-up: whether a skin has a section. Painters resolve.
    int SectionIndex(const AnsiString& Name) const { return FTables.SectionIndex(Name); }
    // The section a painter of Name uses: Name, the control kind's Default,
    // else GLOBALINFO (TsSkinTables::Resolve). None without a loaded skin.
    TsSection Resolve(const AnsiString& Name, const AnsiString& Default) const {
        return FTables.Resolve(Name, Default);
    }
    TsSection Resolve(std::initializer_list<AnsiString> Names) const { return FTables.Resolve(Names); }
    TsSection SectionAt(int Index) const { return FTables.SectionAt(Index); }
    // GLOBALINFO, which every loaded skin has.
    TsSection GlobalSection() const { return SectionAt(FCommon.GlobalInfo); }
    int MaskIndex(const AnsiString& Section, const AnsiString& Key) const { return FTables.MaskIndex(Section, Key); }
    int MaskIndexInherited(const TsSection& S, const AnsiString& Key) const {
        return FTables.MaskIndexInherited(S, Key);
    }
    int TextureIndex(const TsSection& S, const AnsiString& Key) const;
    int PatternIndex(const TsSection& S, const AnsiString& Key) const;
    bool IsValidMaskIndex(int I) const { return FTables.IsValidMaskIndex(I); }
    bool IsValidSectionIndex(int I) const { return FSkinData && FTables.IsValidSectionIndex(I); }
    TPoint MaskStateSize(int I) const;
    int MaskMarginLeft(int I) const;
    int MaskMarginRight(int I) const;
    int MaskMarginTop(int I) const;
    int MaskMarginBottom(int I) const;
    TColor GlobalColor() const;
    TColor GlobalFontColor() const;

    // Skin names: Kind 0 folders holding "Options.dat", 1 packed files, 2 both;
    // stored skins first, sorted. Answers the first name found.
    AnsiString ListSkinNames(TStringList* List, int Kind) const;
    // SkinDirectory resolved against the program's folder, with a trailing backslash.
    AnsiString ResolveSkinDirectory() const;

    // The window under the mouse: the previous one hears scMouseLeave, the new one scMouseEnter.
    void SetHotWindow(HWND Wnd);
    HWND HotWindow() const { return FHotWindow; }

    // ---- loading and broadcasting
    // Takes over a skin's tables and master bitmap (the common tail of every
    // loader) and rebuilds the cached indexes.
    void InstallSkin(TsSkinTables&& Tables, const TsSkinValues& Values, TBitmap* Master);
    // Each answers whether the tables were rebuilt. Missing skins turn Active
    // off; data that is no container shows a warning and changes nothing;
    // a malformed skin raises, the tables as they were.
    bool LoadFolderOrInternalSkin();
    bool LoadPackedSkin();
    void FreeMasks();
    void FreePatterns();
    void BroadcastNewSkin(bool Repaint);
    void BroadcastRemoveSkin();
    void RepaintForms();
    void CacheCommonIndexes();
    void LoadThirdPartyLists(bool Force);
    void StoreThirdPartyLists();
    bool HookInstalled() const { return FHookInstalled; }
    void InstallCreationHook();
    void RemoveCreationHook();
    // Sends the engine message with Command and the manager in lParam to every
    // unskinned form of the application and every listed skinned form, with
    // the controls inside them.
    void BroadcastToAllForms(uint16_t Command);

    static void Register();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {}

private:
    // The loaded skin, if any, loaded again under new colour adjustments.
    void ReloadAdjustedSkin();
    // The packed test and the loader of a skin name change.
    bool LoadByName();
    // The table builders over the skin text of a load, in this order.
    void LoadMasks(TsSkinBuild& B);
    void LoadPatterns(TsSkinBuild& B);
    void LoadSections(TsSkinBuild& B);
    void LoadStoredCollections(TsSkinBuild& B, const TsStoredSkin& Skin);
    // The hue and the saturation shift of a load, in this order, after its
    // section table is complete (an amount of 0 does nothing).
    void ApplyHueShift(TsSkinBuild& B, int Amount);
    void ApplySaturationShift(TsSkinBuild& B, int Amount);
    static void ShiftBuildColors(TsSkinBuild& B, int Hue, int Saturation);
    bool BuildFromText(TacSkinConvertor* Package, const AnsiString& Text, const AnsiString& FolderPath);
    // The three builders over a load's source (the common sections added),
    // then TakeBuild, which takes over what they built.
    bool RunBuild(TsSkinBuild& B);
    void TakeBuild(TsSkinBuild& B);

    bool FSkinnedPopups = true;
    bool FMainWindowHooked = false;
    std::unique_ptr<TacMenuSupport> FMenuSupport;
    std::unique_ptr<TacMenuSkinner> FSkinableMenus;
    bool FActive = true;
    std::unique_ptr<TStringList> FCommonSections;
    int FSaturation = 0, FHueOffset = 0;
    AnsiString FSkinDirectory = "c:\\Skins";
    AnsiString FSkinName;
    TacSkinningRules FSkinningRules = 7;
    std::unique_ptr<ThirdPartyList> FThirdParty;
    std::vector<std::unique_ptr<TStringList>> FThirdLists;
    std::unique_ptr<TsSkinData> FSkinData;
    std::unique_ptr<TsStoredSkins> FInternalSkins;
    std::unique_ptr<TacAnimEffects> FAnimEffects;
    TsSkinTables FTables;
    TsCommonIndexes FCommon;
    std::unique_ptr<TBitmap> FMasterBitmap;
    bool FPackedSkinLoaded = false;
    HWND FHotWindow = nullptr;
    bool FHookInstalled = false;
    HHOOK FHook = nullptr;
};

// An image of GLOBALINFO (or of what it inherits from) by key; -1 without a
// manager.
inline int GlobalMask(const TsSkinManager* M, const AnsiString& Key) {
    return M ? M->MaskIndexInherited(M->GlobalSection(), Key) : -1;
}

// Start-up step of the unit: notes whether the platform is Windows NT.
void sSkinManagerInitialize();
void sSkinManagerFinalize();
