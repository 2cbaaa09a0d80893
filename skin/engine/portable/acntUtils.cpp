#include "acntUtils.h"

#include <climits>

bool RectsOverlap(const TRect& A, const TRect& B) {
    if (A.Top >= B.Bottom || A.Left >= B.Right || B.Left >= A.Right || B.Top >= A.Bottom) return false;
    if (B.Right <= B.Left || B.Bottom <= B.Top) return false;  // b is empty
    return true;
}

CacheInfo MakeBitmapBackground(TBitmap* Bitmap, int X, int Y) {
    CacheInfo ci;
    ci.Bmp = Bitmap;
    ci.X = X;
    ci.Y = Y;
    ci.Color = TransparentKeyColor;
    ci.Ready = true;
    return ci;
}

// ---- words -----------------------------------------------------------------

int WordStartPos(int N, const AnsiString& Text, const TacCharSet& Delims) {
    if (N < 1) return 0;
    const size_t len = Text.size();
    size_t i = 0;
    int count = 0;
    while (i < len) {
        while (i < len && InCharSet(static_cast<unsigned char>(Text[i]), Delims)) ++i;
        if (i < len) {
            if (++count == N) return static_cast<int>(i) + 1;
        }
        while (i < len && !InCharSet(static_cast<unsigned char>(Text[i]), Delims)) ++i;
    }
    return 0;
}

int WordStartPosBySet(int N, const AnsiString& Text, TacCharSet Delims) {
    return WordStartPos(N, Text, Delims);
}

AnsiString TakeWord(int N, const AnsiString& Text, const TacCharSet& Delims) {
    const int start = WordStartPos(N, Text, Delims);
    if (start == 0) return AnsiString();
    size_t e = static_cast<size_t>(start) - 1;
    while (e < Text.size() && !InCharSet(static_cast<unsigned char>(Text[e]), Delims)) ++e;
    return Text.substr(static_cast<size_t>(start) - 1, e - (static_cast<size_t>(start) - 1));
}

int CountWords(const AnsiString& Text, const TacCharSet& Delims) {
    const size_t len = Text.size();
    size_t i = 0;
    int count = 0;
    while (i < len) {
        while (i < len && InCharSet(static_cast<unsigned char>(Text[i]), Delims)) ++i;
        if (i < len) ++count;
        while (i < len && !InCharSet(static_cast<unsigned char>(Text[i]), Delims)) ++i;
    }
    return count;
}

int CountWordsBySet(const AnsiString& Text, TacCharSet Delims) { return CountWords(Text, Delims); }

AnsiString RemoveChar(const AnsiString& Text, char C) {
    AnsiString out;
    out.reserve(Text.size());
    for (char ch : Text)
        if (ch != C) out += ch;
    return out;
}

AnsiString ReplaceAll(const AnsiString& Text, const AnsiString& Old, const AnsiString& New) {
    if (Old.empty()) return Text;
    AnsiString out;
    size_t from = 0;
    for (;;) {
        const size_t at = Text.find(Old, from);
        if (at == AnsiString::npos) break;
        out.append(Text, from, at - from);
        out += New;
        from = at + Old.size();
    }
    out.append(Text, from, AnsiString::npos);
    return out;
}

// ---- INI text ----------------------------------------------------------------

std::vector<AnsiString> IniTextLines(const AnsiString& Text) {
    std::vector<AnsiString> lines;
    size_t b = 0;
    const size_t n = Text.size();
    while (b < n) {
        size_t e = b;
        while (e < n && Text[e] != '\r' && Text[e] != '\n') ++e;
        lines.push_back(Text.substr(b, e - b));
        if (e < n && Text[e] == '\r' && e + 1 < n && Text[e + 1] == '\n') ++e;
        b = e + 1;
    }
    return lines;
}

TacIniSections IniSplitLines(const std::vector<AnsiString>& Lines) {
    TacIniSections sections;
    for (const AnsiString& line : Lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back(TacIniSection{line.substr(1, line.size() - 2), {}});
            continue;
        }
        if (!sections.empty()) sections.back().Lines.push_back(line);
    }
    return sections;
}

bool IniLineValue(const AnsiString& Line, const AnsiString& Ident, AnsiString& Value) {
    const size_t eq = Line.find('=');
    if (eq == AnsiString::npos || eq != Ident.size()) return false;
    if (!SameTextAscii(Line.substr(0, eq), Ident)) return false;
    Value = Line.substr(eq + 1);
    return true;
}

static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = UpCaseAscii(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Never raises; see the header for the accepted forms.
static int ParseIntDef(const AnsiString& S, int Default) {
    size_t b = 0, e = S.size();
    while (b < e && (S[b] == ' ' || S[b] == '\t')) ++b;
    while (e > b && (S[e - 1] == ' ' || S[e - 1] == '\t')) --e;
    bool neg = false;
    if (b < e && (S[b] == '+' || S[b] == '-')) neg = S[b++] == '-';
    if (b >= e) return Default;
    if (S[b] == '$') {
        ++b;
        if (b >= e || e - b > 8) return Default;
        uint32_t v = 0;
        for (size_t i = b; i < e; ++i) {
            const int d = HexDigit(S[i]);
            if (d < 0) return Default;
            v = (v << 4) | uint32_t(d);
        }
        if (neg) v = 0u - v;
        return static_cast<int32_t>(v);
    }
    int64_t v = 0;
    for (size_t i = b; i < e; ++i) {
        if (S[i] < '0' || S[i] > '9') return Default;
        v = v * 10 + (S[i] - '0');
        if (v > int64_t(INT_MAX) + 1) return Default;
    }
    if (neg) v = -v;
    if (v < INT_MIN || v > INT_MAX) return Default;
    return static_cast<int>(v);
}

int IniValueToInt(const AnsiString& Value, int Default) {
    AnsiString s = Value;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    return ParseIntDef(s, Default);
}

AnsiString IniSectionsReadString(const TacIniSections& Sections, const AnsiString& Section,
                                 const AnsiString& Ident, const AnsiString& Default) {
    for (const TacIniSection& sec : Sections) {
        if (!SameTextAscii(sec.Name, Section)) continue;
        AnsiString value;
        for (const AnsiString& line : sec.Lines)
            if (IniLineValue(line, Ident, value)) return value;
        return Default;  // only the first section of that name is searched
    }
    return Default;
}

int IniSectionsReadInteger(const TacIniSections& Sections, const AnsiString& Section,
                           const AnsiString& Ident, int Default) {
    return IniValueToInt(IniSectionsReadString(Sections, Section, Ident, AnsiString()), Default);
}

// ---- paths -------------------------------------------------------------------

AnsiString WithBackslash(const AnsiString& Path) {
    if (Path.empty()) return Path;
    if (Path.back() == '\\') return Path;
    if (Path.back() == '/') return Path.substr(0, Path.size() - 1) + "\\";
    if (Path.size() == 1) return Path + ":\\";
    return Path + "\\";
}

// ---- text form of a set ----------------------------------------------------

bool SetTextChange(AnsiString& Text, const AnsiString& Element, bool Include) {
    if (Element.empty()) return false;
    std::vector<AnsiString> names;
    bool found = false;
    for (size_t b = 0; b <= Text.size();) {
        size_t comma = Text.find(',', b);
        if (comma == AnsiString::npos) comma = Text.size();
        size_t s = b, t = comma;
        while (s < t && Text[s] == ' ') ++s;
        while (t > s && Text[t - 1] == ' ') --t;
        if (t > s) {
            AnsiString name = Text.substr(s, t - s);
            if (name == Element) found = true;
            names.push_back(std::move(name));
        }
        b = comma + 1;
    }
    if (Include == found) return false;
    AnsiString out;
    if (Include) out = Element;
    for (const AnsiString& name : names) {
        if (name == Element) continue;
        if (!out.empty()) out += ',';
        out += name;
    }
    Text = out;
    return true;
}
