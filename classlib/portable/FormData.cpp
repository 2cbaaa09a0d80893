// Binary form streams: reading every value type of the stream, writing the
// ones the readable text produces.
#include "FormData.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "FormCodePage.h"

namespace {

// Value types of the binary stream.
enum : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
};

// Object prefix flags (the prefix byte is 0xF0 | flags).
enum : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

// 80-bit x87 extended: 64-bit mantissa with explicit integer bit, 15-bit
// exponent biased by 16383, sign in the top bit.
double ExtendedToDouble(const uint8_t* p) {
    uint64_t mant = 0;
    for (int i = 7; i >= 0; --i) mant = (mant << 8) | p[i];
    unsigned se = p[8] | (unsigned(p[9]) << 8);
    bool neg = (se & 0x8000) != 0;
    int exp = int(se & 0x7FFF);
    double v;
    if (exp == 0 && mant == 0) {
        v = 0.0;
    } else if (exp == 0x7FFF) {
        v = (mant << 1) == 0 ? std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::quiet_NaN();
    } else {
        v = std::ldexp(double(mant), exp - 16383 - 63);
    }
    return neg ? -v : v;
}

void DoubleToExtended(double v, uint8_t* p) {
    std::memset(p, 0, 10);
    unsigned se = std::signbit(v) ? 0x8000u : 0u;
    uint64_t mant = 0;
    if (std::isnan(v)) {
        se |= 0x7FFF;
        mant = 0xC000000000000000ull;
    } else if (std::isinf(v)) {
        se |= 0x7FFF;
        mant = 0x8000000000000000ull;
    } else if (v != 0.0) {
        int e = 0;
        double f = std::frexp(std::fabs(v), &e);  // f in [0.5, 1)
        // f * 2^64 fits in 64 bits exactly for every double mantissa.
        mant = uint64_t(std::ldexp(f, 64));
        int biased = e - 1 + 16383;
        se |= unsigned(biased);
    }
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(mant >> (8 * i));
    p[8] = uint8_t(se);
    p[9] = uint8_t(se >> 8);
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    FormObject ReadRoot() {
        if (Left() < 4 || std::memcmp(p_, "TPF0", 4) != 0)
            throw EReadError("Invalid form data: the stream does not begin with TPF0");
        p_ += 4;
        FormObject root = ReadObject(0);
        return root;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
    // Where we are, for messages.
    AnsiString component_ = "(form)";
    AnsiString property_;

    size_t Left() const { return size_t(end_ - p_); }

    [[noreturn]] void Fail(const AnsiString& what) const {
        AnsiString msg = "Error reading form data: " + what;
        msg += " (component " + component_;
        if (!property_.empty()) msg += ", property " + property_;
        msg += ")";
        throw EReadError(msg);
    }

    void Need(size_t n) const {
        if (Left() < n) Fail("unexpected end of data");
    }
    uint8_t U8() {
        Need(1);
        return *p_++;
    }
    uint8_t Peek() {
        Need(1);
        return *p_;
    }
    uint64_t LE(int n) {
        Need(size_t(n));
        uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | p_[i];
        p_ += n;
        return v;
    }
    AnsiString Bytes(size_t n) {
        Need(n);
        AnsiString s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    AnsiString ShortStr() { return Bytes(U8()); }

    void Depth(int depth) const {
        if (depth > kFormMaxDepth) Fail("nesting deeper than " + IntToStr(kFormMaxDepth));
    }

    FormObject ReadObject(int depth) {
        Depth(depth);
        FormObject obj;
        AnsiString outer = component_;
        uint8_t b = Peek();
        if ((b & 0xF0) == 0xF0) {
            ++p_;
            uint8_t flags = b & 0x0F;
            if (flags & ~(ffInherited | ffChildPos | ffInline)) Fail("invalid object flags");
            if (flags & ffChildPos) {
                FormValue pos = ReadValue(depth + 1);
                if (pos.Kind != FormValueKind::Int) Fail("child position is not an integer");
            }
        }
        property_.clear();
        obj.ClassName = ShortStr();
        if (obj.ClassName.empty()) Fail("empty class name");
        obj.Name = ShortStr();
        component_ = obj.Name.empty() ? "(unnamed " + obj.ClassName + ")" : obj.Name;
        while (Peek() != vaNull) {
            property_.clear();
            FormProperty prop;
            prop.Name = ShortStr();
            if (prop.Name.empty()) Fail("empty property name");
            property_ = prop.Name;
            prop.Value = ReadValue(depth + 1);
            obj.Props.push_back(std::move(prop));
        }
        ++p_;
        property_.clear();
        while (Peek() != vaNull) obj.Children.push_back(ReadObject(depth + 1));
        ++p_;
        component_ = outer;
        return obj;
    }

    FormValue ReadValue(int depth) {
        Depth(depth);
        FormValue v;
        uint8_t t = U8();
        switch (t) {
        case vaNil:
            v.Kind = FormValueKind::Null;
            break;
        case vaInt8:
            v.Kind = FormValueKind::Int;
            v.Int = int8_t(LE(1));
            break;
        case vaInt16:
            v.Kind = FormValueKind::Int;
            v.Int = int16_t(LE(2));
            break;
        case vaInt32:
            v.Kind = FormValueKind::Int;
            v.Int = int32_t(LE(4));
            break;
        case vaInt64:
            v.Kind = FormValueKind::Int;
            v.Int = int64_t(LE(8));
            break;
        case vaExtended:
            Need(10);
            v.Kind = FormValueKind::Float;
            v.Float = ExtendedToDouble(p_);
            p_ += 10;
            break;
        case vaSingle: {
            uint32_t bits = uint32_t(LE(4));
            float f;
            std::memcpy(&f, &bits, 4);
            v.Kind = FormValueKind::Float;
            v.Float = f;
            break;
        }
        case vaDate: {
            uint64_t bits = LE(8);
            std::memcpy(&v.Float, &bits, 8);
            v.Kind = FormValueKind::Float;
            break;
        }
        case vaCurrency:
            v.Kind = FormValueKind::Float;
            v.Float = double(int64_t(LE(8))) / 10000.0;
            break;
        case vaString:
            v.Kind = FormValueKind::String;
            v.Str = ShortStr();
            break;
        case vaLString:
            v.Kind = FormValueKind::String;
            v.Str = Bytes(size_t(LE(4)));
            break;
        case vaWString: {
            uint64_t n = LE(4);
            if (n > Left() / 2) Fail("unexpected end of data");
            std::u16string w;
            w.reserve(size_t(n));
            for (uint64_t i = 0; i < n; ++i) w.push_back(char16_t(LE(2)));
            v.Kind = FormValueKind::String;
            v.Str = formcp::Utf16To1251(w);
            break;
        }
        case vaUTF8String: {
            AnsiString u = Bytes(size_t(LE(4)));
            v.Kind = FormValueKind::String;
            v.Str = formcp::Utf8To1251Lossy(u);
            break;
        }
        case vaIdent:
            v.Kind = FormValueKind::Ident;
            v.Str = ShortStr();
            if (v.Str.empty()) Fail("empty identifier");
            break;
        case vaFalse:
            v.Kind = FormValueKind::False;
            break;
        case vaTrue:
            v.Kind = FormValueKind::True;
            break;
        case vaBinary: {
            size_t n = size_t(LE(4));
            Need(n);
            v.Kind = FormValueKind::Binary;
            v.Binary.assign(p_, p_ + n);
            p_ += n;
            break;
        }
        case vaSet:
            v.Kind = FormValueKind::Set;
            for (;;) {
                AnsiString e = ShortStr();
                if (e.empty()) break;
                v.Set.push_back(std::move(e));
            }
            break;
        case vaList:
            v.Kind = FormValueKind::List;
            while (Peek() != vaNull) v.List.push_back(ReadValue(depth + 1));
            ++p_;
            break;
        case vaCollection: {
            v.Kind = FormValueKind::Collection;
            AnsiString outerProp = property_;
            while (Peek() != vaNull) {
                // An item may start with its order value (an integer).
                uint8_t b = Peek();
                if (b == vaInt8 || b == vaInt16 || b == vaInt32) {
                    (void)ReadValue(depth + 1);
                } else if (b != vaList) {
                    Fail("collection item does not start with a list");
                }
                if (U8() != vaList) Fail("collection item does not start with a list");
                std::vector<FormProperty> item;
                while (Peek() != vaNull) {
                    FormProperty prop;
                    prop.Name = ShortStr();
                    if (prop.Name.empty()) Fail("empty property name");
                    property_ = outerProp + "[" + IntToStr(int64_t(v.Items.size())) + "]." + prop.Name;
                    prop.Value = ReadValue(depth + 2);
                    item.push_back(std::move(prop));
                }
                ++p_;
                property_ = outerProp;
                v.Items.push_back(std::move(item));
            }
            ++p_;
            break;
        }
        case vaNull:
            Fail("missing value");
        default:
            Fail("unknown value type " + IntToStr(t));
        }
        return v;
    }
};

class Writer {
public:
    std::vector<uint8_t> out;

    void U8(uint8_t b) { out.push_back(b); }
    void LE(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) out.push_back(uint8_t(v >> (8 * i)));
    }
    void Raw(const void* p, size_t n) {
        auto b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    }
    void ShortStr(const AnsiString& s, const char* what) {
        if (s.size() > 255) throw EWriteError(AnsiString("Cannot write form data: ") + what + " \"" +
                                             s.substr(0, 40) + "...\" is longer than 255 bytes");
        U8(uint8_t(s.size()));
        Raw(s.data(), s.size());
    }

    void Object(const FormObject& o, int depth) {
        if (depth > kFormMaxDepth) throw EWriteError("Cannot write form data: nesting too deep");
        if (o.ClassName.empty()) throw EWriteError("Cannot write form data: object " + o.Name + " has no class");
        // A class name's length byte of 0xF0 or more would read as a flags
        // prefix; an empty prefix keeps it unambiguous.
        if (o.ClassName.size() >= 0xF0) U8(0xF0);
        ShortStr(o.ClassName, "class name");
        ShortStr(o.Name, "object name");
        Props(o.Props, depth);
        for (const FormObject& c : o.Children) Object(c, depth + 1);
        U8(vaNull);
    }

    void Props(const std::vector<FormProperty>& props, int depth) {
        for (const FormProperty& p : props) {
            if (p.Name.empty()) throw EWriteError("Cannot write form data: empty property name");
            ShortStr(p.Name, "property name");
            Value(p.Value, depth + 1);
        }
        U8(vaNull);
    }

    void Int(int64_t v) {
        if (v >= INT8_MIN && v <= INT8_MAX) {
            U8(vaInt8);
            LE(uint64_t(v), 1);
        } else if (v >= INT16_MIN && v <= INT16_MAX) {
            U8(vaInt16);
            LE(uint64_t(v), 2);
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            U8(vaInt32);
            LE(uint64_t(v), 4);
        } else {
            U8(vaInt64);
            LE(uint64_t(v), 8);
        }
    }

    void Value(const FormValue& v, int depth) {
        if (depth > kFormMaxDepth) throw EWriteError("Cannot write form data: nesting too deep");
        switch (v.Kind) {
        case FormValueKind::Null:
            U8(vaNil);
            break;
        case FormValueKind::Int:
            Int(v.Int);
            break;
        case FormValueKind::Float: {
            U8(vaExtended);
            uint8_t e[10];
            DoubleToExtended(v.Float, e);
            Raw(e, 10);
            break;
        }
        case FormValueKind::String:
            if (v.Str.size() <= 255) {
                U8(vaString);
                U8(uint8_t(v.Str.size()));
            } else {
                U8(vaLString);
                LE(v.Str.size(), 4);
            }
            Raw(v.Str.data(), v.Str.size());
            break;
        case FormValueKind::Ident:
            if (v.Str.empty()) throw EWriteError("Cannot write form data: empty identifier");
            U8(vaIdent);
            ShortStr(v.Str, "identifier");
            break;
        case FormValueKind::False:
            U8(vaFalse);
            break;
        case FormValueKind::True:
            U8(vaTrue);
            break;
        case FormValueKind::Set:
            U8(vaSet);
            for (const AnsiString& e : v.Set) {
                if (e.empty()) throw EWriteError("Cannot write form data: empty set element");
                ShortStr(e, "set element");
            }
            U8(0);
            break;
        case FormValueKind::List:
            U8(vaList);
            for (const FormValue& e : v.List) Value(e, depth + 1);
            U8(vaNull);
            break;
        case FormValueKind::Binary:
            if (v.Binary.size() > 0xFFFFFFFFull) throw EWriteError("Cannot write form data: binary too large");
            U8(vaBinary);
            LE(v.Binary.size(), 4);
            Raw(v.Binary.data(), v.Binary.size());
            break;
        case FormValueKind::Collection:
            U8(vaCollection);
            for (const auto& item : v.Items) {
                U8(vaList);
                Props(item, depth + 1);
            }
            U8(vaNull);
            break;
        }
    }
};

}  // namespace

FormValue FormValue::MakeInt(int64_t v) {
    FormValue r;
    r.Kind = FormValueKind::Int;
    r.Int = v;
    return r;
}
FormValue FormValue::MakeFloat(double v) {
    FormValue r;
    r.Kind = FormValueKind::Float;
    r.Float = v;
    return r;
}
FormValue FormValue::MakeString(AnsiString s) {
    FormValue r;
    r.Kind = FormValueKind::String;
    r.Str = std::move(s);
    return r;
}
FormValue FormValue::MakeIdent(AnsiString s) {
    FormValue r;
    r.Kind = FormValueKind::Ident;
    r.Str = std::move(s);
    return r;
}
FormValue FormValue::MakeBool(bool b) {
    FormValue r;
    r.Kind = b ? FormValueKind::True : FormValueKind::False;
    return r;
}

const FormProperty* FormObject::Find(const AnsiString& propName) const {
    for (const FormProperty& p : Props)
        if (p.Name == propName) return &p;
    return nullptr;
}

FormObject ReadFormBinary(const uint8_t* data, size_t size) {
    if (!data && size) throw EReadError("Invalid form data: no data");
    Reader r(data ? data : reinterpret_cast<const uint8_t*>(""), data ? size : 0);
    return r.ReadRoot();
}

std::vector<uint8_t> WriteFormBinary(const FormObject& root) {
    Writer w;
    w.out = {'T', 'P', 'F', '0'};
    w.Object(root, 0);
    return std::move(w.out);
}

AnsiString FormResourceName(const AnsiString& className) { return UpperCaseAscii(className); }
