#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <cstring>

#include "FormCodePage.h"
#include "FormData.h"
#include "FormDataCompare.h"
#include "SeedStreams.h"

namespace {

std::vector<uint8_t> Seed(const std::string& name) {
    for (auto& [n, b] : SeedStreams())
        if (n == name) return b;
    ADD_FAILURE() << "no seed " << name;
    return {};
}

std::string ReadError(const std::vector<uint8_t>& b) {
    try {
        ReadFormBinary(b);
    } catch (const EReadError& e) {
        return e.Message;
    }
    return "(no error)";
}

FormObject Parse(const std::string& text, const FormPictureResolver& r = nullptr) {
    return ParseFormText(text, "T.form", r);
}

std::string ParseError(const std::string& text, const FormPictureResolver& r = nullptr) {
    try {
        Parse(text, r);
    } catch (const EFormTextError& e) {
        return e.Message;
    }
    return "(no error)";
}

}  // namespace

// ---------------------------------------------------------------- binary

TEST(FormBinary, ReadsEveryValueType) {
    FormObject f = ReadFormBinary(Seed("valid-all-types"));
    EXPECT_EQ(f.ClassName, "TForm2");
    EXPECT_EQ(f.Name, "Form2");
    auto v = [&](const char* n) -> const FormValue& {
        const FormProperty* p = f.Find(n);
        if (!p) throw std::runtime_error(std::string("missing ") + n);
        return p->Value;
    };
    EXPECT_EQ(v("I8").Int, -123);
    EXPECT_EQ(v("I16").Int, -32767);
    EXPECT_EQ(v("I32").Int, -2147483647LL);
    EXPECT_EQ(v("I64").Int, INT64_MIN + 1);
    EXPECT_EQ(v("Ext").Kind, FormValueKind::Float);
    EXPECT_DOUBLE_EQ(v("Ext").Float, 1.5);
    EXPECT_DOUBLE_EQ(v("Sgl").Float, 2.5);
    EXPECT_DOUBLE_EQ(v("Cur").Float, 1.2345);
    EXPECT_DOUBLE_EQ(v("Dat").Float, 2.0);
    EXPECT_EQ(v("S").Str, "abc");
    EXPECT_EQ(v("LS").Str, "xy");
    EXPECT_EQ(v("WS").Str, "\xC2\x88");  // В and the euro sign in Windows-1251
    EXPECT_EQ(v("U8").Str, "\xC2");
    EXPECT_EQ(v("Id").Kind, FormValueKind::Ident);
    EXPECT_EQ(v("Id").Str, "clRed");
    EXPECT_EQ(v("F").Kind, FormValueKind::False);
    EXPECT_EQ(v("T").Kind, FormValueKind::True);
    EXPECT_EQ(v("Nil").Kind, FormValueKind::Null);
    EXPECT_EQ(v("Bin").Binary, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(v("Set").Set, (std::vector<AnsiString>{"biSystemMenu", "biMinimize"}));
    ASSERT_EQ(v("List").List.size(), 3u);
    EXPECT_EQ(v("List").List[0].Str, "q");
    EXPECT_EQ(v("List").List[1].Int, 9);
    EXPECT_EQ(v("List").List[2].Kind, FormValueKind::List);
    const FormValue& c = v("Coll");
    ASSERT_EQ(c.Items.size(), 2u);
    EXPECT_EQ(c.Items[0][0].Name, "Width");
    EXPECT_EQ(c.Items[0][0].Value.Int, 40);
    EXPECT_EQ(c.Items[1][0].Value.Str, "k");
    ASSERT_EQ(f.Children.size(), 2u);
    EXPECT_EQ(f.Children[0].Name, "Image1");
    EXPECT_EQ(f.Children[0].Props[0].Value.Int, 8);
    EXPECT_EQ(f.Children[1].ClassName, "TShape");  // after its flags prefix
}

TEST(FormBinary, WritesSmallestIntegersAndRoundTrips) {
    FormObject f;
    f.ClassName = "TForm";
    f.Name = "F";
    const int64_t ints[] = {0, 127, -128, 128, -129, 32767, -32768, 32768, 2147483647LL, -2147483648LL,
                            2147483648LL, INT64_MIN};
    const size_t sizes[] = {1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 8, 8};
    for (int64_t i : ints) f.Props.push_back({"P", FormValue::MakeInt(i)});
    std::vector<uint8_t> b = WriteFormBinary(f);
    // "TPF0", 5 "TForm", 1 "F", then per property: 1 "P", type byte, payload.
    size_t at = 4 + 6 + 2;
    for (size_t k = 0; k < std::size(ints); ++k) {
        ASSERT_LT(at + 2, b.size());
        EXPECT_EQ(b[at + 2], sizes[k] == 1 ? 2 : sizes[k] == 2 ? 3 : sizes[k] == 4 ? 4 : 19) << ints[k];
        at += 3 + sizes[k];
    }
    EXPECT_EQ(at + 2, b.size());  // property list end and child list end
    FormObject back = ReadFormBinary(b);
    for (size_t k = 0; k < std::size(ints); ++k) EXPECT_EQ(back.Props[k].Value.Int, ints[k]);
}

TEST(FormBinary, ExtendedFloatsAreExactX87Bytes) {
    struct Case {
        double v;
        uint8_t bytes[10];
    } cases[] = {
        {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {-2.5, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
        {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        FormObject f;
        f.ClassName = "T";
        f.Props.push_back({"X", FormValue::MakeFloat(c.v)});
        std::vector<uint8_t> b = WriteFormBinary(f);
        // "TPF0" 1T 0 1X type(5) then 10 bytes
        ASSERT_EQ(b.size(), 4 + 2 + 1 + 2 + 1 + 10 + 2u);
        EXPECT_EQ(b[9], 5);
        EXPECT_EQ(0, std::memcmp(&b[10], c.bytes, 10)) << c.v;
    }
    // Values that need the full double mantissa survive the trip.
    for (double d : {0.1, -1e300, 3.141592653589793, 1e-310 /* subnormal */}) {
        FormObject f;
        f.ClassName = "T";
        f.Props.push_back({"X", FormValue::MakeFloat(d)});
        EXPECT_EQ(ReadFormBinary(WriteFormBinary(f)).Props[0].Value.Float, d);
    }
}

TEST(FormBinary, EveryWrittenKindRoundTrips) {
    FormObject f;
    f.ClassName = "TForm2";
    f.Name = "Form2";
    f.Props.push_back({"Caption", FormValue::MakeString("Tuvreli")});
    f.Props.push_back({"Long", FormValue::MakeString(std::string(300, '\xC0'))});
    f.Props.push_back({"Font.Name", FormValue::MakeString("Arial")});
    f.Props.push_back({"Color", FormValue::MakeIdent("clRed")});
    f.Props.push_back({"Visible", FormValue::MakeBool(false)});
    f.Props.push_back({"Stretch", FormValue::MakeBool(true)});
    FormValue set;
    set.Kind = FormValueKind::Set;
    f.Props.push_back({"BorderIcons", set});
    set.Set = {"a", "b"};
    f.Props.push_back({"S2", set});
    FormValue list;
    list.Kind = FormValueKind::List;
    list.List = {FormValue::MakeString("x"), FormValue::MakeInt(70000), FormValue()};
    f.Props.push_back({"Strings", list});
    FormValue bin;
    bin.Kind = FormValueKind::Binary;
    bin.Binary = {0, 255, 7};
    f.Props.push_back({"Data", bin});
    FormValue coll;
    coll.Kind = FormValueKind::Collection;
    coll.Items = {{{"Width", FormValue::MakeInt(5)}}, {}};
    f.Props.push_back({"Columns", coll});
    FormObject child;
    child.ClassName = "TPanel";
    child.Name = "Panel1";
    FormObject grand;
    grand.ClassName = "TLabel";
    grand.Name = "Label1";
    grand.Props.push_back({"Caption", FormValue::MakeString("0")});
    child.Children.push_back(grand);
    f.Children.push_back(child);

    std::vector<uint8_t> b = WriteFormBinary(f);
    ASSERT_EQ(0, std::memcmp(b.data(), "TPF0", 4));
    FormObject back = ReadFormBinary(b);
    std::string where;
    EXPECT_TRUE(SameObject(f, back, where)) << where;
    EXPECT_EQ(WriteFormBinary(back), b);
}

TEST(FormBinary, EveryTruncationIsAClearErrorNamingWhere) {
    std::vector<uint8_t> full = Seed("valid-all-types");
    ASSERT_NO_THROW(ReadFormBinary(full));
    for (size_t n = 0; n < full.size(); ++n) {
        // A copy of exactly n bytes, so reading past it is caught by the sanitizers too.
        std::vector<uint8_t> cut(full.begin(), full.begin() + n);
        std::string msg = ReadError(cut);
        EXPECT_NE(msg, "(no error)") << n;
        if (n > 12) {
            EXPECT_NE(msg.find("unexpected end of data"), std::string::npos) << n << ": " << msg;
        }
    }
    // Lengths that point past the end.
    EXPECT_NE(ReadError(Seed("bad-binary-length")).find("unexpected end"), std::string::npos);
    EXPECT_NE(ReadError(Seed("bad-wide-length")).find("unexpected end"), std::string::npos);
}

TEST(FormBinary, BadDataMessagesNameComponentAndProperty) {
    std::string m = ReadError(Seed("bad-value-type"));
    EXPECT_NE(m.find("unknown value type 21"), std::string::npos) << m;
    EXPECT_NE(m.find("component F"), std::string::npos) << m;
    EXPECT_NE(m.find("property Bad"), std::string::npos) << m;

    // In a nested component the message names the child, not the form.
    StreamBuilder s;
    s.Obj("TForm", "F").End().Obj("TShape", "Shape2").Prop("Pen.Width").U8(4).U8(1);
    m = ReadError(s.b);
    EXPECT_NE(m.find("component Shape2, property Pen.Width"), std::string::npos) << m;

    // Inside a collection the item index is part of the property.
    StreamBuilder c;
    c.Obj("TForm", "F").Prop("Cols").U8(14).U8(1).Prop("Width").U8(99);
    m = ReadError(c.b);
    EXPECT_NE(m.find("property Cols[0].Width"), std::string::npos) << m;

    EXPECT_NE(ReadError({'T', 'P', 'F', '1', 0}).find("TPF0"), std::string::npos);
    EXPECT_NE(ReadError({}).find("TPF0"), std::string::npos);
    StreamBuilder e;
    e.Obj("", "F");
    EXPECT_NE(ReadError(e.b).find("empty class name"), std::string::npos);
    StreamBuilder z;
    z.Obj("TForm", "F").Prop("Caption").U8(0);  // terminator where a value belongs
    EXPECT_NE(ReadError(z.b).find("missing value"), std::string::npos);
    StreamBuilder fl;
    fl.U8(0xF8).Obj("TForm", "F").End().End();
    EXPECT_NE(ReadError(fl.b).find("flags"), std::string::npos);
}

TEST(FormBinary, NestingDepthIsBounded) {
    // Lists nested deeper than the bound fail cleanly instead of exhausting the stack.
    StreamBuilder s;
    s.Obj("TForm", "F").Prop("L");
    for (int i = 0; i < 100000; ++i) s.U8(1);
    EXPECT_NE(ReadError(s.b).find("nesting deeper than"), std::string::npos);

    auto nestedObjects = [](int depth) {
        StreamBuilder o;
        for (int i = 0; i < depth; ++i) o.Obj("TPanel", "P").End();
        for (int i = 0; i < depth; ++i) o.End();
        return o.b;
    };
    EXPECT_NO_THROW(ReadFormBinary(nestedObjects(kFormMaxDepth / 2)));
    EXPECT_NE(ReadError(nestedObjects(kFormMaxDepth + 2)).find("nesting deeper than"), std::string::npos);
}

// ---------------------------------------------------------------- code page

TEST(FormCodePage, TableAgreesWithSystemConverter) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1251");
    ASSERT_NE(cd, (iconv_t)-1);
    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char32_t outc = 0;
        char* ip = &in;
        char* op = reinterpret_cast<char*>(&outc);
        size_t il = 1, ol = 4;
        size_t r = iconv(cd, &ip, &il, &op, &ol);
        char32_t mine = formcp::CharOf1251((unsigned char)b);
        if (r == (size_t)-1) {
            EXPECT_EQ(mine, 0u) << b;
        } else {
            EXPECT_EQ(mine, outc) << b;
            EXPECT_EQ(formcp::ByteOf1251(outc), b) << b;
        }
    }
    iconv_close(cd);
    EXPECT_EQ(formcp::ByteOf1251(U'\u00E9'), -1);  // é is not in the code page
}

// ---------------------------------------------------------------- text

TEST(FormText, ParsesEveryConstruct) {
    const char* text = R"(// menu
object Form2: TForm2
  Left = -8
  Tag = $7F
  Caption = 'Tuvreli'
  Hint = 'Выход'#13#10'it''s' +
    ' ёЁ'#1042
  Font.Height = -11
  Scale = 1.25
  Big = 2e3
  Color = clRed
  Visible = False
  Enabled = true
  PopupMenu = nil
  BorderIcons = [biSystemMenu, biMinimize]
  Anchors = []
  Strings = (
    'a'
    12
    (x))
  Columns = <
    item
      Width = 40
    end
    item
    end>
  Data = {
    0A0b FF
    00}
  object Image1: TImage
    Picture.Data = picture TPNGGraphic 'disc.png'
  end
  object Panel1: TPanel
    object Label1: TLabel
    end
  end
end
)";
    std::string askedClass, askedFile;
    FormObject f = Parse(text, [&](const AnsiString& c, const std::string& file) {
        askedClass = c;
        askedFile = file;
        return std::vector<uint8_t>{'B', 'M', 1};
    });
    EXPECT_EQ(f.Name, "Form2");
    EXPECT_EQ(f.ClassName, "TForm2");
    EXPECT_EQ(f.Find("Left")->Value.Int, -8);
    EXPECT_EQ(f.Find("Tag")->Value.Int, 127);
    EXPECT_EQ(f.Find("Caption")->Value.Str, "Tuvreli");
    EXPECT_EQ(f.Find("Hint")->Value.Str, "\xC2\xFB\xF5\xEE\xE4\r\nit's \xB8\xA8\xC2");
    EXPECT_EQ(f.Find("Font.Height")->Value.Int, -11);
    EXPECT_EQ(f.Find("Scale")->Value.Kind, FormValueKind::Float);
    EXPECT_DOUBLE_EQ(f.Find("Scale")->Value.Float, 1.25);
    EXPECT_DOUBLE_EQ(f.Find("Big")->Value.Float, 2000);
    EXPECT_EQ(f.Find("Color")->Value.Kind, FormValueKind::Ident);
    EXPECT_EQ(f.Find("Visible")->Value.Kind, FormValueKind::False);
    EXPECT_EQ(f.Find("Enabled")->Value.Kind, FormValueKind::True);
    EXPECT_EQ(f.Find("PopupMenu")->Value.Kind, FormValueKind::Null);
    EXPECT_EQ(f.Find("BorderIcons")->Value.Set, (std::vector<AnsiString>{"biSystemMenu", "biMinimize"}));
    EXPECT_EQ(f.Find("Anchors")->Value.Kind, FormValueKind::Set);
    EXPECT_TRUE(f.Find("Anchors")->Value.Set.empty());
    const FormValue& l = f.Find("Strings")->Value;
    ASSERT_EQ(l.List.size(), 3u);
    EXPECT_EQ(l.List[1].Int, 12);
    EXPECT_EQ(l.List[2].List[0].Str, "x");
    const FormValue& c = f.Find("Columns")->Value;
    ASSERT_EQ(c.Items.size(), 2u);
    EXPECT_EQ(c.Items[0][0].Value.Int, 40);
    EXPECT_TRUE(c.Items[1].empty());
    EXPECT_EQ(f.Find("Data")->Value.Binary, (std::vector<uint8_t>{0x0A, 0x0B, 0xFF, 0x00}));
    ASSERT_EQ(f.Children.size(), 2u);
    EXPECT_EQ(askedClass, "TPNGGraphic");
    EXPECT_EQ(askedFile, "disc.png");
    std::vector<uint8_t> pic = f.Children[0].Find("Picture.Data")->Value.Binary;
    std::vector<uint8_t> want{11, 'T', 'P', 'N', 'G', 'G', 'r', 'a', 'p', 'h', 'i', 'c', 3, 0, 0, 0, 'B', 'M', 1};
    EXPECT_EQ(pic, want);
    EXPECT_EQ(f.Children[1].Children[0].Name, "Label1");

    // Text to binary and back keeps the tree.
    std::string where;
    EXPECT_TRUE(SameObject(f, ReadFormBinary(WriteFormBinary(f)), where)) << where;
}

TEST(FormText, ErrorsCarryFileAndLine) {
    struct Case {
        const char* text;
        const char* expect;
    } cases[] = {
        {"object F: TForm\n  Caption = 'abc\nend\n", "T.form:2: unterminated string"},
        {"object F: TForm\n  Left = 1\n", "T.form:3: missing 'end' of object F"},
        {"object F: TForm\n\n  Caption = 'é'\nend\n", "T.form:3: character not in Windows-1251"},
        {"object F: TForm\n  Caption = #233\nend\n", "T.form:2: character code #233 is not in Windows-1251"},
        {"object F: TForm\n  Data = {0G}\nend\n", "T.form:2: bad hex digit 'G'"},
        {"object F: TForm\n  Data = {ABC}\nend\n", "T.form:2: odd number of hex digits"},
        {"object F: TForm\n  Left 5\nend\n", "T.form:2: expected '=' after property Left"},
        {"object F: TForm\n  Left =\nend\n", "T.form:3: missing value before 'end'"},
        {"object F: TForm\n  Icons = [a b]\nend\n", "T.form:2: expected ',' or ']'"},
        {"object F TForm\nend\n", "T.form:1: expected ':' after the object name"},
        {"F: TForm\nend\n", "T.form:1: expected 'object'"},
        {"object F: TForm\nend\nend\n", "T.form:3: text after the final 'end'"},
        {"object F: TForm\n  Left = 12ab\nend\n", "T.form:2: bad number"},
        {"object F: TForm\n  Left = 99999999999999999999\nend\n", "T.form:2: number out of range"},
        {"object F: TForm\n  object A: TPanel\n  end\n  Left = 1\nend\n", "T.form:4: property after the nested objects"},
        {"object F: TForm\n  Cols = <\n    Width = 1\n  >\nend\n", "T.form:3: expected 'item' or '>'"},
        {"object F: TForm\n  Left = ;\nend\n", "T.form:2: unexpected character ';'"},
        {"object F: TForm\n  S = 'a' +\nend\n", "T.form:3: expected a string after '+'"},
        {"object F: TForm\n  P = picture TPNGGraphic 'x.png'\nend\n", "T.form:2: no picture files can be read here"},
    };
    for (const Case& c : cases) {
        std::string m = ParseError(c.text);
        EXPECT_EQ(m.rfind(c.expect, 0), 0u) << "text:\n" << c.text << "\ngot: " << m;
    }
    // A resolver's failure is reported at the line of the reference.
    std::string m = ParseError("object F: TForm\n\n  P = picture TBitmap 'gone.png'\nend\n",
                               [](const AnsiString&, const std::string&) -> std::vector<uint8_t> {
                                   throw Exception("file not found");
                               });
    EXPECT_EQ(m, "T.form:3: picture 'gone.png': file not found");
}

// Found by fuzzing: a class name of 240 bytes or more has a length byte that
// looks like an object's flags prefix.
TEST(FormBinary, LongClassNamesSurviveTheFlagsPrefix) {
    FormObject f;
    f.ClassName = "T" + std::string(244, 'x');
    f.Name = "F";
    FormObject child = f;
    child.Name = "C";
    f.Children.push_back(child);
    FormObject back = ReadFormBinary(WriteFormBinary(f));
    std::string where;
    EXPECT_TRUE(SameObject(f, back, where)) << where;
}
