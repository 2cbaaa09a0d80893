#include "acntUtilsWin.h"

#include <shellapi.h>

#include "TypeInfo.h"
#include "WinText.h"

void IniTextSplit(TStringList* Lines, TStringList* Sections) {
    if (!Sections) return;
    Sections->Clear();
    if (!Lines) return;
    std::vector<AnsiString> lines;
    lines.reserve(size_t(Lines->Count()));
    for (int i = 0; i < Lines->Count(); ++i) lines.push_back(Lines->Strings(i));
    for (const TacIniSection& sec : IniSplitLines(lines)) {
        auto* list = new TStringList;
        for (const AnsiString& line : sec.Lines) list->Add(line);
        Sections->AddObject(sec.Name, list);
    }
}

AnsiString IniTextReadString(TStringList* Sections, const AnsiString& Section, const AnsiString& Ident,
                             const AnsiString& Default) {
    if (!Sections) return Default;
    const int i = Sections->IndexOf(Section);
    if (i < 0) return Default;
    auto* list = dynamic_cast<TStringList*>(Sections->Objects(i));
    if (!list) return Default;
    AnsiString value;
    for (int k = 0; k < list->Count(); ++k)
        if (IniLineValue(list->Strings(k), Ident, value)) return value;
    return Default;
}

int IniTextReadInteger(TStringList* Sections, const AnsiString& Section, const AnsiString& Ident, int Default) {
    return IniValueToInt(IniTextReadString(Sections, Section, Ident, AnsiString()), Default);
}

namespace {
// Index 0..kMetrics-1: the metrics; the last slot: the caption font's height.
constexpr int kMetrics = 128;
struct TacSettingsCache {
    int Value[kMetrics + 1];
    bool Known[kMetrics + 1] = {};
};
TacSettingsCache g_Settings;
}  // namespace

int CaptionFontHeight() {
    if (!g_Settings.Known[kMetrics]) {
        NONCLIENTMETRICSW m{};
        // The record without the trailing padded-border field: accepted by
        // every platform version, and all this needs.
        m.cbSize = sizeof(m) - sizeof(m.iPaddedBorderWidth);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0)) return 0;
        g_Settings.Value[kMetrics] = m.lfCaptionFont.lfHeight;
        g_Settings.Known[kMetrics] = true;
    }
    return g_Settings.Value[kMetrics];
}

int SystemMetric(int Index) {
    if (Index < 0 || Index >= kMetrics) return GetSystemMetrics(Index);
    if (!g_Settings.Known[Index]) {
        g_Settings.Value[Index] = GetSystemMetrics(Index);
        g_Settings.Known[Index] = true;
    }
    return g_Settings.Value[Index];
}

void SystemSettingsChanged() { g_Settings = TacSettingsCache{}; }

bool IsSettingsChangeMessage(unsigned Msg) {
    return Msg == WM_SETTINGCHANGE || Msg == WM_DISPLAYCHANGE || Msg == WM_DPICHANGED;
}

AnsiString ProgramFolder() {
    const std::wstring path = ModuleFileName();
    const size_t slash = path.find_last_of(L"\\/:");
    return FromWide(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

TIcon* FileIcon(const AnsiString& FileName, unsigned Flags) {
    const std::wstring name = ToWide(FileName);
    if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(name.c_str(), 0, &info, sizeof(info), Flags | SHGFI_ICON) || !info.hIcon) return nullptr;
    TIcon* icon = new TIcon;
    icon->SetHandle(info.hIcon);
    if (icon->Empty()) {
        delete icon;
        return nullptr;
    }
    return icon;
}

static int DosTime(const FILETIME& ft) {
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return -1;
    return int((uint32_t(date) << 16) | time);
}

// Fills F from the current entry when it fits, answers whether it did.
static bool TakeMatch(const WIN32_FIND_DATAW& d, TSearchRec& F) {
    if (int(d.dwFileAttributes) & F.ExcludeAttr) return false;
    F.Attr = int(d.dwFileAttributes);
    F.Size = (int64_t(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    F.Time = DosTime(d.ftLastWriteTime);
    F.Name = FromWide(d.cFileName);
    return true;
}

int FindFirst(const AnsiString& Path, int Attr, TSearchRec& F) {
    F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faDirectory);
    WIN32_FIND_DATAW d;
    F.FindHandle = FindFirstFileW(ToWide(Path).c_str(), &d);
    if (F.FindHandle == INVALID_HANDLE_VALUE) return int(GetLastError());
    while (!TakeMatch(d, F)) {
        if (!FindNextFileW(F.FindHandle, &d)) {
            const int err = int(GetLastError());
            FindClose(F);
            return err;
        }
    }
    return 0;
}

int FindNext(TSearchRec& F) {
    if (F.FindHandle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    WIN32_FIND_DATAW d;
    do {
        if (!FindNextFileW(F.FindHandle, &d)) return int(GetLastError());
    } while (!TakeMatch(d, F));
    return 0;
}

void FindClose(TSearchRec& F) {
    if (F.FindHandle != INVALID_HANDLE_VALUE) ::FindClose(F.FindHandle);
    F.FindHandle = INVALID_HANDLE_VALUE;
}

static const TPropInfo* FindPublished(TPersistent* Obj, const AnsiString& Name) {
    if (!Obj) return nullptr;
    const TClassInfo* info = FindClassInfo(Obj->ClassName());
    return info ? info->FindProp(Name) : nullptr;
}

bool HasPublishedProp(TPersistent* Obj, const AnsiString& Name) { return FindPublished(Obj, Name) != nullptr; }

int64_t OrdPropOf(TPersistent* Obj, const AnsiString& Name) {
    const TClassInfo* info = Obj ? FindClassInfo(Obj->ClassName()) : nullptr;
    int64_t v;
    return info && ReadOrdProperty(Obj, *info, Name, v) ? v : -1;
}

void PutOrdProp(TPersistent* Obj, const AnsiString& Name, int64_t Value) {
    const TPropInfo* p = FindPublished(Obj, Name);
    if (!p || !p->Write) return;
    FormValue v = FormValue::MakeInt(Value);
    if (p->Kind == TPropKind::Bool) {
        v = FormValue::MakeBool(Value != 0);
    } else if (p->Kind == TPropKind::Enum) {
        const TEnumInfo* e = FindEnum(p->TypeName);
        const AnsiString ident = e ? e->NameOf(Value) : AnsiString();
        if (ident.empty()) return;
        v = FormValue::MakeIdent(ident);
    }
    TReadContext ctx;
    try {
        p->Write(Obj, v, ctx);
    } catch (const EPropertyError&) {
        // Not an ordinal property, or out of its range: nothing is set.
    }
}

TPersistent* ObjectPropOf(TPersistent* Obj, const AnsiString& Name) {
    const TPropInfo* p = FindPublished(Obj, Name);
    if (!p || p->Kind != TPropKind::Object || !p->Get) return nullptr;
    return p->Get(Obj);
}

bool SetPropContains(TPersistent* Obj, const AnsiString& Name, const AnsiString& Element) {
    const TPropInfo* p = FindPublished(Obj, Name);
    if (!p || p->Kind != TPropKind::Set || !p->ReadOrd || Element.empty()) return false;
    const TEnumInfo* e = FindEnum(p->TypeName);
    if (!e) return false;
    const int64_t mask = p->ReadOrd(Obj);
    for (int bit = 0; bit < 32; ++bit) {
        const int64_t m = int64_t(1) << bit;
        if (e->NameOf(m) == Element) return (mask & m) != 0;
    }
    return false;
}

void ChangeSetProp(TPersistent* Obj, const AnsiString& Name, const AnsiString& Element, bool Include) {
    const TPropInfo* p = FindPublished(Obj, Name);
    if (!p || p->Kind != TPropKind::Set) return;
    const TClassInfo* info = FindClassInfo(Obj->ClassName());
    AnsiString text;
    if (!ReadPropertyText(Obj, *info, Name, text) || !SetTextChange(text, Element, Include)) return;
    TReadContext ctx;
    try {
        WriteProperty(Obj, *info, Name, SetValueFromText(text), ctx);
    } catch (const EPropertyError&) {
        // Element is no element of the set: it stays as it was.
    }
}
