// The frame controller, which pushes one set of framing settings to its
// linked controls, and the settings-file component.
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "Controls.h"
#include "RzCommon.h"
#include "RzRegister.h"
#include "TypeInfo.h"
#include "WinText.h"

const TEnumInfo& FrameControllerNotificationsInfo() {
    static const TEnumInfo& e = RegisterEnum(
        "TRzFrameControllerNotifications",
        {{"fcpColor", 1 << fcpColor}, {"fcpFocusColor", 1 << fcpFocusColor},
         {"fcpDisabledColor", 1 << fcpDisabledColor}, {"fcpReadOnlyColor", 1 << fcpReadOnlyColor},
         {"fcpReadOnlyColorOnFocus", 1 << fcpReadOnlyColorOnFocus}, {"fcpParentColor", 1 << fcpParentColor},
         {"fcpFlatButtonColor", 1 << fcpFlatButtonColor}, {"fcpFlatButtons", 1 << fcpFlatButtons},
         {"fcpFrameColor", 1 << fcpFrameColor}, {"fcpFrameHotColor", 1 << fcpFrameHotColor},
         {"fcpFrameHotTrack", 1 << fcpFrameHotTrack}, {"fcpFrameHotStyle", 1 << fcpFrameHotStyle},
         {"fcpFrameSides", 1 << fcpFrameSides}, {"fcpFrameStyle", 1 << fcpFrameStyle},
         {"fcpFrameVisible", 1 << fcpFrameVisible}, {"fcpFramingPreference", 1 << fcpFramingPreference}});
    return e;
}

namespace {
FormValue SetValue(const TEnumInfo& Elements, unsigned Bits) {
    FormValue v;
    v.Kind = FormValueKind::Set;
    for (const auto& [name, mask] : Elements.Values)
        if (Bits & unsigned(mask)) v.Set.push_back(name);
    return v;
}

HKEY RootKey(TRzRegKey k) {
    switch (k) {
    case hkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case hkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case hkeyUsers: return HKEY_USERS;
    case hkeyPerformanceData: return HKEY_PERFORMANCE_DATA;
    case hkeyCurrentConfig: return HKEY_CURRENT_CONFIG;
    case hkeyDynData: return HKEY(ULONG_PTR(0x80000006));
    default: return HKEY_CURRENT_USER;
    }
}

// The registry refuses a path with a leading backslash.
std::wstring RegistryPath(const AnsiString& p) {
    std::wstring w = ToWide(p);
    size_t i = 0;
    while (i < w.size() && w[i] == L'\\') ++i;
    return w.substr(i);
}

AnsiString ReadOpenKeyString(HKEY key, const std::wstring& Name, const AnsiString& Default) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return Default;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return Default;
    // The value may grow between the two calls: ask again until it fits.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, 0);
        DWORD got = DWORD((buf.size() - 1) * sizeof(wchar_t));
        LONG rc = RegQueryValueExW(key, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return Default;
        size_t n = std::min<size_t>(got / sizeof(wchar_t), buf.size() - 1);
        while (n > 0 && buf[n - 1] == 0) --n;  // stored terminators
        return FromWide(std::wstring(buf.data(), n));
    }
    return Default;
}
}  // namespace

AnsiString RzReadRegistryString(HKEY Root, const std::wstring& Path, const std::wstring& Name,
                                const AnsiString& Default) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Root, Path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return Default;
    AnsiString r = ReadOpenKeyString(key, Name, Default);
    RegCloseKey(key);
    return r;
}

// ======================================================================
// TRzRegIniFile

TRzRegIniFile::TRzRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}

TRzRegIniFile::~TRzRegIniFile() {
    if (FRegistry) RegCloseKey(FRegistry);
}

void TRzRegIniFile::Changed() {
    FRefreshPending = true;
    if (FRegistry) RegCloseKey(FRegistry);
    FRegistry = nullptr;
    FOpenedKey.clear();
}

void TRzRegIniFile::SetPath(const AnsiString& v) {
    if (v == FPath) return;
    FPath = v;
    Changed();
}
void TRzRegIniFile::SetPathType(TRzPathType v) {
    if (v == FPathType) return;
    FPathType = v;
    Changed();
}
void TRzRegIniFile::SetRegKey(TRzRegKey v) {
    if (v == FRegKey) return;
    FRegKey = v;
    Changed();
}
void TRzRegIniFile::SetRegAccess(TRzRegAccess v) {
    if (v == FRegAccess) return;
    FRegAccess = v;
    Changed();
}
void TRzRegIniFile::SetSpecialFolder(TRzSpecialFolder v) {
    if (v == FSpecialFolder) return;
    FSpecialFolder = v;
    Changed();
}

AnsiString TRzRegIniFile::FullPath() const {
    if (FPathType == ptRegistry || FSpecialFolder == sfNone) return FPath;
    int csidl = FSpecialFolder == sfUserAppDataRoaming ? CSIDL_APPDATA
                : FSpecialFolder == sfUserAppDataLocal ? CSIDL_LOCAL_APPDATA
                : FSpecialFolder == sfUserDocuments    ? CSIDL_PERSONAL
                                                       : CSIDL_COMMON_APPDATA;
    wchar_t dir[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, dir))) return FPath;
    AnsiString base = FromWide(dir);
    if (FPath.empty()) return base;
    if (!base.empty() && base.back() != '\\' && FPath.front() != '\\') base += '\\';
    return base + FPath;
}

AnsiString TRzRegIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                     const AnsiString& Default) {
    FRefreshPending = false;
    if (FPathType == ptIniFile) {
        // Grows the buffer until the whole value fits.
        std::wstring file = ToWide(FullPath()), sec = ToWide(Section), key = ToWide(Ident);
        std::wstring def = ToWide(Default);
        for (DWORD cap = 256; cap <= (1u << 24); cap *= 4) {
            std::vector<wchar_t> buf(cap, 0);
            DWORD n = GetPrivateProfileStringW(sec.c_str(), key.c_str(), def.c_str(), buf.data(), cap, file.c_str());
            if (n < cap - 2) return FromWide(std::wstring(buf.data(), n));
        }
        return Default;
    }
    AnsiString keyPath = FPath;
    if (!Section.empty()) keyPath += (keyPath.empty() || keyPath.back() == '\\' ? "" : "\\") + Section;
    if (!FRegistry || FOpenedKey != keyPath) {
        if (FRegistry) RegCloseKey(FRegistry);
        FRegistry = nullptr;
        FOpenedKey.clear();
        if (RegOpenKeyExW(RootKey(FRegKey), RegistryPath(keyPath).c_str(), 0, KEY_QUERY_VALUE, &FRegistry) !=
            ERROR_SUCCESS) {
            FRegistry = nullptr;
            return Default;
        }
        FOpenedKey = keyPath;
    }
    return ReadOpenKeyString(FRegistry, ToWide(Ident), Default);
}

// ======================================================================
// TRzFrameController

TRzFrameController::TRzFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TRzFrameController::~TRzFrameController() {
    // Linked controls hear of the removal through their free notification.
    delete FControls;
    FControls = nullptr;
}

int TRzFrameController::LinkCount() const { return FControls ? FControls->Count() : 0; }

void TRzFrameController::LinkControl(TControl* Control) {
    if (!Control) return;
    if (!FControls) FControls = new TList;
    if (FControls->IndexOf(Control) >= 0) return;
    FControls->Add(Control);
    PushToControl(Control, fcpAll);
}

void TRzFrameController::UnlinkControl(TControl* Control) {
    if (!FControls) return;
    FControls->Remove(Control);
    if (FControls->Count() == 0) {
        delete FControls;
        FControls = nullptr;
    }
}

void TRzFrameController::ReleasePushes() {
    --FUpdateCount;
    if (FUpdateCount <= 0) {
        FUpdateCount = 0;
        PushToAll(fcpAll);
    }
}

void TRzFrameController::PushToAll(TRzFrameControllerProperty Property) {
    if (FUpdateCount > 0 || !FControls) return;
    // A copy: a push may make a control leave.
    std::vector<TControl*> list;
    for (int i = 0; i < FControls->Count(); ++i) list.push_back(static_cast<TControl*>(FControls->Get(i)));
    for (TControl* c : list)
        if (FControls && FControls->IndexOf(c) >= 0) PushToControl(c, Property);
}

void TRzFrameController::SetByName(TControl* Control, TRzFrameControllerNotifications N,
                                   TRzFrameControllerProperty P) {
    static const char* const names[] = {
        "Color", "FocusColor", "DisabledColor", "ReadOnlyColor", "ReadOnlyColorOnFocus", "ParentColor",
        "FlatButtonColor", "FlatButtons", "FrameColor", "FrameHotColor", "FrameHotTrack", "FrameHotStyle",
        "FrameSides", "FrameStyle", "FrameVisible", "FramingPreference"};
    if (P >= fcpAll || !HasNotification(N, P)) return;
    const TClassInfo* info = FindClassInfo(Control->ClassName());
    if (!info || !info->FindProp(names[P])) return;
    FormValue v;
    switch (P) {
    case fcpColor: v = FormValue::MakeInt(FColor); break;
    case fcpFocusColor: v = FormValue::MakeInt(FFocusColor); break;
    case fcpDisabledColor: v = FormValue::MakeInt(FDisabledColor); break;
    case fcpReadOnlyColor: v = FormValue::MakeInt(FReadOnlyColor); break;
    case fcpReadOnlyColorOnFocus: v = FormValue::MakeBool(FReadOnlyColorOnFocus); break;
    case fcpParentColor: v = FormValue::MakeBool(FParentColor); break;
    case fcpFlatButtonColor: v = FormValue::MakeInt(FFlatButtonColor); break;
    case fcpFlatButtons: v = FormValue::MakeBool(FFlatButtons); break;
    case fcpFrameColor: v = FormValue::MakeInt(FFrameColor); break;
    case fcpFrameHotColor: v = FormValue::MakeInt(FFrameHotColor); break;
    case fcpFrameHotTrack: v = FormValue::MakeBool(FFrameHotTrack); break;
    case fcpFrameHotStyle: v = FormValue::MakeIdent(FrameStyleInfo().NameOf(FFrameHotStyle)); break;
    case fcpFrameSides: v = SetValue(SidesInfo(), FFrameSides); break;
    case fcpFrameStyle: v = FormValue::MakeIdent(FrameStyleInfo().NameOf(FFrameStyle)); break;
    case fcpFrameVisible: v = FormValue::MakeBool(FFrameVisible); break;
    case fcpFramingPreference: v = FormValue::MakeIdent(FramingPreferenceInfo().NameOf(FFramingPreference)); break;
    default: return;
    }
    TReadContext ctx;
    ctx.Root = Control->Owner();
    WriteProperty(Control, *info, names[P], v, ctx);
}

void TRzFrameController::PushToControl(TControl* Control, TRzFrameControllerProperty Property) {
    if (!Control) return;
    TRzFrameControllerNotifications n = fcpAllNotifications;
    const TClassInfo* info = FindClassInfo(Control->ClassName());
    if (info && info->FindProp("FrameControllerNotifications"))
        if (auto* linked = dynamic_cast<IFrameControllerLinked*>(Control)) n = linked->FrameControllerNotifications();
    if (auto* client = dynamic_cast<IFrameControllerClient*>(Control)) {
        client->FrameControllerChanged();
        return;
    }
    if (Property != fcpAll) {
        SetByName(Control, n, Property);
        return;
    }
    SetByName(Control, n, fcpParentColor);
    if (!FParentColor) SetByName(Control, n, fcpColor);
    static const TRzFrameControllerProperty rest[] = {
        fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpFocusColor, fcpFlatButtonColor,
        fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack, fcpFrameHotStyle,
        fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference};
    for (auto p : rest) SetByName(Control, n, p);
}

void TRzFrameController::Loaded() {
    TComponent::Loaded();
    PushToAll(fcpAll);
}

void TRzFrameController::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FRegIniFile) FRegIniFile = nullptr;
    // A linked control that goes without leaving first.
    if (FControls && FControls->IndexOf(AComponent) >= 0) UnlinkControl(static_cast<TControl*>(AComponent));
}

void TRzFrameController::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TRzFrameController*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    HoldPushes();
    try {
        SetColor(src->FColor);
        SetParentColor(src->FParentColor);
        SetFlatButtonColor(src->FFlatButtonColor);
        SetFlatButtons(src->FFlatButtons);
        SetDisabledColor(src->FDisabledColor);
        SetReadOnlyColor(src->FReadOnlyColor);
        SetReadOnlyColorOnFocus(src->FReadOnlyColorOnFocus);
        SetFocusColor(src->FFocusColor);
        SetFrameColor(src->FFrameColor);
        SetFrameHotColor(src->FFrameHotColor);
        SetFrameHotTrack(src->FFrameHotTrack);
        SetFrameHotStyle(src->FFrameHotStyle);
        SetFrameSides(src->FFrameSides);
        SetFrameStyle(src->FFrameStyle);
        SetFrameVisible(src->FFrameVisible);
        SetFramingPreference(src->FFramingPreference);
    } catch (...) {
        ReleasePushes();
        throw;
    }
    ReleasePushes();
}

#define RZ_FC_SETTER(Name, Type, Field, Prop) \
    void TRzFrameController::Set##Name(Type v) { \
        if (v == Field) return;                  \
        Field = v;                               \
        PushToAll(Prop);                         \
    }
RZ_FC_SETTER(FlatButtonColor, TColor, FFlatButtonColor, fcpFlatButtonColor)
RZ_FC_SETTER(FlatButtons, bool, FFlatButtons, fcpFlatButtons)
RZ_FC_SETTER(DisabledColor, TColor, FDisabledColor, fcpDisabledColor)
RZ_FC_SETTER(ReadOnlyColor, TColor, FReadOnlyColor, fcpReadOnlyColor)
RZ_FC_SETTER(ReadOnlyColorOnFocus, bool, FReadOnlyColorOnFocus, fcpReadOnlyColorOnFocus)
RZ_FC_SETTER(FocusColor, TColor, FFocusColor, fcpFocusColor)
RZ_FC_SETTER(FrameColor, TColor, FFrameColor, fcpFrameColor)
RZ_FC_SETTER(FrameHotColor, TColor, FFrameHotColor, fcpFrameHotColor)
RZ_FC_SETTER(FrameHotStyle, TFrameStyle, FFrameHotStyle, fcpFrameHotStyle)
RZ_FC_SETTER(FrameSides, TSides, FFrameSides, fcpFrameSides)
RZ_FC_SETTER(FrameStyle, TFrameStyle, FFrameStyle, fcpFrameStyle)
RZ_FC_SETTER(FrameVisible, bool, FFrameVisible, fcpFrameVisible)
RZ_FC_SETTER(FramingPreference, TFramingPreference, FFramingPreference, fcpFramingPreference)
#undef RZ_FC_SETTER

void TRzFrameController::SetColor(TColor v) {
    if (v == FColor) return;
    // A focus colour that matched the old colour moves along.
    if (FFocusColor == FColor) {
        FFocusColor = v;
        PushToAll(fcpFocusColor);
    }
    FColor = v;
    FParentColor = false;
    PushToAll(fcpColor);
}

void TRzFrameController::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    PushToAll(fcpParentColor);
    if (!v) PushToAll(fcpColor);
}

void TRzFrameController::SetFrameHotTrack(bool v) {
    if (v == FFrameHotTrack) return;
    FFrameHotTrack = v;
    if (v) {
        SetFrameVisible(true);
        if (!(ComponentState() & csLoading)) SetFrameSides(sdAllSides);
    }
    PushToAll(fcpFrameHotTrack);
}

void TRzFrameController::SetRegIniFile(TRzRegIniFile* v) {
    if (v == FRegIniFile) return;
    if (FRegIniFile) FRegIniFile->RemoveFreeNotification(this);
    FRegIniFile = v;
    if (v) v->FreeNotification(this);
}

void RzSetFrameController(TComponent* Self, TControl* Control, TRzFrameController*& Field,
                          TRzFrameController* Value) {
    if (Field == Value) return;
    if (Field) {
        Field->UnlinkControl(Control);
        Field->RemoveFreeNotification(Self);
    }
    Field = Value;
    if (Value) {
        Value->FreeNotification(Self);
        Value->LinkControl(Control);
    }
}

// ======================================================================

void RegisterRzFrameController() {
    if (FindClassInfo("TRzFrameController")) return;
    const TEnumInfo& pathType = RegisterEnum("TRzPathType", {{"ptIniFile", ptIniFile}, {"ptRegistry", ptRegistry}});
    const TEnumInfo& regKey = RegisterEnum(
        "TRzRegKey", {{"hkeyClassesRoot", hkeyClassesRoot}, {"hkeyCurrentUser", hkeyCurrentUser},
                      {"hkeyLocalMachine", hkeyLocalMachine}, {"hkeyUsers", hkeyUsers},
                      {"hkeyPerformanceData", hkeyPerformanceData}, {"hkeyCurrentConfig", hkeyCurrentConfig},
                      {"hkeyDynData", hkeyDynData}});
    const TEnumInfo& access = RegisterEnum(
        "TRzRegAccess", {{"keyQueryValue", 1 << keyQueryValue}, {"keySetValue", 1 << keySetValue},
                         {"keyCreateSubKey", 1 << keyCreateSubKey}, {"keyEnumerateSubKeys", 1 << keyEnumerateSubKeys},
                         {"keyNotify", 1 << keyNotify}, {"keyCreateLink", 1 << keyCreateLink},
                         {"keyRead", 1 << keyRead}, {"keyWrite", 1 << keyWrite}, {"keyExecute", 1 << keyExecute},
                         {"keyAllAccess", 1 << keyAllAccess}});
    const TEnumInfo& folder = RegisterEnum(
        "TRzSpecialFolder", {{"sfNone", sfNone}, {"sfUserAppDataRoaming", sfUserAppDataRoaming},
                             {"sfUserAppDataLocal", sfUserAppDataLocal}, {"sfUserDocuments", sfUserDocuments},
                             {"sfProgramData", sfProgramData}});
    RegisterComponentClass<TRzRegIniFile>("TRzRegIniFile", "TComponent")
        .Str("Path", &TRzRegIniFile::SetPath)
        .Enum("PathType", &TRzRegIniFile::SetPathType, pathType)
        .Enum("RegKey", &TRzRegIniFile::SetRegKey, regKey)
        .Set("RegAccess", &TRzRegIniFile::SetRegAccess, access)
        .Enum("SpecialFolder", &TRzRegIniFile::SetSpecialFolder, folder)
        .Ignore("About");
    auto legacyFlat = [](TRzFrameController* c, const FormValue& v, TReadContext&) {
        bool flat = typeinfo_detail::AsBool(v);
        c->SetFrameHotTrack(flat);
        if (flat) {
            c->SetFrameStyle(fsStatus);
            c->SetFrameHotStyle(fsLowered);
        }
    };
    RegisterComponentClass<TRzFrameController>("TRzFrameController", "TComponent")
        .Color("Color", &TRzFrameController::SetColor)
        .Color("DisabledColor", &TRzFrameController::SetDisabledColor)
        .Color("ReadOnlyColor", &TRzFrameController::SetReadOnlyColor)
        .Bool("ReadOnlyColorOnFocus", &TRzFrameController::SetReadOnlyColorOnFocus)
        .Color("FlatButtonColor", &TRzFrameController::SetFlatButtonColor)
        .Bool("FlatButtons", &TRzFrameController::SetFlatButtons)
        .Color("FocusColor", &TRzFrameController::SetFocusColor)
        .Color("FrameColor", &TRzFrameController::SetFrameColor)
        .Color("FrameHotColor", &TRzFrameController::SetFrameHotColor)
        .Enum("FrameHotStyle", &TRzFrameController::SetFrameHotStyle, FrameStyleInfo())
        .Bool("FrameHotTrack", &TRzFrameController::SetFrameHotTrack)
        .Set("FrameSides", &TRzFrameController::SetFrameSides, SidesInfo())
        .Enum("FrameStyle", &TRzFrameController::SetFrameStyle, FrameStyleInfo())
        .Bool("FrameVisible", &TRzFrameController::SetFrameVisible)
        .Enum("FramingPreference", &TRzFrameController::SetFramingPreference, FramingPreferenceInfo())
        .Bool("ParentColor", &TRzFrameController::SetParentColor)
        .Ref("RegIniFile", &TRzFrameController::SetRegIniFile, "TRzRegIniFile")
        .Ignore("About")
        .Custom("FrameFlat", legacyFlat)
        .Custom("FrameFocusStyle",
                [](TRzFrameController* c, const FormValue& v, TReadContext&) {
                    c->SetFrameHotStyle(TFrameStyle(typeinfo_detail::AsEnum(v, FrameStyleInfo())));
                })
        .Ignore("FrameFlatStyle");
}
