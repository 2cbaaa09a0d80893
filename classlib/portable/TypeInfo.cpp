#include "TypeInfo.h"

#include "Types.h"

#include <cstdio>
#include <memory>

namespace {

// Records live for the whole run; pointers to them stay valid.
std::map<AnsiString, std::unique_ptr<TClassInfo>, CaseLess>& Classes() {
    static std::map<AnsiString, std::unique_ptr<TClassInfo>, CaseLess> m;
    return m;
}

std::map<AnsiString, std::unique_ptr<TEnumInfo>>& Enums() {
    static std::map<AnsiString, std::unique_ptr<TEnumInfo>> m;
    return m;
}

const char* KindName(FormValueKind k) {
    switch (k) {
    case FormValueKind::Null: return "nil";
    case FormValueKind::Int: return "an integer";
    case FormValueKind::Float: return "a float";
    case FormValueKind::String: return "a string";
    case FormValueKind::Ident: return "an identifier";
    case FormValueKind::Set: return "a set";
    case FormValueKind::List: return "a list";
    case FormValueKind::Binary: return "binary data";
    case FormValueKind::Collection: return "a collection";
    case FormValueKind::False:
    case FormValueKind::True: return "a boolean";
    }
    return "a value";
}

[[noreturn]] void WrongKind(const char* expected, const FormValue& v) {
    throw EPropertyError(AnsiString("expected ") + expected + ", found " + DescribeValue(v));
}

}  // namespace

bool CaseLess::operator()(const AnsiString& a, const AnsiString& b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = LowCaseAscii(a[i]), y = LowCaseAscii(b[i]);
        if (x != y) return (unsigned char)x < (unsigned char)y;
    }
    return a.size() < b.size();
}

AnsiString DescribeValue(const FormValue& v) {
    switch (v.Kind) {
    case FormValueKind::Int: return "an integer " + IntToStr(v.Int);
    case FormValueKind::Float: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%g", v.Float);
        return AnsiString("a float ") + buf;
    }
    case FormValueKind::String: return "a string '" + v.Str + "'";
    case FormValueKind::Ident: return "an identifier " + v.Str;
    case FormValueKind::False: return "False";
    case FormValueKind::True: return "True";
    default: return KindName(v.Kind);
    }
}

bool TEnumInfo::ValueOf(const AnsiString& Ident, int64_t& Value) const {
    for (const auto& [name, val] : Values)
        if (name == Ident) {
            Value = val;
            return true;
        }
    return false;
}

AnsiString TEnumInfo::NameOf(int64_t Value) const {
    for (const auto& [name, val] : Values)
        if (val == Value) return name;
    return "";
}

const TEnumInfo& RegisterEnum(const AnsiString& TypeName,
                              std::initializer_list<std::pair<const char*, int64_t>> Values) {
    auto& slot = Enums()[TypeName];
    if (!slot) {
        slot = std::make_unique<TEnumInfo>();
        slot->TypeName = TypeName;
    }
    for (const auto& [name, val] : Values) {
        int64_t existing;
        if (!slot->ValueOf(name, existing)) slot->Values.emplace_back(name, val);
    }
    return *slot;
}

const TEnumInfo* FindEnum(const AnsiString& TypeName) {
    auto it = Enums().find(TypeName);
    return it == Enums().end() ? nullptr : it->second.get();
}

const TEnumInfo& ColorIdents() {
    static const TEnumInfo& e = RegisterEnum(
        "TColor",
        {{"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
         {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
         {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
         {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
         {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF},
         {"clMedGray", 0xA4A0A0}, {"clLtGray", clSilver}, {"clDkGray", clGray},
         {"clNone", clNone}, {"clDefault", clDefault},
         {"clScrollBar", clScrollBar}, {"clBackground", clBackground},
         {"clActiveCaption", clActiveCaption}, {"clInactiveCaption", clInactiveCaption},
         {"clMenu", clMenu}, {"clWindow", clWindow}, {"clWindowFrame", clWindowFrame},
         {"clMenuText", clMenuText}, {"clWindowText", clWindowText}, {"clCaptionText", clCaptionText},
         {"clActiveBorder", clActiveBorder}, {"clInactiveBorder", clInactiveBorder},
         {"clAppWorkSpace", clAppWorkSpace}, {"clHighlight", clHighlight},
         {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow},
         {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
         {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
         {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
         {"clInfoBk", clInfoBk}, {"clHotLight", clHotLight},
         {"clGradientActiveCaption", clGradientActiveCaption},
         {"clGradientInactiveCaption", clGradientInactiveCaption},
         {"clMenuHighlight", clMenuHighlight}, {"clMenuBar", clMenuBar}});
    return e;
}

const TEnumInfo& CursorIdents() {
    // Numbers as the form definitions of the platform store them.
    static const TEnumInfo& e = RegisterEnum(
        "TCursor",
        {{"crDefault", 0}, {"crNone", -1}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4},
         {"crSizeNESW", -6}, {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9},
         {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13},
         {"crHSplit", -14}, {"crVSplit", -15}, {"crMultiDrag", -16}, {"crSQLWait", -17},
         {"crNo", -18}, {"crAppStart", -19}, {"crHelp", -20}, {"crHandPoint", -21},
         {"crSizeAll", -22}, {"crSize", -22}});
    return e;
}

const TPropInfo* TClassInfo::FindProp(const AnsiString& PropName) const {
    for (const TClassInfo* c = this; c; c = c->Parent) {
        auto it = c->Props.find(PropName);
        if (it != c->Props.end()) return &it->second;
    }
    return nullptr;
}

const THandlerInfo* TClassInfo::FindHandler(const AnsiString& HandlerName) const {
    for (const TClassInfo* c = this; c; c = c->Parent) {
        auto it = c->Handlers.find(HandlerName);
        if (it != c->Handlers.end()) return &it->second;
    }
    return nullptr;
}

bool TClassInfo::InheritsFrom(const AnsiString& ClassName) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (SameTextAscii(c->Name, ClassName)) return true;
    return false;
}

TClassInfo* FindClassInfo(const AnsiString& ClassName) {
    auto it = Classes().find(ClassName);
    return it == Classes().end() ? nullptr : it->second.get();
}

TClassInfo& RegisterClassInfo(const AnsiString& ClassName, const AnsiString& ParentName) {
    const TClassInfo* parent = nullptr;
    if (!ParentName.empty()) {
        parent = FindClassInfo(ParentName);
        if (!parent)
            throw Exception("Class " + ClassName + " registered before its base class " + ParentName);
    }
    auto& slot = Classes()[ClassName];
    if (!slot) {
        slot = std::make_unique<TClassInfo>();
        slot->Name = ClassName;
    }
    slot->Parent = parent;
    return *slot;
}

void RegisterComponentModelClasses() {
    RegisterPersistentClass<TStringList>("TStringList")
        .Custom("Strings", [](TStringList* l, const FormValue& v, TReadContext&) {
            if (v.Kind != FormValueKind::List) WrongKind("a list of strings", v);
            l->Clear();
            for (const FormValue& e : v.List) l->Add(typeinfo_detail::AsString(e));
        });
    RegisterPersistentClass<TComponent>("TComponent").Int("Tag", &TComponent::Tag, &TComponent::SetTag);
}

void WriteProperty(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName,
                   const FormValue& Value, TReadContext& Ctx) {
    TPersistent* obj = Obj;
    const TClassInfo* info = &Info;
    AnsiString rest = PropName;
    for (;;) {
        size_t dot = rest.find('.');
        AnsiString head = rest.substr(0, dot);
        const TPropInfo* p = info->FindProp(head);
        if (!p) throw EPropertyError("unknown property " + head + " of " + info->Name);
        if (p->Kind == TPropKind::Ignore) return;  // with whatever nests in it
        if (dot == AnsiString::npos) {
            p->Write(obj, Value, Ctx);
            return;
        }
        if (p->Kind != TPropKind::Object || !p->Get)
            throw EPropertyError(head + " has no nested properties");
        obj = p->Get(obj);
        if (!obj) throw EPropertyError(head + " is not there");
        info = FindClassInfo(p->TypeName);
        if (!info) throw EPropertyError("class " + p->TypeName + " is not registered");
        rest = rest.substr(dot + 1);
    }
}

bool ReadBinaryProperty(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName,
                        std::vector<uint8_t>& Data) {
    TPersistent* obj = Obj;
    const TClassInfo* info = &Info;
    AnsiString rest = PropName;
    for (size_t dot; obj && info && (dot = rest.find('.')) != AnsiString::npos; rest = rest.substr(dot + 1)) {
        const TPropInfo* p = info->FindProp(rest.substr(0, dot));
        if (!p || p->Kind != TPropKind::Object || !p->Get) return false;
        obj = p->Get(obj);
        info = FindClassInfo(p->TypeName);
    }
    const TPropInfo* p = obj && info ? info->FindProp(rest) : nullptr;
    if (!p || !p->ReadBinary) return false;
    Data = p->ReadBinary(obj);
    return true;
}

bool ReadOrdProperty(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName, int64_t& Value) {
    const TPropInfo* p = Obj ? Info.FindProp(PropName) : nullptr;
    if (!p || !p->ReadOrd) return false;
    Value = p->ReadOrd(Obj);
    return true;
}

bool ReadPropertyText(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName, AnsiString& Text) {
    const TPropInfo* p = Obj ? Info.FindProp(PropName) : nullptr;
    if (!p) return false;
    if (p->ReadStr) {
        Text = p->ReadStr(Obj);
        return true;
    }
    if (!p->ReadOrd) return false;
    const int64_t v = p->ReadOrd(Obj);
    const TEnumInfo* e = FindEnum(p->TypeName);
    switch (p->Kind) {
    case TPropKind::Bool: Text = v ? "True" : "False"; return true;
    case TPropKind::Set:
        if (!e) return false;
        Text = SetToText(v, *e);
        return true;
    case TPropKind::Enum:
    case TPropKind::IntOrIdent: {
        const AnsiString ident = e ? e->NameOf(v) : AnsiString();
        Text = ident.empty() ? IntToStr(v) : ident;
        return true;
    }
    default: Text = IntToStr(v); return true;
    }
}

AnsiString SetToText(int64_t Mask, const TEnumInfo& Elements) {
    AnsiString text;
    for (int bit = 0; bit < 32; ++bit) {
        const int64_t m = int64_t(1) << bit;
        if (!(Mask & m)) continue;
        const AnsiString name = Elements.NameOf(m);
        if (name.empty()) continue;  // no element of this set: cannot be written back
        if (!text.empty()) text += ',';
        text += name;
    }
    return text;
}

FormValue SetValueFromText(const AnsiString& Text) {
    FormValue v;
    v.Kind = FormValueKind::Set;
    size_t b = 0, e = Text.size();
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (b < e && blank(Text[b])) ++b;
    while (e > b && blank(Text[e - 1])) --e;
    if (e - b >= 2 && Text[b] == '[' && Text[e - 1] == ']') {
        ++b;
        --e;
    }
    while (b < e) {
        size_t comma = Text.find(',', b);
        if (comma == AnsiString::npos || comma > e) comma = e;
        size_t s = b, t = comma;
        while (s < t && blank(Text[s])) ++s;
        while (t > s && blank(Text[t - 1])) --t;
        if (t > s) v.Set.push_back(Text.substr(s, t - s));
        b = comma + 1;
    }
    return v;
}

namespace typeinfo_detail {

bool IsNil(const FormValue& v) {
    return v.Kind == FormValueKind::Null || (v.Kind == FormValueKind::Ident && v.Str == "nil");
}

int64_t AsInt(const FormValue& v, const char* what) {
    if (v.Kind != FormValueKind::Int) WrongKind(what, v);
    return v.Int;
}

bool AsBool(const FormValue& v) {
    if (v.Kind == FormValueKind::True) return true;
    if (v.Kind == FormValueKind::False) return false;
    WrongKind("True or False", v);
}

int64_t AsEnum(const FormValue& v, const TEnumInfo& e) {
    if (v.Kind != FormValueKind::Ident) WrongKind(("an identifier of " + e.TypeName).c_str(), v);
    int64_t r;
    if (!e.ValueOf(v.Str, r)) throw EPropertyError(v.Str + " is not a value of " + e.TypeName);
    return r;
}

int64_t AsIntOrIdent(const FormValue& v, const TEnumInfo& e) {
    if (v.Kind == FormValueKind::Int) return v.Int;
    if (v.Kind == FormValueKind::Ident) return AsEnum(v, e);
    WrongKind(("an integer or an identifier of " + e.TypeName).c_str(), v);
}

int64_t AsSet(const FormValue& v, const TEnumInfo& e) {
    if (v.Kind != FormValueKind::Set) WrongKind(("a set of " + e.TypeName).c_str(), v);
    int64_t mask = 0;
    for (const AnsiString& id : v.Set) {
        int64_t m;
        if (!e.ValueOf(id, m)) throw EPropertyError(id + " is not an element of " + e.TypeName);
        mask |= m;
    }
    return mask;
}

const AnsiString& AsString(const FormValue& v) {
    if (v.Kind != FormValueKind::String) WrongKind("a string", v);
    return v.Str;
}

double AsFloat(const FormValue& v) {
    if (v.Kind == FormValueKind::Float) return v.Float;
    if (v.Kind == FormValueKind::Int) return double(v.Int);
    WrongKind("a number", v);
}

const std::vector<uint8_t>& AsBinary(const FormValue& v) {
    if (v.Kind != FormValueKind::Binary) WrongKind("binary data", v);
    return v.Binary;
}

void BindEvent(const FormValue& v, TReadContext& ctx, const std::type_info& type, void* field,
               const AnsiString&) {
    if (v.Kind != FormValueKind::Ident) WrongKind("the name of a handler", v);
    if (!ctx.RootClass) throw EPropertyError("no form to bind handler " + v.Str + " to");
    const THandlerInfo* h = ctx.RootClass->FindHandler(v.Str);
    if (!h) throw EPropertyError("form class " + ctx.RootClass->Name + " has no handler " + v.Str);
    if (*h->Type != type) throw EPropertyError("handler " + v.Str + " does not fit this event");
    h->Bind(ctx.Root, field);
}

void ReadCollection(TCollection* Coll, const FormValue& v, TReadContext& ctx) {
    if (v.Kind != FormValueKind::Collection) WrongKind("collection items", v);
    const TClassInfo* itemInfo = FindClassInfo(Coll->ItemClassName());
    if (!itemInfo) throw EPropertyError(AnsiString("class ") + Coll->ItemClassName() + " is not registered");
    Coll->Clear();
    for (size_t i = 0; i < v.Items.size(); ++i) {
        TCollectionItem* item = Coll->Add();
        for (const FormProperty& p : v.Items[i]) {
            try {
                WriteProperty(item, *itemInfo, p.Name, p.Value, ctx);
            } catch (const std::exception& e) {
                // Any failure (a class's own data reader too) names the item and property.
                throw EPropertyError("item " + IntToStr(int64_t(i)) + ", " + p.Name + ": " + e.what());
            }
        }
    }
}

void AddRefFixup(const FormValue& v, TReadContext& ctx, std::function<void(TComponent*)> apply) {
    if (IsNil(v)) {
        apply(nullptr);
        return;
    }
    if (v.Kind != FormValueKind::Ident) WrongKind("the name of a component", v);
    ctx.Fixups.push_back({v.Str, ctx.CurrentWhere, std::move(apply)});
}

}  // namespace typeinfo_detail
