// Structural equality of form trees for the tests and the fuzzer, with a
// readable path to the first difference.
#pragma once

#include <cstring>
#include <string>

#include "FormData.h"

inline bool SameValue(const FormValue& a, const FormValue& b, std::string& where);

inline bool SameProps(const std::vector<FormProperty>& a, const std::vector<FormProperty>& b, std::string& where) {
    if (a.size() != b.size()) {
        where += ": property count " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].Name != b[i].Name) {
            where += ": property name " + a[i].Name + " vs " + b[i].Name;
            return false;
        }
        std::string w = where + "." + a[i].Name;
        if (!SameValue(a[i].Value, b[i].Value, w)) {
            where = w;
            return false;
        }
    }
    return true;
}

inline bool SameValue(const FormValue& a, const FormValue& b, std::string& where) {
    if (a.Kind != b.Kind) {
        where += ": kind " + std::to_string(int(a.Kind)) + " vs " + std::to_string(int(b.Kind));
        return false;
    }
    switch (a.Kind) {
    case FormValueKind::Int:
        if (a.Int != b.Int) return where += ": int", false;
        break;
    case FormValueKind::Float:
        if (std::memcmp(&a.Float, &b.Float, sizeof(double)) != 0 && !(a.Float != a.Float && b.Float != b.Float))
            return where += ": float", false;
        break;
    case FormValueKind::String:
    case FormValueKind::Ident:
        if (a.Str != b.Str) return where += ": text", false;
        break;
    case FormValueKind::Set:
        if (a.Set != b.Set) return where += ": set", false;
        break;
    case FormValueKind::Binary:
        if (a.Binary != b.Binary) return where += ": binary", false;
        break;
    case FormValueKind::List:
        if (a.List.size() != b.List.size()) return where += ": list size", false;
        for (size_t i = 0; i < a.List.size(); ++i) {
            std::string w = where + "[" + std::to_string(i) + "]";
            if (!SameValue(a.List[i], b.List[i], w)) return where = w, false;
        }
        break;
    case FormValueKind::Collection:
        if (a.Items.size() != b.Items.size()) return where += ": item count", false;
        for (size_t i = 0; i < a.Items.size(); ++i) {
            std::string w = where + "<" + std::to_string(i) + ">";
            if (!SameProps(a.Items[i], b.Items[i], w)) return where = w, false;
        }
        break;
    default:
        break;
    }
    return true;
}

inline bool SameObject(const FormObject& a, const FormObject& b, std::string& where) {
    where += "/" + a.Name;
    if (a.ClassName != b.ClassName || a.Name != b.Name) return where += ": name or class", false;
    if (!SameProps(a.Props, b.Props, where)) return false;
    if (a.Children.size() != b.Children.size()) return where += ": child count", false;
    for (size_t i = 0; i < a.Children.size(); ++i) {
        std::string w = where;
        if (!SameObject(a.Children[i], b.Children[i], w)) return where = w, false;
    }
    return true;
}
