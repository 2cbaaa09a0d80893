// Readable form text (UTF-8) to the form tree.
//
//   object Name: TClass          an object; nested objects follow its properties
//     Prop = 12                  integer (decimal, or $hex), may be negative
//     Prop = 1.5                 float
//     Prop = 'it''s'#13#10'x'    string: quoted runs and #nnn character codes
//                                (Unicode code points), joined; a '+' at the end
//                                of a line continues the string on the next
//     Prop = clRed               identifier (True/False/nil are their own kinds)
//     Prop = [a, b]              set
//     Prop = (1 'a' b)           list
//     Prop = <item ... end ...>  collection
//     Prop = {0A0B ...}          binary, hex digits, may span lines
//     Prop = picture TClass 'f'  picture file: class name, uint32 size, file data
//                                (a TPicture's "Data")
//     Prop = graphic TClass 'f'  picture file: uint32 size, file data (the
//                                "Data" of a TBitmap or TJPEGImage itself)
//     Prop = file 'f'            a file's bytes as they are (icons)
//   end
// "//" starts a comment that runs to the end of the line.
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "FormCodePage.h"
#include "FormData.h"

namespace {

enum class Tok { End, Ident, Int, Float, String, Sym };

struct Token {
    Tok Kind = Tok::End;
    std::string Text;  // identifier / symbol / raw number; string already in 1251
    int64_t Int = 0;
    double Float = 0;
    int Line = 1;
};

class TextParser {
public:
    TextParser(const std::string& text, const std::string& source, const FormPictureResolver& resolve)
        : s_(text), source_(source), resolve_(resolve) {
        Next();
    }

    FormObject Parse() {
        if (!IsWord("object")) Fail("expected 'object' at the start of the form");
        FormObject root = Object(0);
        if (tok_.Kind != Tok::End) Fail("text after the final 'end'");
        return root;
    }

private:
    const std::string& s_;
    const std::string& source_;
    const FormPictureResolver& resolve_;
    size_t pos_ = 0;
    int line_ = 1;
    Token tok_;

    [[noreturn]] void FailAt(int line, const std::string& msg) const {
        throw EFormTextError(source_ + ":" + std::to_string(line) + ": " + msg);
    }
    [[noreturn]] void Fail(const std::string& msg) const { FailAt(tok_.Line, msg); }

    std::string Describe(const Token& t) const {
        switch (t.Kind) {
        case Tok::End: return "end of text";
        case Tok::String: return "a string";
        default: return "'" + t.Text + "'";
        }
    }

    bool IsWord(const char* w) const { return tok_.Kind == Tok::Ident && SameTextAscii(tok_.Text, w); }
    bool IsSym(char c) const { return tok_.Kind == Tok::Sym && tok_.Text[0] == c; }

    void Expect(char c, const std::string& what) {
        if (!IsSym(c)) Fail(std::string("expected '") + c + "' " + what + ", found " + Describe(tok_));
        Next();
    }

    std::string ExpectIdent(const char* what) {
        if (tok_.Kind != Tok::Ident) Fail(std::string("expected ") + what + ", found " + Describe(tok_));
        std::string r = tok_.Text;
        Next();
        return r;
    }

    // ---- tokens ----

    void SkipBlanks() {
        for (;;) {
            while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) {
                if (s_[pos_] == '\n') ++line_;
                ++pos_;
            }
            if (pos_ + 1 < s_.size() && s_[pos_] == '/' && s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
                continue;
            }
            return;
        }
    }

    static bool IdStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool IdChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    void Next() {
        SkipBlanks();
        tok_ = Token();
        tok_.Line = line_;
        if (pos_ >= s_.size()) return;
        char c = s_[pos_];
        if (IdStart(c)) {
            size_t b = pos_;
            // Dotted names: Font.Name, HorzScrollBar.Visible, Form2.Label1.
            while (pos_ < s_.size() && (IdChar(s_[pos_]) || (s_[pos_] == '.' && pos_ + 1 < s_.size() && IdStart(s_[pos_ + 1]))))
                ++pos_;
            tok_.Kind = Tok::Ident;
            tok_.Text = s_.substr(b, pos_ - b);
            return;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
            ((c == '-' || c == '+') && pos_ + 1 < s_.size() &&
             (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$'))) {
            Number();
            return;
        }
        if (c == '\'' || c == '#') {
            String();
            return;
        }
        if (std::string("=:[],()<>{}").find(c) != std::string::npos) {
            tok_.Kind = Tok::Sym;
            tok_.Text = std::string(1, c);
            ++pos_;
            return;
        }
        FailAt(line_, std::string("unexpected character '") + c + "'");
    }

    void Number() {
        size_t b = pos_;
        bool neg = false;
        if (s_[pos_] == '-' || s_[pos_] == '+') neg = s_[pos_++] == '-';
        if (s_[pos_] == '$') {
            ++pos_;
            size_t d = pos_;
            while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            if (pos_ == d || pos_ - d > 16) FailAt(line_, "bad hexadecimal number");
            uint64_t v = std::strtoull(s_.substr(d, pos_ - d).c_str(), nullptr, 16);
            tok_.Kind = Tok::Int;
            tok_.Int = neg ? -int64_t(v) : int64_t(v);
            tok_.Text = s_.substr(b, pos_ - b);
            return;
        }
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        bool isFloat = false;
        if (pos_ + 1 < s_.size() && s_[pos_] == '.' && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            isFloat = true;
            ++pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            size_t e = pos_ + 1;
            if (e < s_.size() && (s_[e] == '+' || s_[e] == '-')) ++e;
            if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
                isFloat = true;
                pos_ = e;
                while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            }
        }
        if (pos_ < s_.size() && IdChar(s_[pos_])) FailAt(line_, "bad number '" + s_.substr(b, pos_ + 1 - b) + "'");
        tok_.Text = s_.substr(b, pos_ - b);
        errno = 0;
        if (isFloat) {
            tok_.Kind = Tok::Float;
            tok_.Float = std::strtod(tok_.Text.c_str(), nullptr);
        } else {
            tok_.Kind = Tok::Int;
            tok_.Int = std::strtoll(tok_.Text.c_str(), nullptr, 10);
        }
        if (errno == ERANGE) FailAt(line_, "number out of range '" + tok_.Text + "'");
    }

    // 'quoted' runs ('' is a quote) and #nnn codes, with no blanks between them;
    // a '+' between parts (across lines) joins them too.
    void String() {
        std::string out;
        int startLine = line_;
        for (;;) {
            if (pos_ < s_.size() && s_[pos_] == '\'') {
                ++pos_;
                std::string run;
                for (;;) {
                    if (pos_ >= s_.size() || s_[pos_] == '\n') FailAt(line_, "unterminated string");
                    if (s_[pos_] == '\'') {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                            run += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    run += s_[pos_++];
                }
                std::string conv;
                size_t bad = 0;
                if (!formcp::Utf8To1251(run, conv, bad))
                    FailAt(line_, "character not in Windows-1251 (or bad UTF-8) in string: '" + run + "'");
                out += conv;
            } else if (pos_ < s_.size() && s_[pos_] == '#') {
                ++pos_;
                size_t d = pos_;
                long code;
                if (pos_ < s_.size() && s_[pos_] == '$') {
                    ++pos_;
                    d = pos_;
                    while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
                    if (pos_ == d || pos_ - d > 6) FailAt(line_, "bad character code");
                    code = std::strtol(s_.substr(d, pos_ - d).c_str(), nullptr, 16);
                } else {
                    while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
                    if (pos_ == d || pos_ - d > 7) FailAt(line_, "bad character code");
                    code = std::strtol(s_.substr(d, pos_ - d).c_str(), nullptr, 10);
                }
                int b = formcp::ByteOf1251(char32_t(code));
                if (b < 0) FailAt(line_, "character code #" + std::to_string(code) + " is not in Windows-1251");
                out += char(b);
            } else {
                // Continuation: blanks, '+', blanks, next part.
                size_t save = pos_;
                int saveLine = line_;
                SkipBlanks();
                if (pos_ < s_.size() && s_[pos_] == '+') {
                    ++pos_;
                    SkipBlanks();
                    if (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) continue;
                    FailAt(line_, "expected a string after '+'");
                }
                pos_ = save;
                line_ = saveLine;
                break;
            }
        }
        tok_.Kind = Tok::String;
        tok_.Text = out;
        tok_.Line = startLine;
    }

    // ---- grammar ----

    FormObject Object(int depth) {
        if (depth > kFormMaxDepth) Fail("objects nested too deeply");
        Next();  // 'object'
        FormObject obj;
        obj.Name = ExpectIdent("an object name after 'object'");
        if (obj.Name.find('.') != std::string::npos) Fail("bad object name '" + obj.Name + "'");
        Expect(':', "after the object name");
        obj.ClassName = ExpectIdent("a class name");
        for (;;) {
            if (tok_.Kind == Tok::End) Fail("missing 'end' of object " + obj.Name);
            if (IsWord("end")) {
                Next();
                break;
            }
            if (IsWord("object")) {
                obj.Children.push_back(Object(depth + 1));
                continue;
            }
            if (!obj.Children.empty()) Fail("property after the nested objects of " + obj.Name);
            obj.Props.push_back(Property(depth));
        }
        return obj;
    }

    FormProperty Property(int depth) {
        FormProperty p;
        p.Name = ExpectIdent("a property name or 'end'");
        Expect('=', "after property " + p.Name);
        p.Value = Value(depth + 1);
        return p;
    }

    FormValue Value(int depth) {
        if (depth > kFormMaxDepth) Fail("values nested too deeply");
        FormValue v;
        switch (tok_.Kind) {
        case Tok::End:
            Fail("missing value");
        case Tok::Int:
            v = FormValue::MakeInt(tok_.Int);
            Next();
            return v;
        case Tok::Float:
            v = FormValue::MakeFloat(tok_.Float);
            Next();
            return v;
        case Tok::String:
            v = FormValue::MakeString(tok_.Text);
            Next();
            return v;
        case Tok::Ident:
            if (IsWord("picture")) return Picture(true);
            if (IsWord("graphic")) return Picture(false);
            if (IsWord("file")) return RawFile();
            if (IsWord("true")) v = FormValue::MakeBool(true);
            else if (IsWord("false")) v = FormValue::MakeBool(false);
            else if (IsWord("nil")) v = FormValue();
            else if (IsWord("end") || IsWord("object") || IsWord("item")) Fail("missing value before " + Describe(tok_));
            else v = FormValue::MakeIdent(tok_.Text);
            Next();
            return v;
        case Tok::Sym:
            break;
        }
        char c = tok_.Text[0];
        if (c == '[') {
            Next();
            v.Kind = FormValueKind::Set;
            if (IsSym(']')) {
                Next();
                return v;
            }
            for (;;) {
                std::string e = ExpectIdent("a set element");
                if (e.find('.') != std::string::npos) Fail("bad set element '" + e + "'");
                v.Set.push_back(e);
                if (IsSym(']')) {
                    Next();
                    return v;
                }
                Expect(',', "or ']' in the set");
            }
        }
        if (c == '(') {
            Next();
            v.Kind = FormValueKind::List;
            while (!IsSym(')')) {
                if (tok_.Kind == Tok::End) Fail("missing ')'");
                v.List.push_back(Value(depth + 1));
            }
            Next();
            return v;
        }
        if (c == '<') {
            Next();
            v.Kind = FormValueKind::Collection;
            while (!IsSym('>')) {
                if (!IsWord("item")) Fail("expected 'item' or '>' in the collection, found " + Describe(tok_));
                Next();
                std::vector<FormProperty> item;
                while (!IsWord("end")) {
                    if (tok_.Kind == Tok::End) Fail("missing 'end' of the collection item");
                    item.push_back(Property(depth + 1));
                }
                Next();
                v.Items.push_back(std::move(item));
            }
            Next();
            return v;
        }
        if (c == '{') {
            v.Kind = FormValueKind::Binary;
            Binary(v.Binary);
            return v;
        }
        Fail("expected a value, found " + Describe(tok_));
    }

    // Reads hex digits straight from the text up to '}' (the token is '{').
    void Binary(std::vector<uint8_t>& out) {
        int hi = -1;
        for (;;) {
            if (pos_ >= s_.size()) FailAt(line_, "missing '}'");
            char c = s_[pos_++];
            if (c == '}') break;
            if (c == '\n') {
                ++line_;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else FailAt(line_, std::string("bad hex digit '") + c + "' in binary data");
            if (hi < 0) {
                hi = d;
            } else {
                out.push_back(uint8_t(hi * 16 + d));
                hi = -1;
            }
        }
        if (hi >= 0) FailAt(line_, "odd number of hex digits in binary data");
        Next();
    }

    // The resolver is asked with an empty class name for a file taken as is.
    FormValue RawFile() {
        int line = tok_.Line;
        Next();
        if (tok_.Kind != Tok::String) Fail("expected a file name string after 'file'");
        std::string file = formcp::To1251Utf8(tok_.Text);
        Next();
        FormValue v;
        v.Kind = FormValueKind::Binary;
        v.Binary = Resolve(line, "", file);
        return v;
    }

    std::vector<uint8_t> Resolve(int line, const std::string& cls, const std::string& file) {
        if (!resolve_) FailAt(line, "no picture files can be read here ('" + file + "')");
        std::vector<uint8_t> data;
        try {
            data = resolve_(cls, file);
        } catch (const Exception& e) {
            FailAt(line, "picture '" + file + "': " + e.Message);
        }
        if (data.size() > 0xFFFFFFFFull) FailAt(line, "picture '" + file + "' is too large");
        return data;
    }

    // With the class name first (a TPicture's data) or without (a graphic's own).
    FormValue Picture(bool named) {
        int line = tok_.Line;
        const char* word = named ? "picture" : "graphic";
        Next();
        std::string cls = ExpectIdent((std::string("a picture class after '") + word + "'").c_str());
        if (cls.size() > 255) FailAt(line, "picture class name too long");
        if (tok_.Kind != Tok::String) Fail("expected a file name string after the picture class");
        std::string file = formcp::To1251Utf8(tok_.Text);
        Next();
        std::vector<uint8_t> data = Resolve(line, cls, file);
        FormValue v;
        v.Kind = FormValueKind::Binary;
        std::vector<uint8_t>& b = v.Binary;
        const size_t head = named ? 1 + cls.size() : 0;
        const uint32_t n = uint32_t(data.size());
        b.resize(head + 4 + data.size());
        if (named) {
            b[0] = uint8_t(cls.size());
            std::memcpy(b.data() + 1, cls.data(), cls.size());
        }
        for (int i = 0; i < 4; ++i) b[head + size_t(i)] = uint8_t(n >> (8 * i));
        if (n) std::memcpy(b.data() + head + 4, data.data(), n);
        return v;
    }
};

}  // namespace

FormObject ParseFormText(const std::string& utf8Text, const std::string& sourceName,
                         const FormPictureResolver& resolvePicture) {
    std::string text = utf8Text;
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    TextParser p(text, sourceName, resolvePicture);
    return p.Parse();
}
