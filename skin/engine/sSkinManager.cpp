#include "sSkinManager.h"

#include <algorithm>
#include <cstdio>

#include "Forms.h"
#include "Graphics.h"
#include "Guards.h"
#include "Jpeg.h"
#include "Menus.h"
#include "Text1251.h"
#include "TypeInfo.h"
#include "acMsgBox.h"
#include "acPNG.h"
#include "acSkinPack.h"
#include "acntUtilsWin.h"
#include "sCommonData.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinNames.h"
#include "sSkinText.h"
#include "sSkinnedForms.h"

TsSkinManager* DefaultSkinManager = nullptr;
bool IsNTPlatform = false;
bool SkinLoading = false;
bool SkinBroadcasting = false;
bool SkinRemoving = false;
TacCreationHookSide CreationHookSide;

// What one load builds before the manager takes it over: a load that raises
// leaves the manager's tables as they were, and frees what it made.
struct TsSkinBuild {
    const TacSkinIni* Ini = nullptr;        // the skin text; nullptr for stored collections
    const TsStoredSkin* Stored = nullptr;   // the stored skin without container bytes
    TacSkinConvertor* Package = nullptr;    // images from the container, else from Folder
    AnsiString Folder;                      // SkinFolderPath of the skin
    TacSkinIni Common;                      // the manager's common sections
    TsSkinTables Tables;
    TsSkinValues Values;
    std::unique_ptr<TBitmap> Master;

    TsSkinBuild() = default;
    TsSkinBuild(const TsSkinBuild&) = delete;
    TsSkinBuild& operator=(const TsSkinBuild&) = delete;
    ~TsSkinBuild() {
        for (TsMaskData& m : Tables.Masks) delete m.Image;
        for (TsPatternData& p : Tables.Patterns) delete p.Image;
    }
};

namespace {

// Without the dialog skinning in the program the hook only passes every
// event on; its life still follows the default manager.
LRESULT CALLBACK CreationHookProc(int Code, WPARAM WParam, LPARAM LParam) {
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

bool FileExists(const AnsiString& Name) {
    DWORD a = GetFileAttributesW(reinterpret_cast<LPCWSTR>(Cp1251ToUtf16(Name).c_str()));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
bool DirectoryExists(const AnsiString& Name) {
    DWORD a = GetFileAttributesW(reinterpret_cast<LPCWSTR>(Cp1251ToUtf16(Name).c_str()));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

AnsiString StreamText(const TMemoryStream& S) { return AnsiString(S.Bytes().begin(), S.Bytes().end()); }

// A file the skin names: the container entry of that upper-cased name, or
// the file in the skin's folder (Name itself when it holds a drive). Nil
// when there is none.
std::unique_ptr<TStream> OpenSkinFile(const TacSkinConvertor* Package, const AnsiString& Folder,
                                      const AnsiString& Name) {
    if (Package) {
        const TacImageItem* item = Package->Find(Name);
        if (!item) return nullptr;
        return std::make_unique<TReadOnlyMemoryStream>(item->Data->Bytes());
    }
    if (Name.find(':') == AnsiString::npos && Folder.empty()) return nullptr;
    const AnsiString path = Name.find(':') != AnsiString::npos ? Name : Folder + Name;
    if (!FileExists(path)) return nullptr;
    auto m = std::make_unique<TMemoryStream>();
    m->LoadFromFile(path);
    return m;
}

std::unique_ptr<TBitmap> ReadBitmap(TStream* S, TPixelFormat Format) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromStream(S);
    if (b->Width() == 0) return nullptr;
    if (Format != pfDevice) {
        b->SetHandleType(bmDIB);
        b->SetPixelFormat(Format);
    }
    return b;
}

// PNG with alpha: 32 bits a pixel, pure white cleared.
std::unique_ptr<TBitmap> ReadPngBitmap(TStream* S) {
    TPNGGraphic png;
    png.LoadFromStream(S);
    if (png.Width() == 0) return nullptr;
    auto b = std::make_unique<TBitmap>();
    b->Assign(&png);
    b->SetHandleType(bmDIB);
    b->SetPixelFormat(pf32bit);
    ClearWhitePixels32(b.get());
    return b;
}

void MakeMaster(TBitmap& B) {
    B.SetHandleType(bmDIB);
    B.SetPixelFormat(pf24bit);
    B.SetTransparentColor(TransparentKeyColor);
    B.SetTransparent(true);
}

bool HasText(const AnsiString& S, const char* Part) { return S.find(Part) != AnsiString::npos; }

// One entry of a master-bitmap form: only a rectangle that lies in it.
bool AddMasterPart(TsSkinBuild& B, const TacImageValue& V, const AnsiString& Section, const AnsiString& Key) {
    if (!B.Master || !RectInside(V.R, B.Master->Width(), B.Master->Height())) return false;
    B.Tables.Masks.push_back(MaskFromValue(V, Section, Key));
    return true;
}

// An own image entry; the rectangle is the whole image.
void AddOwnImage(TsSkinBuild& B, const TacImageValue& V, const AnsiString& Section, const AnsiString& Key,
                 std::unique_ptr<TBitmap> Image) {
    if (!Image) return;
    TacImageValue v = V;
    v.R = TRect{0, 0, Image->Width(), Image->Height()};
    TsMaskData m = MaskFromValue(v, Section, Key);
    m.Image = Image.release();
    B.Tables.Masks.push_back(std::move(m));
}

}  // namespace

TsSkinManager::TsSkinManager(TComponent* AOwner)
    : TComponent(AOwner),
      FCommonSections(std::make_unique<TStringList>()),
      FThirdParty(std::make_unique<ThirdPartyList>()),
      FSkinData(std::make_unique<TsSkinData>()),
      FInternalSkins(std::make_unique<TsStoredSkins>(this)),
      FAnimEffects(std::make_unique<TacAnimEffects>(this)) {
    FMenuSupport = std::make_unique<TacMenuSupport>();
    for (int i = 0; i < ThirdPartyCount; ++i) {
        FThirdParty->Set(i, "");
        FThirdLists.push_back(std::make_unique<TStringList>());
    }
    if (TacMenuSkinnerFactory make = MenuSkinnerFactory()) FSkinableMenus.reset(make(this));
    if (!DefaultSkinManager) {
        DefaultSkinManager = this;
        if (IsNTPlatform && !(ComponentState() & csDesigning) && Application) {
            Application->HookMainWindow(TWindowHook::Of<&TsSkinManager::MainWindowHook>(this));
            FMainWindowHooked = true;
        }
    }
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
    // The menus are unhooked by their object before the tables go.
    FSkinableMenus.reset();
    if (FMainWindowHooked && Application)
        Application->UnhookMainWindow(TWindowHook::Of<&TsSkinManager::MainWindowHook>(this));
    FMainWindowHooked = false;
    TsCommonData::ForgetManager(this);
    FreeMasks();
    FreePatterns();
    StoreThirdPartyLists();
    // A manager that was the default once may still hold its hook.
    RemoveCreationHook();
    if (DefaultSkinManager == this) DefaultSkinManager = nullptr;
}

void TsSkinManager::Loaded() {
    TComponent::Loaded();
    if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
    if (FMenuSupport->IcoLineSkin().empty()) FMenuSupport->SetIcoLineSkin("ICOLINE");
    LoadThirdPartyLists(false);
    if (FActive && !FSkinName.empty()) BroadcastNewSkin(false);
}

void TsSkinManager::LoadThirdPartyLists(bool Force) {
    for (int i = 0; i < ThirdPartyCount; ++i) {
        if (Force || FThirdParty->Get(i).empty()) FThirdParty->Set(i, ThirdPartyDefaults[i]);
        FThirdLists[size_t(i)]->SetText(FThirdParty->Get(i));
    }
}

void TsSkinManager::StoreThirdPartyLists() {
    for (int i = 0; i < ThirdPartyCount; ++i) FThirdParty->Set(i, FThirdLists[size_t(i)]->Text());
}

void TsSkinManager::SetIsDefault(bool Value) {
    // False while a default exists changes nothing (the only manager stays the default).
    if (!Value && DefaultSkinManager) return;
    TsSkinManager* was = DefaultSkinManager;
    DefaultSkinManager = this;
    // The creation hook is the default's: the old one gives it up with the
    // dialogs skinned under it, or its destruction would free those the new
    // default skins.
    if (was && was != this) was->RemoveCreationHook();
    if (!FActive) {
        BroadcastRemoveSkin();
    } else {
        BroadcastNewSkin(true);
        RepaintForms();
    }
}

void TsSkinManager::SetSkinnedPopups(bool Value) {
    if (FSkinnedPopups == Value) return;
    FSkinnedPopups = Value;
    // Turned off, the menus keep their hooks until they are hooked again.
    if (Value && !(ComponentState() & csDesigning) && IsDefault() && FSkinableMenus) FSkinableMenus->UpdateActive();
}

bool TsSkinManager::MainWindowHook(TMessage& M) {
    if (!FSkinnedPopups) return false;
    switch (M.Msg) {
    case WM_THEMECHANGED:
        M.Result = 0;
        return true;
    case acMenuItemPopupMsg: {
        // The item by its number: one freed since the post is not touched.
        TMenuItem* item = TMenuItem::FromCommand(UINT(M.LParam));
        M.Result = 0;
        if (!item || !item->Parent() || !item->Parent()->HandleAllocated()) return true;
        const HMENU menu = item->Parent()->Handle();
        int pos = 0;
        for (int i = 0; i < item->Parent()->Count() && item->Parent()->Items(i) != item; ++i)
            if (item->Parent()->Items(i)->Visible()) ++pos;
        RECT r;
        if (!GetMenuItemRect(nullptr, menu, UINT(pos), &r) && !GetMenuItemRect(PopupListWindow(), menu, UINT(pos), &r))
            return true;
        const HWND w = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        if (w && FSkinableMenus) FSkinableMenus->PreparePopupWindow(w, item);
        return true;
    }
    case acMenuWindowPopupMsg:
        M.Result = 0;
        if (M.LParam && FSkinableMenus) FSkinableMenus->PreparePopupWindow(reinterpret_cast<HWND>(M.LParam), nullptr);
        return true;
    default:
        return false;
    }
}

void TsSkinManager::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        SetSkinName(FSkinName);
    } else {
        if (!SkinLoading && !(ComponentState() & csLoading)) BroadcastRemoveSkin();
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

bool TsSkinManager::LoadByName() {
    // The packed-file test takes the directory as written.
    FPackedSkinLoaded = FileExists(WithBackslash(FSkinDirectory) + FSkinName + ".asz");
    return FPackedSkinLoaded ? LoadPackedSkin() : LoadFolderOrInternalSkin();
}

// A reload that finds the skin gone turns the manager off through the same
// removal as a name change, so no form keeps indexes into freed tables.
void TsSkinManager::ReloadAdjustedSkin() {
    if (!FSkinData->Values.SkinLoaded) return;
    {
        ValueRestorer<bool> loading(SkinLoading, true);
        LoadByName();
    }
    if (!FActive) {
        BroadcastRemoveSkin();
        return;
    }
    if (!(ComponentState() & (csLoading | csReading))) RepaintForms();
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

// A load that changes nothing (no container, or one that raised) keeps the
// skin that was there: its tables, its loaded state and its name, so that a
// later hue or saturation change reloads that skin.
void TsSkinManager::SetSkinName(const AnsiString& Value) {
    const AnsiString previous = FSkinName;
    FSkinName = Value;
    if (!FActive) return;
    if (OnBeforeChange) OnBeforeChange(this);
    const bool wasLoaded = FSkinData->Values.SkinLoaded;
    {
        ValueRestorer<bool> loading(SkinLoading, true);
        FSkinData->Values.SkinLoaded = false;
        ScopeExit keepLoaded([&] {
            FSkinData->Values.SkinLoaded = wasLoaded;
            if (wasLoaded) FSkinName = previous;
        });
        const bool rebuilt = LoadByName();
        if (!FActive || rebuilt) keepLoaded.Dismiss();
        if (!FActive)
            BroadcastRemoveSkin();
        else if (rebuilt)
            BroadcastNewSkin(true);
    }
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

// ---- loading ----------------------------------------------------------------------

bool TsSkinManager::LoadFolderOrInternalSkin() {
    if (!FActive) return false;
    const AnsiString dir = ResolveSkinDirectory();
    const AnsiString options = dir + FSkinName + "\\Options.dat";
    if (FileExists(options)) {
        FPackedSkinLoaded = false;
        TMemoryStream text;
        text.LoadFromFile(options);
        return BuildFromText(nullptr, StreamText(text), dir + FSkinName + "\\");
    }
    if (FInternalSkins->Count() == 0) {
        FActive = false;
        return false;
    }
    int i = FInternalSkins->IndexOf(FSkinName);
    if (i < 0) {
        i = 0;
        FSkinName = FInternalSkins->Items(0)->Name();
    }
    const TsStoredSkin& stored = *FInternalSkins->Items(i);
    if (stored.Data()->Size() > 0) {
        auto pack = std::make_unique<TacSkinConvertor>();
        pack->SourceStream = std::make_unique<TMemoryStream>();
        const std::vector<uint8_t>& bytes = stored.Data()->Bytes();
        pack->SourceStream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        if (!pack->Parse()) {
            ShowWarning(SNotPackedSkin);
            return false;
        }
        FPackedSkinLoaded = true;
        pack->SourceStream.reset();
        return BuildFromText(pack.get(), StreamText(*pack->OptionsStream), AnsiString());
    }
    TsSkinBuild b;
    b.Stored = &stored;
    return RunBuild(b);
}

bool TsSkinManager::LoadPackedSkin() {
    if (!FActive) return false;
    std::unique_ptr<TacSkinConvertor> pack;
    if (!LoadSkinPackage(WithBackslash(FSkinDirectory) + FSkinName + ".asz", pack, true)) {
        ShowWarning(SNotPackedSkin);
        return false;
    }
    return BuildFromText(pack.get(), StreamText(*pack->OptionsStream), ResolveSkinDirectory());
}

bool TsSkinManager::BuildFromText(TacSkinConvertor* Package, const AnsiString& Text, const AnsiString& FolderPath) {
    const TacSkinIni ini(Text);
    TsSkinBuild b;
    b.Ini = &ini;
    b.Package = Package;
    b.Folder = FolderPath;
    return RunBuild(b);
}

bool TsSkinManager::RunBuild(TsSkinBuild& B) {
    B.Common.SetText(FCommonSections->Text());
    LoadMasks(B);
    LoadPatterns(B);
    LoadSections(B);
    TakeBuild(B);
    return true;
}

void TsSkinManager::TakeBuild(TsSkinBuild& B) {
    FreeMasks();
    FreePatterns();
    FTables = std::move(B.Tables);
    B.Tables = TsSkinTables();
    for (TsMaskData& m : FTables.Masks) m.OwnerManager = this;
    const bool loaded = FSkinData->Values.SkinLoaded;
    FSkinData->Values = B.Values;
    FSkinData->Values.SkinLoaded = loaded;
    FMasterBitmap = std::move(B.Master);
    CacheCommonIndexes();
}

void TsSkinManager::LoadMasks(TsSkinBuild& B) {
    if (B.Stored) {
        LoadStoredCollections(B, *B.Stored);
    } else {
        const TacSkinIni& ini = *B.Ini;
        const AnsiString masterName = ini.ReadString("GLOBALINFO", "MASTERBITMAP", "");
        if (!masterName.empty())
            if (auto s = OpenSkinFile(B.Package, B.Folder, masterName)) {
                B.Master = ReadBitmap(s.get(), pf24bit);
                if (B.Master) MakeMaster(*B.Master);
            }
        for (const AnsiString& section : ini.DistinctSectionNames()) {
            const AnsiString upper = UpperCaseAscii(section);
            for (const TacSkinIni::Line& l : *ini.Lines(section)) {
                if (upper == "GLOBALINFO" && UpperCaseAscii(l.Name) == "MASTERBITMAP") continue;
                TacImageValue v;
                if (!ParseImageValue(l.Value, v)) continue;
                switch (v.Form) {
                    case TacImageForm::OwnFile: {
                        const bool png = HasText(v.FileName, ".PNG") && !HasText(v.FileName, ".BMP");
                        if (!png && !HasText(v.FileName, ".BMP")) break;
                        auto s = OpenSkinFile(B.Package, B.Folder, v.FileName);
                        if (!s) break;
                        AddOwnImage(B, v, section, l.Name,
                                    png ? ReadPngBitmap(s.get())
                                        : ReadBitmap(s.get(), v.ImgType == itisaTexture ? pfDevice : pf24bit));
                        break;
                    }
                    case TacImageForm::PlainFile:
                        if (auto s = OpenSkinFile(B.Package, B.Folder, v.FileName))
                            AddOwnImage(B, v, section, l.Name, ReadBitmap(s.get(), pf24bit));
                        break;
                    default: AddMasterPart(B, v, section, l.Name); break;
                }
            }
        }
    }
    // The common sections: parts of the master bitmap and bitmap files of
    // the skin folder, never of a container.
    const TacSkinIni& common = B.Common;
    for (const AnsiString& section : common.DistinctSectionNames()) {
        if (UpperCaseAscii(section) == "GLOBALINFO") continue;
        for (const TacSkinIni::Line& l : *common.Lines(section)) {
            TacImageValue v;
            if (HasText(l.Value, "#") && B.Master) {
                if (ParseImageValue(l.Value, v) && v.Form == TacImageForm::MasterPart)
                    AddMasterPart(B, v, section, l.Name);
            } else if (HasText(UpperCaseAscii(l.Value), ".BMP")) {
                v.Form = TacImageForm::PlainFile;
                v.ImageCount = 3, v.MaskType = 1, v.UpperNames = true;
                if (auto s = OpenSkinFile(nullptr, B.Folder, UpperCaseAscii(l.Value)))
                    AddOwnImage(B, v, section, l.Name, ReadBitmap(s.get(), pf24bit));
            }
        }
    }
}

void TsSkinManager::LoadPatterns(TsSkinBuild& B) {
    auto add = [&](const AnsiString& Section, const AnsiString& Key, std::unique_ptr<TStream> S, bool AnySize) {
        auto jpeg = std::make_unique<TJPEGImage>();
        jpeg->LoadFromStream(S.get());
        if (jpeg->Width() == 0) return;
        if (AnySize || int64_t(jpeg->Width()) * jpeg->Height() > 89999) {
            TsPatternData p;
            p.SectionName = UpperCaseAscii(Section);
            p.PropertyName = UpperCaseAscii(Key);
            p.Image = jpeg.release();
            B.Tables.Patterns.push_back(std::move(p));
            return;
        }
        // A small picture is a texture of the mask table.
        auto bmp = std::make_unique<TBitmap>();
        bmp->Assign(jpeg.get());
        bmp->SetHandleType(bmDIB);
        bmp->SetPixelFormat(pf24bit);
        TsMaskData m;
        m.SectionName = UpperCaseAscii(Section);
        m.PropertyName = UpperCaseAscii(Key);
        m.ImgType = itisaTexture;
        m.ImageCount = 1;
        m.Image = bmp.release();
        B.Tables.Masks.push_back(std::move(m));
    };
    if (B.Ini) {
        for (const AnsiString& section : B.Ini->DistinctSectionNames())
            for (const TacSkinIni::Line& l : *B.Ini->Lines(section))
                if (IsJpegValue(l.Value))
                    if (auto s = OpenSkinFile(B.Package, B.Folder, UpperCaseAscii(l.Value)))
                        add(section, l.Name, std::move(s), false);
    }
    const TacSkinIni& common = B.Common;
    for (const AnsiString& section : common.DistinctSectionNames())
        for (const TacSkinIni::Line& l : *common.Lines(section))
            if (IsJpegValue(l.Value))
                if (auto s = OpenSkinFile(nullptr, B.Folder, UpperCaseAscii(l.Value))) add(section, l.Name, std::move(s), true);
}

void TsSkinManager::LoadSections(TsSkinBuild& B) {
    if (B.Ini) {
        for (const AnsiString& section : B.Ini->DistinctSectionNames())
            B.Tables.Sections.push_back(ReadSectionData(*B.Ini, section, ColorToRGB));
        B.Values = ReadSkinValues(*B.Ini);
    }
    B.Values.SkinFolderPath = B.Folder;
    MergeCommonSections(B.Tables.Sections, B.Common, ColorToRGB);
    ApplyHueShift(B, FHueOffset);
    ApplySaturationShift(B, SaturationAmount(FSaturation));
}

// Every colour of the sections and skin values, every pixel of the master
// bitmap and the own images (the key colour and greys stay).
void TsSkinManager::ShiftBuildColors(TsSkinBuild& B, int Hue, int Saturation) {
    if (Hue == 0 && Saturation == 0) return;
    ShiftSkinColors(B.Tables.Sections, B.Values, Hue, Saturation);
    if (B.Master) ShiftBitmapColors(B.Master.get(), Hue, Saturation);
    for (TsMaskData& m : B.Tables.Masks)
        if (m.Image) ShiftBitmapColors(m.Image, Hue, Saturation);
}

void TsSkinManager::ApplyHueShift(TsSkinBuild& B, int Amount) { ShiftBuildColors(B, Amount, 0); }

void TsSkinManager::ApplySaturationShift(TsSkinBuild& B, int Amount) { ShiftBuildColors(B, 0, Amount); }

void TsSkinManager::LoadStoredCollections(TsSkinBuild& B, const TsStoredSkin& S) {
    if (!S.MasterBitmap()->Empty()) {
        B.Master = std::make_unique<TBitmap>();
        B.Master->Assign(S.MasterBitmap());
        MakeMaster(*B.Master);
    }
    for (int i = 0; i < S.Images()->Count(); ++i) {
        const TsSkinImage& it = *S.Images()->Items(i);
        TacImageValue v;
        v.Form = it.Name.empty() ? TacImageForm::MasterPart : TacImageForm::OwnFile;
        v.R = TRect{it.Left, it.Top, it.Right, it.Bottom};
        v.ImageCount = it.ImageCount == 0 ? 3 : it.ImageCount;
        v.MaskType = it.ImageCount == 0 ? 1 : it.MaskType;
        v.BorderWidth = it.BorderWidth, v.StretchMode = it.StretchMode, v.ImgType = it.ImgType;
        v.WL = it.WL, v.WT = it.WT, v.WR = it.WR, v.WB = it.WB;
        v.MarginsGiven = true;
        v.UpperNames = true;
        if (v.Form == TacImageForm::MasterPart) {
            AddMasterPart(B, v, it.SectionName, it.PropertyName);
        } else if (!it.Image()->Empty()) {
            auto copy = std::make_unique<TBitmap>();
            copy->Assign(it.Image());
            copy->SetHandleType(bmDIB);
            copy->SetPixelFormat(pf24bit);
            AddOwnImage(B, v, it.SectionName, it.PropertyName, std::move(copy));
        }
    }
    for (int i = 0; i < S.Patterns()->Count(); ++i) {
        const TsSkinPattern& it = *S.Patterns()->Items(i);
        const TJPEGImage* image = it.Image();
        for (int j = 0; image->Empty() && j < S.Patterns()->Count(); ++j)
            if (S.Patterns()->Items(j)->Name == it.Name && !S.Patterns()->Items(j)->Image()->Empty())
                image = S.Patterns()->Items(j)->Image();
        if (image->Empty()) continue;
        TsPatternData p;
        p.SectionName = UpperCaseAscii(it.SectionName);
        p.PropertyName = UpperCaseAscii(it.PropertyName);
        p.Image = new TJPEGImage;
        p.Image->Assign(const_cast<TJPEGImage*>(image));
        B.Tables.Patterns.push_back(std::move(p));
    }
    for (int i = 0; i < S.GeneralData()->Count(); ++i) {
        const TsSkinGeneral& it = *S.GeneralData()->Items(i);
        TsGeneralData g;
        g.SectionName = it.SectionName, g.ParentClass = it.ParentClass, g.Color = it.Color;
        g.ReservedBoolean = it.ReservedBoolean, g.GiveOwnFont = it.GiveOwnFont;
        ParseFontColors(it.FontColor, g.FontColor);
        ParseFontColors(it.HotFontColor, g.HotFontColor);
        g.Transparency = it.Transparency, g.GlowCount = it.GlowCount, g.GlowMargin = it.GlowMargin;
        g.GradientPercent = it.GradientPercent, g.GradientData = it.GradientData;
        ParseGradientData(g.GradientData, g.GradientBands);
        g.ImagePercent = it.ImagePercent, g.ShowFocus = it.ShowFocus, g.FadingEnabled = it.FadingEnabled;
        g.FadingIterations = it.FadingIterations, g.HotColor = it.HotColor, g.HotTransparency = it.HotTransparency;
        g.HotGradientPercent = it.HotGradientPercent, g.HotGradientData = it.HotGradientData;
        ParseGradientData(g.HotGradientData, g.HotGradientBands);
        g.HotImagePercent = it.HotImagePercent;
        B.Tables.Sections.push_back(std::move(g));
    }
    B.Values.Version = S.Version, B.Values.Author = S.Author, B.Values.Description = S.Description;
    B.Values.Shadow1Color = S.Shadow1Color, B.Values.Shadow1Offset = S.Shadow1Offset;
    B.Values.Shadow1Blur = S.Shadow1Blur, B.Values.Shadow1Transparency = S.Shadow1Transparency;
    B.Values.BorderColor = S.BorderColor;
}

void TsSkinManager::CacheCommonIndexes() {
    // Every skin, however it came, has GLOBALINFO colours to fall back on.
    FTables.EnsureGlobalInfo(ColorToRGB(clBtnFace), ColorToRGB(clBtnText));
    FCommon = FTables.CacheCommonIndexes();
}

void TsSkinManager::InstallSkin(TsSkinTables&& Tables, const TsSkinValues& Values, TBitmap* Master) {
    FreeMasks();
    FreePatterns();
    FTables = std::move(Tables);
    for (TsMaskData& m : FTables.Masks) m.OwnerManager = this;
    FSkinData->Values = Values;
    FMasterBitmap.reset(Master);
    FActive = true;
    CacheCommonIndexes();
}

void TsSkinManager::FreeMasks() {
    for (size_t i = FTables.Masks.size(); i-- > 0;) {
        delete FTables.Masks[i].Image;
        FTables.Masks[i].Image = nullptr;
    }
    FTables.Masks.clear();
    FMasterBitmap.reset();
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
    const bool lock = Repaint && !(ComponentState() & csDesigning);
    if (lock) LockFormsRedraw(this);
    if (FSkinableMenus) FSkinableMenus->ResetSkinBorderWidth();
    FSkinData->Values.SkinLoaded = false;
    SkinBroadcasting = true;
    CacheCommonIndexes();
    BroadcastToAllForms(scNewSkin);
    SkinBroadcasting = false;
    FSkinData->Values.SkinLoaded = true;
    if (IsDefault()) InstallCreationHook();
    if (FSkinableMenus) FSkinableMenus->UpdateActive();
    if (!Repaint) return;
    RepaintForms();
    // While a skin loads, the repaint neither locks nor unlocks: the lock
    // taken above is given back here, or the forms stay frozen and the fade
    // flag up (and every skinned window skips its painting).
    if ((SkinLoading || (ComponentState() & csLoading)) && !(ComponentState() & csDesigning)) {
        UnlockFormsRedraw(this, true);
        // The dialogs were repainted while the fade held every wrapper's
        // painting back: their children would stay covered.
        if (CreationHookSide.Repaint) CreationHookSide.Repaint();
    }
}

void TsSkinManager::BroadcastRemoveSkin() {
    SkinRemoving = true;
    RemoveCreationHook();
    FSkinData->Values.SkinLoaded = false;
    BroadcastToAllForms(scRemoveSkin);
    if (FSkinableMenus) FSkinableMenus->UpdateActive();
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
    if (OutputWindow && OutputWindow->HandleAllocated())
        SendEngineCommandToHandle(OutputWindow->HandleIfAllocated(), scRefresh, LPARAM(this));
    if (!loading) UnlockFormsRedraw(this, true);
    if (CreationHookSide.Repaint) CreationHookSide.Repaint();
}

void TsSkinManager::InstallCreationHook() {
    if (!IsDefault() || (ComponentState() & csDesigning) || FHookInstalled) return;
    FHookInstalled = true;
    if (CreationHookSide.Installing) CreationHookSide.Installing();
    FHook = SetWindowsHookExW(WH_CBT, CreationHookSide.Proc ? CreationHookSide.Proc : CreationHookProc, nullptr,
                              GetCurrentThreadId());
}

void TsSkinManager::RemoveCreationHook() {
    if (!FHookInstalled) return;
    // Unhooked first: freeing the providers destroys nothing, but a wrapper
    // given back may repaint, and no new provider may come of it.
    if (FHook) UnhookWindowsHookEx(FHook);
    FHook = nullptr;
    FHookInstalled = false;
    if (CreationHookSide.Removed) CreationHookSide.Removed();
}

int TsSkinManager::TextureIndex(const TsSection& S, const AnsiString& Key) const {
    try {
        return FTables.TextureIndex(S, Key);
    } catch (...) {
        return -1;
    }
}

int TsSkinManager::PatternIndex(const TsSection& S, const AnsiString& Key) const {
    try {
        return FTables.PatternIndex(S, Key);
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
    if (!FTables.IsValidSectionIndex(i)) return TransparentKeyColor;
    return ColorToRGB(FTables.Sections[size_t(i)].FontColor[0]);
}

AnsiString TsSkinManager::ResolveSkinDirectory() const { return ResolveSkinFolder(FSkinDirectory, ProgramFolder()); }

AnsiString TsSkinManager::ListSkinNames(TStringList* List, int Kind) const {
    std::vector<AnsiString> stored;
    for (int i = 0; i < FInternalSkins->Count(); ++i) stored.push_back(FInternalSkins->Items(i)->Name());
    std::vector<TacDirEntry> entries;
    const AnsiString dir = ResolveSkinDirectory();
    if (DirectoryExists(dir)) {
        TSearchRec f;
        if (FindFirst(dir + "*.*", faAnyFile, f) == 0) {
            do {
                const bool folder = (f.Attr & faDirectory) != 0;
                entries.push_back({f.Name, folder, folder && FileExists(dir + f.Name + "\\Options.dat")});
            } while (FindNext(f) == 0);
            FindClose(f);
        }
    }
    AnsiString first;
    const std::vector<AnsiString> names = SkinNamesOf(stored, entries, Kind, first);
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
    RegisterStoredSkinClasses();
    RegisterPersistentClass<TacMenuSupport>("TacMenuSupport")
        .Str("IcoLineSkin", &TacMenuSupport::IcoLineSkin, &TacMenuSupport::SetIcoLineSkin)
        .Bool("UseExtraLine", &TacMenuSupport::UseExtraLine, &TacMenuSupport::SetUseExtraLine)
        .Int("ExtraLineWidth", &TacMenuSupport::ExtraLineWidth, &TacMenuSupport::SetExtraLineWidth)
        .Object("ExtraLineFont", &TacMenuSupport::ExtraLineFont, "TFont");
    const TEnumInfo& rules = RegisterEnum(
        "TacSkinningRules",
        {{"srStdForms", 1 << srStdForms}, {"srStdDialogs", 1 << srStdDialogs}, {"srThirdParty", 1 << srThirdParty}});
    RegisterComponentClass<TsSkinManager>("TsSkinManager", "TComponent")
        .Bool("SkinnedPopups", &TsSkinManager::SkinnedPopups, &TsSkinManager::SetSkinnedPopups)
        .Object("MenuSupport", &TsSkinManager::MenuSupport, "TacMenuSupport")
        .Object("AnimEffects", &TsSkinManager::AnimEffects, "TacAnimEffects")
        .Object("CommonSections", &TsSkinManager::CommonSections, "TStringList")
        .Collection("InternalSkins", &TsSkinManager::InternalSkins)
        .Set("SkinningRules", &TsSkinManager::SkinningRules, &TsSkinManager::SetSkinningRules, rules)
        .Object("ThirdParty", &TsSkinManager::ThirdParty, "ThirdPartyList")
        .Bool("IsDefault", &TsSkinManager::SetIsDefault)
        .Bool("Active", &TsSkinManager::SetActive)
        .Int("Saturation", &TsSkinManager::SetSaturation)
        .Int("HueOffset", &TsSkinManager::SetHueOffset)
        .Str("SkinDirectory", &TsSkinManager::SetSkinDirectory)
        .Str("SkinName", &TsSkinManager::SetSkinName)
        .Ignore("SkinInfo")
        .Ignore("Version")
        .Event("OnAfterChange", &TsSkinManager::OnAfterChange)
        .Event("OnBeforeChange", &TsSkinManager::OnBeforeChange)
        .Event("OnGetMenuExtraLineData", &TsSkinManager::OnGetMenuExtraLineData);
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
