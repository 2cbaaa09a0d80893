// A definition of the test classes' form that sets every property kind, and
// loading helpers, for the native tests and the form reader's fuzz target.
#pragma once

#include <memory>

#include "FormReader.h"
#include "ModelClasses.h"

namespace model_test {

inline FormProperty P(const char* name, FormValue v) { return FormProperty{name, std::move(v)}; }
inline FormValue SetOf(std::vector<AnsiString> ids) {
    FormValue v;
    v.Kind = FormValueKind::Set;
    v.Set = std::move(ids);
    return v;
}
inline FormValue Bytes(std::vector<uint8_t> b) {
    FormValue v;
    v.Kind = FormValueKind::Binary;
    v.Binary = std::move(b);
    return v;
}
inline FormValue Items(std::vector<std::vector<FormProperty>> items) {
    FormValue v;
    v.Kind = FormValueKind::Collection;
    v.Items = std::move(items);
    return v;
}
inline FormObject Obj(const char* cls, const char* name, std::vector<FormProperty> props,
                      std::vector<FormObject> children = {}) {
    FormObject o;
    o.ClassName = cls;
    o.Name = name;
    o.Props = std::move(props);
    o.Children = std::move(children);
    return o;
}

// Root { Box1 { Leaf1, Gadget1 } }, with a forward reference (Box1.Buddy),
// a collection of collections and every kind of value.
inline FormObject GoodTree() {
    FormValue lines;
    lines.Kind = FormValueKind::List;
    lines.List = {FormValue::MakeString("one"), FormValue::MakeString("two")};
    FormObject leaf = Obj("TTestControl", "Leaf1", {
        P("Caption", FormValue::MakeString("Выход")),
        P("OnMove", FormValue::MakeIdent("Moved")),
    });
    FormObject gadget = Obj("TTestGadget", "Gadget1", {
        P("Count", FormValue::MakeInt(3)), P("On", FormValue::MakeBool(true)),
        P("Ratio", FormValue::MakeFloat(1.5)), P("Blob", Bytes({1, 2, 3})),
        P("OnFire", FormValue::MakeIdent("Fire")), P("Tag", FormValue::MakeInt(-7)),
    });
    FormObject box = Obj("TTestBox", "Box1", {
        P("Kind", FormValue::MakeIdent("tkFancy")), P("Color", FormValue::MakeIdent("clAqua")),
        P("Cursor", FormValue::MakeIdent("crHandPoint")), P("Styles", SetOf({"tsBold", "tsTall"})),
        P("Small", FormValue::MakeInt(-5)), P("Pen.Width", FormValue::MakeInt(3)),
        P("Pen.Color", FormValue::MakeInt(0x0000FF)), P("Lines.Strings", lines),
        P("Buddy", FormValue::MakeIdent("Leaf1")), P("Legacy", FormValue::MakeInt(5)),
        P("Mark", FormValue::MakeInt(21)),
        P("Items", Items({
            {P("Value", FormValue::MakeInt(7)), P("Target", FormValue::MakeIdent("Gadget1")),
             P("SubItems", Items({
                 {P("Name", FormValue::MakeString("a")), P("Picture.Data", Bytes({2, 0, 0, 0, 0xAA, 0xBB})),
                  P("ImgData", Bytes({9, 8, 7}))},
                 {P("Name", FormValue::MakeString("b"))},
             }))},
            {P("Value", FormValue::MakeInt(9))},
        })),
    }, {leaf, gadget});
    return Obj("TTestRoot", "Root", {
        P("Caption", FormValue::MakeString("Root")), P("OnClick", FormValue::MakeIdent("Clicked")),
    }, {box});
}

inline std::unique_ptr<TTestRoot> NewRoot() {
    RegisterClasses();
    return std::make_unique<TTestRoot>(nullptr);
}

}  // namespace model_test
