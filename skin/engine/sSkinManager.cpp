#include "sSkinManager.h"

#include <algorithm>
#include <cstdio>

#include "Forms.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "TypeInfo.h"
#include "acntUtilsWin.h"
#include "sCommonData.h"
#include "sSkinnedForms.h"

TsSkinManager* DefaultSkinManager = nullptr;
bool IsNTPlatform = false;
bool SkinLoading = false;
bool SkinBroadcasting = false;
bool SkinRemoving = false;

namespace {

// Until the dialog and menu skinning exists the hook only passes every
// event on; it is there so that its life follows the default manager.
LRESULT CALLBACK CreationHookProc(int Code, WPARAM WParam, LPARAM LParam) {
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

bool FileExists(const AnsiString& Name) {
    DWORD a = GetFileAttributesA(Name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
bool DirectoryExists(const AnsiString& Name) {
    DWORD a = GetFileAttributesA(Name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner) {
    FThirdParty = new TStringList;
    for (int i = 0; i < ThirdPartyCount; ++i) {
        FThirdParty->Add("");
        FThirdLists.push_back(new TStringList);
    }
    FSkinData = new TsSkinData;
    FCommonSections = new TStringList;
    if (!DefaultSkinManager) DefaultSkinManager = this;
    AfterConstruction();
}

void TsSkinManager::AfterConstruction() {
    LoadThirdPartyLists(false);
    if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
}

TsSkinManager::~TsSkinManager() {
    // Removal broadcast first, while the controls can still hear it; then
    // every skin state that held this manager forgets it.
    SetActive(false);
    TsCommonData::ForgetManager(this);
    FreeMasks();
    FreePatterns();
    StoreThirdPartyLists();
    for (TStringList* l : FThirdLists) delete l;
    delete FThirdParty;
    delete FCommonSections;
    delete FSkinData;
    // A manager that was the default once may still hold its hook.
    RemoveCreationHook();
    if (DefaultSkinManager == this) DefaultSkinManager = nullptr;
}

void TsSkinManager::Loaded() {
    TComponent::Loaded();
    if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
    LoadThirdPartyLists(false);
    if (FActive && !FSkinName.empty()) BroadcastNewSkin(false);
}

void TsSkinManager::LoadThirdPartyLists(bool Force) {
    for (int i = 0; i < ThirdPartyCount; ++i) {
        if (Force || FThirdParty->Strings(i).empty()) FThirdParty->SetString(i, ThirdPartyDefaults[i]);
        FThirdLists[size_t(i)]->SetText(FThirdParty->Strings(i));
    }
}

void TsSkinManager::StoreThirdPartyLists() {
    for (int i = 0; i < ThirdPartyCount; ++i) FThirdParty->SetString(i, FThirdLists[size_t(i)]->Text());
}

void TsSkinManager::SetIsDefault(bool Value) {
    // False while a default exists changes nothing (the only manager stays the default).
    if (!Value && DefaultSkinManager) return;
    DefaultSkinManager = this;
    if (!FActive) {
        BroadcastRemoveSkin();
    } else {
        BroadcastNewSkin(true);
        RepaintForms();
    }
}

void TsSkinManager::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        SetSkinName(FSkinName);
    } else {
        if (!(ComponentState() & csLoading)) BroadcastRemoveSkin();
        CacheCommonIndexes();
    }
}

void TsSkinManager::SetCommonSections(TStringList* Lines) {
    FCommonSections->Clear();
    if (Lines)
        for (int i = 0; i < Lines->Count(); ++i) {
            AnsiString s = Lines->Strings(i);
            if (!s.empty() && s[0] != ';') s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
            FCommonSections->Add(s);
        }
    SetSkinName(FSkinName);
}

void TsSkinManager::ReloadAdjustedSkin() {
    if (FSkinData->Values.SkinLoaded) {
        SkinLoading = true;
        FPackedSkinLoaded = FileExists(WithBackslash(FSkinDirectory) + FSkinName + ".asz");
        FPackedSkinLoaded ? LoadPackedSkin() : LoadFolderOrInternalSkin();
        SkinLoading = false;
        if (!(ComponentState() & (csLoading | csReading))) RepaintForms();
    }
}

void TsSkinManager::SetSaturation(int Value) {
    if (FSaturation == Value) return;
    FSaturation = Value;
    ReloadAdjustedSkin();
}

void TsSkinManager::SetHueOffset(int Value) {
    if (FHueOffset == Value) return;
    FHueOffset = Value;
    ReloadAdjustedSkin();
}

void TsSkinManager::SetSkinDirectory(const AnsiString& Value) {
    if (FSkinDirectory == Value) return;
    FSkinDirectory = Value;
    FSkinData->Values.SkinFolderPath = ResolveSkinDirectory();
}

void TsSkinManager::SetSkinName(const AnsiString& Value) {
    FSkinName = Value;
    if (!FActive) return;
    if (OnBeforeChange) OnBeforeChange(this);
    SkinLoading = true;
    FSkinData->Values.SkinLoaded = false;
    // The packed-file test takes the directory as written.
    FPackedSkinLoaded = FileExists(WithBackslash(FSkinDirectory) + Value + ".asz");
    if (FPackedSkinLoaded)
        LoadPackedSkin();
    else
        LoadFolderOrInternalSkin();
    if (!FActive)
        BroadcastRemoveSkin();
    else
        BroadcastNewSkin(true);
    SkinLoading = false;
    if (OnAfterChange) OnAfterChange(this);
}

AnsiString TsSkinManager::SkinInfo() const {
    if (!FSkinData->Values.SkinLoaded) return "N/A";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", FSkinData->Values.Version);
    AnsiString s = buf;
    std::replace(s.begin(), s.end(), ',', '.');
    return s;
}

// Reading skin descriptions, packed files and stored skins is not part of
// this engine yet: a load finds nothing, turns the manager off and leaves
// the tables empty, as for a folder without a skin.
bool TsSkinManager::LoadFolderOrInternalSkin() {
    if (!FActive) return false;
    FActive = false;
    return false;
}

bool TsSkinManager::LoadPackedSkin() {
    if (!FActive) return false;
    FActive = false;
    return false;
}

void TsSkinManager::InstallSkin(TsSkinTables&& Tables, const TsSkinValues& Values, TBitmap* Master) {
    FreeMasks();
    FreePatterns();
    FTables = std::move(Tables);
    for (TsMaskData& m : FTables.Masks) m.OwnerManager = this;
    FSkinData->Values = Values;
    FMasterBitmap = Master;
    FActive = true;
    CacheCommonIndexes();
}

void TsSkinManager::FreeMasks() {
    for (size_t i = FTables.Masks.size(); i-- > 0;) {
        delete FTables.Masks[i].Image;
        FTables.Masks[i].Image = nullptr;
    }
    FTables.Masks.clear();
    delete FMasterBitmap;
    FMasterBitmap = nullptr;
}

void TsSkinManager::FreePatterns() {
    for (size_t i = FTables.Patterns.size(); i-- > 0;) {
        delete FTables.Patterns[i].Image;
        FTables.Patterns[i].Image = nullptr;
    }
    FTables.Patterns.clear();
}

void TsSkinManager::BroadcastToAllForms(uint16_t Command) {
    TMessage m;
    m.Msg = SM_ALPHACMD;
    m.WParam = WPARAM(SkinWParam(Command));
    m.LParam = LPARAM(this);
    ::BroadcastToAllForms(m);
}

void TsSkinManager::BroadcastNewSkin(bool Repaint) {
    if (ComponentState() & (csLoading | csReading)) return;
    if (Repaint && !(ComponentState() & csDesigning)) LockFormsRedraw(this);
    FSkinData->Values.SkinLoaded = false;
    SkinBroadcasting = true;
    CacheCommonIndexes();
    BroadcastToAllForms(scNewSkin);
    SkinBroadcasting = false;
    FSkinData->Values.SkinLoaded = true;
    if (IsDefault()) InstallCreationHook();
    if (Repaint) RepaintForms();
}

void TsSkinManager::BroadcastRemoveSkin() {
    SkinRemoving = true;
    RemoveCreationHook();
    FSkinData->Values.SkinLoaded = false;
    BroadcastToAllForms(scRemoveSkin);
    FreeMasks();
    FreePatterns();
    FTables.Sections.clear();
    CacheCommonIndexes();
    SkinRemoving = false;
}

void TsSkinManager::RepaintForms() {
    if (!(ComponentState() & csDesigning)) BroadcastToAllForms(scBeforeRefresh);
    const bool loading = SkinLoading || (ComponentState() & csLoading);
    if (!loading) LockFormsRedraw(this);
    BroadcastToAllForms(scRefresh);
    if (!loading) UnlockFormsRedraw(this, true);
}

void TsSkinManager::InstallCreationHook() {
    if (!IsDefault() || (ComponentState() & csDesigning) || FHookInstalled) return;
    FHookInstalled = true;
    FHook = SetWindowsHookExW(WH_CBT, CreationHookProc, nullptr, GetCurrentThreadId());
}

void TsSkinManager::RemoveCreationHook() {
    if (!FHookInstalled) return;
    if (FHook) UnhookWindowsHookEx(FHook);
    FHook = nullptr;
    FHookInstalled = false;
}

int TsSkinManager::TextureIndex(int SectionIndex, const AnsiString& Section, const AnsiString& Key) const {
    try {
        return FTables.TextureIndex(SectionIndex, Section, Key);
    } catch (...) {
        return -1;
    }
}

int TsSkinManager::PatternIndex(int SectionIndex, const AnsiString& Section, const AnsiString& Key) const {
    try {
        return FTables.PatternIndex(SectionIndex, Section, Key);
    } catch (...) {
        return -1;
    }
}

TPoint TsSkinManager::MaskStateSize(int I) const {
    if (!IsValidMaskIndex(I)) return {0, 0};
    const TsMaskData& m = FTables.Masks[size_t(I)];
    return ::MaskStateSize(m, m.Image ? m.Image->Width() : 0, m.Image ? m.Image->Height() : 0);
}

int TsSkinManager::MaskMarginLeft(int I) const { return IsValidMaskIndex(I) ? ::MaskMarginLeft(FTables.Masks[size_t(I)]) : 0; }
int TsSkinManager::MaskMarginRight(int I) const { return IsValidMaskIndex(I) ? ::MaskMarginRight(FTables.Masks[size_t(I)]) : 0; }
int TsSkinManager::MaskMarginTop(int I) const { return IsValidMaskIndex(I) ? ::MaskMarginTop(FTables.Masks[size_t(I)]) : 0; }
int TsSkinManager::MaskMarginBottom(int I) const { return IsValidMaskIndex(I) ? ::MaskMarginBottom(FTables.Masks[size_t(I)]) : 0; }

TColor TsSkinManager::GlobalColor() const {
    const int i = FCommon.GlobalInfo;
    if (!FTables.IsValidSectionIndex(i)) return ColorToRGB(clBtnFace);
    return ColorToRGB(FTables.Sections[size_t(i)].Color);
}

TColor TsSkinManager::GlobalFontColor() const {
    const int i = FCommon.GlobalInfo;
    if (!FTables.IsValidSectionIndex(i)) return 0xFF00FF;
    return ColorToRGB(FTables.Sections[size_t(i)].FontColor[0]);
}

AnsiString TsSkinManager::ResolveDirectory(const AnsiString& V, const AnsiString& Folder) {
    AnsiString r;
    if (V.compare(0, 2, "..") == 0) {
        // The program's folder without its last separator, cut back to its parent.
        AnsiString f = Folder;
        if (!f.empty() && (f.back() == '\\' || f.back() == '/')) f.pop_back();
        const size_t cut = f.find_last_of("\\/");
        f = cut == AnsiString::npos ? AnsiString() : f.substr(0, cut + 1);
        r = f + (V.size() > 3 ? V.substr(3) : AnsiString());
    } else if (V.compare(0, 2, ".\\") == 0 || V.compare(0, 2, "./") == 0) {
        r = Folder + V.substr(2);
    } else if (V.find(':') == AnsiString::npos && V.find("\\\\") == AnsiString::npos) {
        r = Folder + V;
    } else {
        r = V;
    }
    if (r.empty() || r.back() != '\\') r += '\\';
    return r;
}

AnsiString TsSkinManager::ResolveSkinDirectory() const { return ResolveDirectory(FSkinDirectory, ProgramFolder()); }

AnsiString TsSkinManager::ListSkinNames(TStringList* List, int Kind) const {
    AnsiString first;
    std::vector<AnsiString> names;
    const AnsiString dir = ResolveSkinDirectory();
    if (DirectoryExists(dir)) {
        TSearchRec f;
        if (FindFirst(dir + "*.*", faAnyFile, f) == 0) {
            do {
                if (f.Name.empty() || f.Name[0] == '.') continue;
                const bool folder = (f.Attr & faDirectory) != 0;
                if (folder && (Kind == 0 || Kind == 2) && FileExists(dir + f.Name + "\\Options.dat")) {
                    names.push_back(f.Name);
                } else if (!folder && (Kind == 1 || Kind == 2) && f.Name.size() > 4 &&
                           f.Name.compare(f.Name.size() - 4, 4, ".asz") == 0) {
                    names.push_back(f.Name.substr(0, f.Name.find('.')));
                } else {
                    continue;
                }
                if (first.empty()) first = names.back();
            } while (FindNext(f) == 0);
            FindClose(f);
        }
    }
    std::sort(names.begin(), names.end());
    if (List) {
        List->Clear();
        for (const AnsiString& n : names) List->Add(n);
    }
    return first;
}

void TsSkinManager::SetHotWindow(HWND Wnd) {
    if (Wnd == FHotWindow) return;
    HWND old = FHotWindow;
    FHotWindow = Wnd;
    if (old && IsWindow(old)) SendMessageW(old, SM_ALPHACMD, WPARAM(SkinWParam(scMouseLeave)), LPARAM(this));
    if (Wnd && IsWindow(Wnd)) SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scMouseEnter)), LPARAM(this));
}

void TsSkinManager::Register() {
    RegisterComponentClass<TsSkinManager>("TsSkinManager", "TComponent")
        .Bool("SkinnedPopups", &TsSkinManager::SetSkinnedPopups)
        .Bool("IsDefault", &TsSkinManager::SetIsDefault)
        .Bool("Active", &TsSkinManager::SetActive)
        .Int("Saturation", &TsSkinManager::SetSaturation)
        .Int("HueOffset", &TsSkinManager::SetHueOffset)
        .Str("SkinDirectory", &TsSkinManager::SetSkinDirectory)
        .Str("SkinName", &TsSkinManager::SetSkinName)
        .Ignore("SkinInfo")
        .Ignore("Version")
        .Event("OnAfterChange", &TsSkinManager::OnAfterChange)
        .Event("OnBeforeChange", &TsSkinManager::OnBeforeChange);
}

void sSkinManagerInitialize() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    IsNTPlatform = GetVersionExA(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    TsSkinManager::Register();
}

void sSkinManagerFinalize() { IsNTPlatform = false; }
