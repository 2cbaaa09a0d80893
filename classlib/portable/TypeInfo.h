// The registry of streamable classes: for each class name, how to create it
// and the setters of its published properties by name; for each form class,
// its published event handlers by name. It stands in for run-time type
// information when a form is read from its definition.
//
// A class is registered once, in its unit's start-up step, after its base
// class; it inherits the base class's properties:
//
//   RegisterComponentClass<TShape>("TShape", "TGraphicControl")
//       .Enum("Shape", &TShape::SetShape, ShapeTypeInfo)
//       .Object("Brush", &TShape::Brush, "TBrush")
//       .Event("OnMouseDown", &TShape::OnMouseDown);
//
// A getter given before the setter lets the value be read back by name too
// (ReadOrdProperty, ReadPropertyText):
//
//   .Int("Left", &TControl::Left, &TControl::SetLeft)
//
// Collections whose items hold collections, and binary properties that the
// class defines itself (read from and written to a stream over the block's
// bytes, as pictures keep their "Data"), register like any other property:
//
//   RegisterPersistentClass<TsSkinImage>("TsSkinImage")
//       .Str("SectionName", &TsSkinImage::SectionName, &TsSkinImage::SetSectionName)
//       .Object("Image", &TsSkinImage::Image, "TBitmap");      // Image.Data
//   RegisterPersistentClass<TsStoredSkin>("TsStoredSkin")
//       .Collection("Images", &TsStoredSkin::Images)           // items: TsSkinImage
//       .DefineBinary("Data", &TsStoredSkin::ReadData, &TsStoredSkin::WriteData);
//   RegisterComponentClass<TsSkinManager>("TsSkinManager", "TComponent")
//       .Collection("InternalSkins", &TsSkinManager::InternalSkins);
//
//   RegisterFormClass<TForm2>("TForm2")
//       .Handler<&TForm2::FormShow>("FormShow")
//       .Handler<&TForm2::Shape2MouseDown>("Shape2MouseDown");
//
// Value kinds accepted (anything else is "a value of the wrong kind"):
//   Int: integer;  Bool: False/True;  Enum: identifier of the enumeration,
//   exact case;  IntOrIdent (colours, cursors): integer or identifier;
//   Set: set of identifiers, OR of their masks;  Str: string;  Float: float
//   or integer;  Binary: binary data (also DefineBinary);  Ref: identifier naming a component of
//   the form, resolved once all components exist;  Object: a nested object
//   whose own properties are set through dotted names ("Font.Name");
//   Collection: collection items (whose own properties may be collections);  Event: identifier naming a handler of the
//   form class, or nil;  Ignore: anything, dropped.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <typeinfo>
#include <utility>
#include <vector>

#include "Components.h"
#include "FormData.h"
#include "Streams.h"

// A property value that its setter cannot take. The form reader adds the
// form, the component and the property to the message.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// Identifiers of an enumeration (or of a set's elements, then each value is
// the element's mask, or of colours and cursors).
struct TEnumInfo {
    AnsiString TypeName;
    std::vector<std::pair<AnsiString, int64_t>> Values;
    // Exact, case-sensitive identifier.
    bool ValueOf(const AnsiString& Ident, int64_t& Value) const;
    AnsiString NameOf(int64_t Value) const;  // "" when none
};

// Registers (or extends) an enumeration's identifier table; answers it.
const TEnumInfo& RegisterEnum(const AnsiString& TypeName,
                              std::initializer_list<std::pair<const char*, int64_t>> Values);
const TEnumInfo* FindEnum(const AnsiString& TypeName);
// The identifier tables every class shares: "TColor" (clRed, clBtnFace, ...)
// and "TCursor" (crDefault, crHandPoint, ...).
const TEnumInfo& ColorIdents();
const TEnumInfo& CursorIdents();

class TClassInfo;

// State of one form being read: the root component whose handlers events
// bind to, and component references that wait until every component exists.
struct TReadContext {
    TComponent* Root = nullptr;
    const TClassInfo* RootClass = nullptr;
    struct Fixup {
        AnsiString TargetName;
        AnsiString Where;  // "component: property" for messages
        std::function<void(TComponent*)> Apply;
    };
    std::vector<Fixup> Fixups;
    AnsiString CurrentWhere;  // set by the reader before each property
};

enum class TPropKind { Int, Bool, Enum, IntOrIdent, Set, Str, Float, Binary, Ref, Object,
                       Collection, Event, Ignore, Custom };

struct TPropInfo {
    AnsiString Name;
    TPropKind Kind = TPropKind::Custom;
    AnsiString TypeName;  // enumeration, nested class, component or event type, for messages
    // Sets the value; throws EPropertyError for a value it cannot take.
    std::function<void(TPersistent*, const FormValue&, TReadContext&)> Write;
    // Object and Collection kinds: the nested object (never null once created).
    std::function<TPersistent*(TPersistent*)> Get;
    // Getters, when registered: the ordinal kinds (Int, Bool, Enum,
    // IntOrIdent; Set as the OR of its element masks) answer ReadOrd, Str
    // answers ReadStr.
    std::function<int64_t(TPersistent*)> ReadOrd;
    std::function<AnsiString(TPersistent*)> ReadStr;
    // Binary kind: the block's bytes as they would be written.
    std::function<std::vector<uint8_t>(TPersistent*)> ReadBinary;
    // Event kind: the event field of an instance and its Method<> type, so
    // that code outside the form reader can see whether a handler is
    // assigned and hook one of the same type.
    std::function<void*(TPersistent*)> EventField;
    const std::type_info* EventType = nullptr;
};

// A published handler of a form class: makes a method pointer of the event's
// type for a form instance.
struct THandlerInfo {
    AnsiString Name;
    const std::type_info* Type = nullptr;  // the Method<> type
    void (*Bind)(TPersistent* Form, void* Out) = nullptr;
};

struct CaseLess {
    bool operator()(const AnsiString& a, const AnsiString& b) const;
};

class TClassInfo {
public:
    AnsiString Name;
    const TClassInfo* Parent = nullptr;
    // Creates an instance with that owner; empty for classes that the form
    // reader cannot create (abstract bases, nested objects).
    std::function<TComponent*(TComponent*)> Create;
    std::map<AnsiString, TPropInfo, CaseLess> Props;
    std::map<AnsiString, THandlerInfo, CaseLess> Handlers;

    // Walks the base classes; case-insensitive like the form reader.
    const TPropInfo* FindProp(const AnsiString& PropName) const;
    const THandlerInfo* FindHandler(const AnsiString& HandlerName) const;
    bool InheritsFrom(const AnsiString& ClassName) const;
};

// nullptr when the class is not registered.
TClassInfo* FindClassInfo(const AnsiString& ClassName);
// Registers a class (or answers the existing record, which then keeps its
// properties). The base class must be registered first; raises otherwise.
TClassInfo& RegisterClassInfo(const AnsiString& ClassName, const AnsiString& ParentName);

// The component model's own classes: TComponent ("Tag") and TStringList
// ("Strings", a list of strings). Every class registry starts with them.
void RegisterComponentModelClasses();

// Sets one property (dotted names walk nested objects) on Obj, whose class is
// Info. Throws EPropertyError("unknown property", wrong kind, bad value).
void WriteProperty(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName,
                   const FormValue& Value, TReadContext& Ctx);

// Reads one property of Obj (class Info) back through its getter. False when
// the class has no such property, it is of another sort, or it has no getter.
// Ordinal: integers, Booleans (0, 1), enumerations, colours, sets (the mask).
bool ReadOrdProperty(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName, int64_t& Value);
// Text: integers in decimal, False/True, identifiers (a colour without one in
// decimal), strings as they are, a set as its element names joined by commas
// without brackets ("fsBold,fsItalic").
bool ReadPropertyText(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName, AnsiString& Text);
// Binary: the bytes of a binary property (Binary or DefineBinary with a
// writer), dotted names walking nested objects ("Image.Data"). False when
// there is no such property, it is of another kind, or it cannot be read.
bool ReadBinaryProperty(TPersistent* Obj, const TClassInfo& Info, const AnsiString& PropName,
                        std::vector<uint8_t>& Data);
// The names of the elements (0-31, in element order) that Mask holds, joined by commas.
AnsiString SetToText(int64_t Mask, const TEnumInfo& Elements);
// A set value of the names in Text: comma-separated, blanks around names and
// enclosing brackets allowed, empty names skipped. Written through
// WriteProperty, each name is checked against the set's elements.
FormValue SetValueFromText(const AnsiString& Text);

// Text for messages: "an integer 5", "a string 'abc'", "an identifier clRed".
AnsiString DescribeValue(const FormValue& V);

namespace typeinfo_detail {

bool IsNil(const FormValue& v);
int64_t AsInt(const FormValue& v, const char* what);
bool AsBool(const FormValue& v);
int64_t AsEnum(const FormValue& v, const TEnumInfo& e);
int64_t AsIntOrIdent(const FormValue& v, const TEnumInfo& e);
int64_t AsSet(const FormValue& v, const TEnumInfo& e);
const AnsiString& AsString(const FormValue& v);
double AsFloat(const FormValue& v);
const std::vector<uint8_t>& AsBinary(const FormValue& v);
void BindEvent(const FormValue& v, TReadContext& ctx, const std::type_info& type, void* field,
               const AnsiString& eventType);
void ReadCollection(TCollection* Coll, const FormValue& v, TReadContext& ctx);
void AddRefFixup(const FormValue& v, TReadContext& ctx, std::function<void(TComponent*)> apply);

template <class V>
V CheckedCast(int64_t v) {
    if constexpr (sizeof(V) < sizeof(int64_t)) {
        using L = std::numeric_limits<V>;
        if (v < int64_t(L::min()) || v > int64_t(L::max()))
            throw EPropertyError("value " + IntToStr(v) + " is out of range");
    }
    return static_cast<V>(v);
}

template <class T>
struct MethodOf;
template <class R, class C, class... A>
struct MethodOf<R (C::*)(A...)> {
    using type = Method<R(A...)>;
};

}  // namespace typeinfo_detail

// Builder that adds property setters to the record of class C.
template <class C>
class TClassReg {
public:
    explicit TClassReg(TClassInfo& Info) : FInfo(Info) {}
    TClassInfo& Info() const { return FInfo; }

    template <class B, class V>
    TClassReg& Int(const char* Name, void (B::*Set)(V)) {
        return Add(Name, TPropKind::Int, "Integer", [Set](C* o, const FormValue& v, TReadContext&) {
            using T = std::decay_t<V>;
            (o->*Set)(typeinfo_detail::CheckedCast<T>(typeinfo_detail::AsInt(v, "an integer")));
        });
    }
    template <class B>
    TClassReg& Bool(const char* Name, void (B::*Set)(bool)) {
        return Add(Name, TPropKind::Bool, "Boolean", [Set](C* o, const FormValue& v, TReadContext&) {
            (o->*Set)(typeinfo_detail::AsBool(v));
        });
    }
    template <class B, class E>
    TClassReg& Enum(const char* Name, void (B::*Set)(E), const TEnumInfo& Type) {
        const TEnumInfo* t = &Type;
        return Add(Name, TPropKind::Enum, Type.TypeName, [Set, t](C* o, const FormValue& v, TReadContext&) {
            (o->*Set)(static_cast<std::decay_t<E>>(typeinfo_detail::AsEnum(v, *t)));
        });
    }
    // Colours and cursors: an integer or one of the table's identifiers.
    template <class B, class V>
    TClassReg& IntOrIdent(const char* Name, void (B::*Set)(V), const TEnumInfo& Type) {
        const TEnumInfo* t = &Type;
        return Add(Name, TPropKind::IntOrIdent, Type.TypeName,
                   [Set, t](C* o, const FormValue& v, TReadContext&) {
                       (o->*Set)(static_cast<std::decay_t<V>>(typeinfo_detail::AsIntOrIdent(v, *t)));
                   });
    }
    template <class B, class V>
    TClassReg& Color(const char* Name, void (B::*Set)(V)) { return IntOrIdent(Name, Set, ColorIdents()); }
    template <class B, class V>
    TClassReg& Cursor(const char* Name, void (B::*Set)(V)) { return IntOrIdent(Name, Set, CursorIdents()); }
    template <class B, class V>
    TClassReg& Set(const char* Name, void (B::*Setter)(V), const TEnumInfo& Elements) {
        const TEnumInfo* t = &Elements;
        return Add(Name, TPropKind::Set, Elements.TypeName,
                   [Setter, t](C* o, const FormValue& v, TReadContext&) {
                       (o->*Setter)(static_cast<std::decay_t<V>>(typeinfo_detail::AsSet(v, *t)));
                   });
    }
    template <class B, class V>
    TClassReg& Str(const char* Name, void (B::*Set)(V)) {
        return Add(Name, TPropKind::Str, "String", [Set](C* o, const FormValue& v, TReadContext&) {
            (o->*Set)(typeinfo_detail::AsString(v));
        });
    }
    template <class B, class V>
    TClassReg& Float(const char* Name, void (B::*Set)(V)) {
        return Add(Name, TPropKind::Float, "Double", [Set](C* o, const FormValue& v, TReadContext&) {
            (o->*Set)(static_cast<std::decay_t<V>>(typeinfo_detail::AsFloat(v)));
        });
    }
    template <class B, class V>
    TClassReg& Binary(const char* Name, void (B::*Set)(V)) {
        return Add(Name, TPropKind::Binary, "Binary", [Set](C* o, const FormValue& v, TReadContext&) {
            (o->*Set)(typeinfo_detail::AsBinary(v));
        });
    }
    // A binary property the class defines itself: Read takes a stream over
    // the block's bytes (positioned at 0), Write puts the bytes to write into
    // a stream; each a member function taking TStream*. For pictures' "Data"
    // and other blocks whose layout only the class knows.
    template <class R, class W>
    TClassReg& DefineBinary(const char* Name, R Read, W Write) {
        Add(Name, TPropKind::Binary, "Binary", [Read](C* o, const FormValue& v, TReadContext&) {
            TReadOnlyMemoryStream s(typeinfo_detail::AsBinary(v));
            (o->*Read)(&s);
        });
        FInfo.Props[Name].ReadBinary = [Write](TPersistent* o) -> std::vector<uint8_t> {
            TMemoryStream s;
            (static_cast<C*>(o)->*Write)(&s);
            return s.Bytes();
        };
        return *this;
    }
    // The same with the getter first: the value can be read back as well.
    template <class BG, class G, class B, class V>
    TClassReg& Int(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V)) {
        return Int(Name, Setter).ReadsOrd(Name, Get);
    }
    template <class BG, class B>
    TClassReg& Bool(const char* Name, bool (BG::*Get)() const, void (B::*Setter)(bool)) {
        return Bool(Name, Setter).ReadsOrd(Name, Get);
    }
    template <class BG, class G, class B, class E>
    TClassReg& Enum(const char* Name, G (BG::*Get)() const, void (B::*Setter)(E), const TEnumInfo& Type) {
        return Enum(Name, Setter, Type).ReadsOrd(Name, Get);
    }
    template <class BG, class G, class B, class V>
    TClassReg& IntOrIdent(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V), const TEnumInfo& Type) {
        return IntOrIdent(Name, Setter, Type).ReadsOrd(Name, Get);
    }
    template <class BG, class G, class B, class V>
    TClassReg& Color(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V)) {
        return Color(Name, Setter).ReadsOrd(Name, Get);
    }
    template <class BG, class G, class B, class V>
    TClassReg& Cursor(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V)) {
        return Cursor(Name, Setter).ReadsOrd(Name, Get);
    }
    template <class BG, class G, class B, class V>
    TClassReg& Set(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V), const TEnumInfo& Elements) {
        return Set(Name, Setter, Elements).ReadsOrd(Name, Get);
    }
    template <class BG, class G, class B, class V>
    TClassReg& Str(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V)) {
        Str(Name, Setter);
        FInfo.Props[Name].ReadStr = [Get](TPersistent* o) -> AnsiString { return (static_cast<C*>(o)->*Get)(); };
        return *this;
    }
    template <class BG, class G, class B, class V>
    TClassReg& Binary(const char* Name, G (BG::*Get)() const, void (B::*Setter)(V)) {
        Binary(Name, Setter);
        FInfo.Props[Name].ReadBinary = [Get](TPersistent* o) -> std::vector<uint8_t> {
            return (static_cast<C*>(o)->*Get)();
        };
        return *this;
    }
    // Reference to another component of the form, by name; nil clears it.
    template <class B, class T>
    TClassReg& Ref(const char* Name, void (B::*Set)(T*), const char* TypeName) {
        AnsiString tn = TypeName;
        return Add(Name, TPropKind::Ref, TypeName, [Set, tn](C* o, const FormValue& v, TReadContext& ctx) {
            typeinfo_detail::AddRefFixup(v, ctx, [o, Set, tn](TComponent* target) {
                T* t = target ? dynamic_cast<T*>(target) : nullptr;
                if (target && !t)
                    throw EPropertyError(target->Name() + " is not a " + tn);
                (o->*Set)(t);
            });
        });
    }
    // Nested object: Get answers the object that dotted names continue into.
    template <class B, class T>
    TClassReg& Object(const char* Name, T* (B::*Get)() const, const char* ClassName) {
        TPropInfo p;
        p.Name = Name;
        p.Kind = TPropKind::Object;
        p.TypeName = ClassName;
        p.Get = [Get](TPersistent* o) -> TPersistent* { return (static_cast<C*>(o)->*Get)(); };
        p.Write = [cn = AnsiString(ClassName)](TPersistent*, const FormValue& v, TReadContext&) {
            throw EPropertyError("a " + cn + " takes its settings as nested properties, not " +
                                 DescribeValue(v));
        };
        FInfo.Props[p.Name] = std::move(p);
        return *this;
    }
    template <class B, class T>
    TClassReg& Collection(const char* Name, T* (B::*Get)() const) {
        TPropInfo p;
        p.Name = Name;
        p.Kind = TPropKind::Collection;
        p.TypeName = "TCollection";
        p.Get = [Get](TPersistent* o) -> TPersistent* { return (static_cast<C*>(o)->*Get)(); };
        p.Write = [Get](TPersistent* o, const FormValue& v, TReadContext& ctx) {
            typeinfo_detail::ReadCollection((static_cast<C*>(o)->*Get)(), v, ctx);
        };
        FInfo.Props[p.Name] = std::move(p);
        return *this;
    }
    // Event field bound by handler name to the form being read.
    template <class B, class Ev>
    TClassReg& Event(const char* Name, Ev B::*Field) {
        Add(Name, TPropKind::Event, "event", [Field](C* o, const FormValue& v, TReadContext& ctx) {
            Ev& field = static_cast<B*>(o)->*Field;
            if (typeinfo_detail::IsNil(v))
                field = nullptr;
            else
                typeinfo_detail::BindEvent(v, ctx, typeid(Ev), &field, "event");
        });
        TPropInfo& p = FInfo.Props[Name];
        p.EventField = [Field](TPersistent* o) -> void* { return &(static_cast<B*>(static_cast<C*>(o))->*Field); };
        p.EventType = &typeid(Ev);
        return *this;
    }
    // Accepted and dropped (legacy or design-time properties).
    TClassReg& Ignore(const char* Name) {
        return Add(Name, TPropKind::Ignore, "", [](C*, const FormValue&, TReadContext&) {});
    }
    TClassReg& Custom(const char* Name, std::function<void(C*, const FormValue&, TReadContext&)> Fn) {
        return Add(Name, TPropKind::Custom, "", std::move(Fn));
    }

private:
    template <class BG, class G>
    TClassReg& ReadsOrd(const char* Name, G (BG::*Get)() const) {
        FInfo.Props[Name].ReadOrd = [Get](TPersistent* o) -> int64_t {
            return static_cast<int64_t>((static_cast<C*>(o)->*Get)());
        };
        return *this;
    }
    TClassReg& Add(const char* Name, TPropKind Kind, const AnsiString& TypeName,
                   std::function<void(C*, const FormValue&, TReadContext&)> Fn) {
        TPropInfo p;
        p.Name = Name;
        p.Kind = Kind;
        p.TypeName = TypeName;
        p.Write = [Fn = std::move(Fn)](TPersistent* o, const FormValue& v, TReadContext& ctx) {
            Fn(static_cast<C*>(o), v, ctx);
        };
        FInfo.Props[p.Name] = std::move(p);
        return *this;
    }
    TClassInfo& FInfo;
};

// A component class the form reader can create: C(TComponent* Owner).
template <class C>
TClassReg<C> RegisterComponentClass(const AnsiString& ClassName, const AnsiString& ParentName) {
    TClassInfo& info = RegisterClassInfo(ClassName, ParentName);
    info.Create = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
    return TClassReg<C>(info);
}

// A class whose properties are set but that the reader never creates (an
// abstract base, or a nested object such as TFont). ParentName may be empty.
template <class C>
TClassReg<C> RegisterPersistentClass(const AnsiString& ClassName, const AnsiString& ParentName = "") {
    return TClassReg<C>(RegisterClassInfo(ClassName, ParentName));
}

// Builder of a form class's record: its published handlers.
template <class F>
class TFormReg : public TClassReg<F> {
public:
    using TClassReg<F>::TClassReg;
    template <auto Member>
    TFormReg& Handler(const char* Name) {
        using Ev = typename typeinfo_detail::MethodOf<decltype(Member)>::type;
        THandlerInfo h;
        h.Name = Name;
        h.Type = &typeid(Ev);
        h.Bind = [](TPersistent* Form, void* Out) {
            *static_cast<Ev*>(Out) = Ev::template Of<Member>(static_cast<F*>(Form));
        };
        this->Info().Handlers[h.Name] = h;
        return *this;
    }
};

// Form classes derive from TForm (or another registered form class) and are
// created by Application->CreateForm; they inherit TForm's properties.
template <class F>
TFormReg<F> RegisterFormClass(const AnsiString& ClassName, const AnsiString& ParentName = "TForm") {
    TClassInfo& info = RegisterClassInfo(ClassName, ParentName);
    info.Create = [](TComponent* Owner) -> TComponent* { return new F(Owner); };
    return TFormReg<F>(info);
}
