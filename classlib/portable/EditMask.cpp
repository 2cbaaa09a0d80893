#include "EditMask.h"

#include <algorithm>

#include "Text1251.h"

namespace {

constexpr char kEscape = '\\';
constexpr char kFieldSeparator = ';';

bool IsLetter(char c) {
    auto b = static_cast<unsigned char>(c);
    return UpCase1251(b) != LowCase1251(b);
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The mask text split at its unescaped field separators.
std::vector<AnsiString> SplitFields(const AnsiString& Mask) {
    std::vector<AnsiString> fields(1);
    for (size_t i = 0; i < Mask.size(); ++i) {
        char c = Mask[i];
        if (c == '\0') throw EEditMaskError("Edit mask contains a NUL character");
        if (c == kEscape) {
            if (i + 1 >= Mask.size()) throw EEditMaskError("Edit mask ends in an escape character");
            fields.back() += c;
            fields.back() += Mask[++i];
            if (Mask[i] == '\0') throw EEditMaskError("Edit mask contains a NUL character");
        } else if (c == kFieldSeparator) {
            if (fields.size() == 3) throw EEditMaskError("Edit mask has more than three fields");
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

TMaskPosition Editable(TMaskCharKind Kind, bool Required, TMaskCase Case) { return {Kind, Required, Case, 0}; }
TMaskPosition Literal(char C) { return {TMaskCharKind::Literal, false, TMaskCase::None, C}; }

}  // namespace

TEditMask TEditMask::Parse(const AnsiString& Mask, char DateSeparator, char TimeSeparator) {
    std::vector<AnsiString> fields = SplitFields(Mask);
    TEditMask m;
    if (fields.size() > 1) {
        const AnsiString& save = fields[1];
        if (!save.empty() && save != "0" && save != "1")
            throw EEditMaskError("Edit mask's second field must be 0 or 1, not \"" + save + "\"");
        m.FSaveLiterals = save != "0";
    }
    if (fields.size() > 2) {
        if (fields[2].size() > 1)
            throw EEditMaskError("Edit mask's blank field must be one character, not \"" + fields[2] + "\"");
        if (!fields[2].empty()) m.FBlank = fields[2][0];
    }
    TMaskCase fold = TMaskCase::None;
    const AnsiString& f = fields[0];
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        switch (c) {
        case kEscape: m.FPositions.push_back(Literal(f[++i])); break;  // SplitFields kept the pair whole
        case '!': m.FLeadingBlanks = true; break;
        case '>': fold = TMaskCase::Upper; break;
        case '<':
            if (i + 1 < f.size() && f[i + 1] == '>') {
                fold = TMaskCase::None;
                ++i;
            } else {
                fold = TMaskCase::Lower;
            }
            break;
        case 'L': m.FPositions.push_back(Editable(TMaskCharKind::Letter, true, fold)); break;
        case 'l': m.FPositions.push_back(Editable(TMaskCharKind::Letter, false, fold)); break;
        case 'A': m.FPositions.push_back(Editable(TMaskCharKind::AlphaNum, true, fold)); break;
        case 'a': m.FPositions.push_back(Editable(TMaskCharKind::AlphaNum, false, fold)); break;
        case 'C': m.FPositions.push_back(Editable(TMaskCharKind::Any, true, fold)); break;
        case 'c': m.FPositions.push_back(Editable(TMaskCharKind::Any, false, fold)); break;
        case '0': m.FPositions.push_back(Editable(TMaskCharKind::Digit, true, fold)); break;
        case '9': m.FPositions.push_back(Editable(TMaskCharKind::Digit, false, fold)); break;
        case '#': m.FPositions.push_back(Editable(TMaskCharKind::DigitOrSign, false, fold)); break;
        case ':': m.FPositions.push_back(Literal(TimeSeparator)); break;
        case '/': m.FPositions.push_back(Literal(DateSeparator)); break;
        case '_': m.FPositions.push_back(Literal(' ')); break;
        default: m.FPositions.push_back(Literal(c)); break;
        }
    }
    return m;
}

int TEditMask::NextEditable(int From) const {
    int i = std::max(From, 0);
    while (i < Length() && !IsEditable(i)) ++i;
    return std::min(i, Length());
}

int TEditMask::PrevEditable(int Before) const {
    int i = std::min(Before, Length()) - 1;
    while (i >= 0 && !IsEditable(i)) --i;
    return i;
}

char TEditMask::Accept(int I, char In) const {
    if (!IsEditable(I)) return 0;
    const TMaskPosition& p = Position(I);
    // A space is never a value: typed or written, it leaves the position blank.
    if (In == ' ' || In == FBlank) return FBlank;
    auto b = static_cast<unsigned char>(In);
    char c = p.Case == TMaskCase::Upper   ? char(UpCase1251(b))
             : p.Case == TMaskCase::Lower ? char(LowCase1251(b))
                                          : In;
    bool ok = false;
    switch (p.Kind) {
    case TMaskCharKind::Letter: ok = IsLetter(c); break;
    case TMaskCharKind::AlphaNum: ok = IsLetter(c) || IsDigit(c); break;
    case TMaskCharKind::Any: ok = static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; break;
    case TMaskCharKind::Digit: ok = IsDigit(c); break;
    case TMaskCharKind::DigitOrSign: ok = IsDigit(c) || c == '+' || c == '-'; break;
    case TMaskCharKind::Literal: break;
    }
    return ok ? c : 0;
}

AnsiString TEditMask::BlankText() const {
    AnsiString r(FPositions.size(), FBlank);
    for (int i = 0; i < Length(); ++i)
        if (!IsEditable(i)) r[size_t(i)] = Position(i).Literal;
    return r;
}

AnsiString TEditMask::Fit(const AnsiString& EditText) const {
    AnsiString r = BlankText();
    for (int i = 0; i < Length() && size_t(i) < EditText.size(); ++i) {
        char c = EditText[size_t(i)];
        if (IsEditable(i) && c != FBlank) {
            char a = Accept(i, c);
            if (a) r[size_t(i)] = a;
        }
    }
    return r;
}

AnsiString TEditMask::Format(const AnsiString& Value) const {
    // The characters meant for editable positions: saved literals that stand
    // where the mask has them are passed over.
    AnsiString chars;
    size_t j = 0;
    for (int i = 0; i < Length() && j < Value.size(); ++i) {
        if (IsEditable(i))
            chars += Value[j++];
        else if (FSaveLiterals && Value[j] == Position(i).Literal)
            ++j;
    }
    int editable = 0;
    for (int i = 0; i < Length(); ++i) editable += IsEditable(i);
    if (FLeadingBlanks && int(chars.size()) < editable) chars.insert(0, size_t(editable) - chars.size(), FBlank);
    AnsiString r = BlankText();
    size_t k = 0;
    for (int i = 0; i < Length() && k < chars.size(); ++i) {
        if (!IsEditable(i)) continue;
        char a = Accept(i, chars[k++]);
        if (a) r[size_t(i)] = a;
    }
    return r;
}

AnsiString TEditMask::Data(const AnsiString& EditText) const {
    AnsiString t = Fit(EditText), r;
    for (int i = 0; i < Length(); ++i) {
        char c = t[size_t(i)];
        if (IsEditable(i))
            r += c == FBlank ? ' ' : c;
        else if (FSaveLiterals)
            r += c;
    }
    return r;
}

int TEditMask::FirstMissing(const AnsiString& EditText) const {
    AnsiString t = Fit(EditText);
    for (int i = 0; i < Length(); ++i)
        if (IsEditable(i) && Position(i).Required && t[size_t(i)] == FBlank) return i;
    return -1;
}

void TEditMask::BlankRange(AnsiString& EditText, int From, int To) const {
    for (int i = std::max(From, 0); i < std::min(To, Length()); ++i)
        if (IsEditable(i)) EditText[size_t(i)] = FBlank;
}

bool TEditMask::Type(AnsiString& EditText, int& Caret, int SelStart, int SelLength, char Key) const {
    AnsiString t = Fit(EditText);
    int p = std::clamp(SelStart, 0, Length());
    BlankRange(t, p, p + std::max(SelLength, 0));
    for (; p < Length() && !IsEditable(p); ++p) {
        if (Key == Position(p).Literal) {
            EditText = t;
            Caret = p + 1;
            return true;
        }
    }
    char a = p < Length() ? Accept(p, Key) : 0;
    if (!a) {
        // The caret passed the literals before it already: typing one of them
        // again is no mistake.
        for (int q = PrevEditable(p) + 1; q < p; ++q) {
            if (Key == Position(q).Literal) {
                EditText = t;
                Caret = p;
                return true;
            }
        }
        return false;
    }
    t[size_t(p)] = a;
    EditText = t;
    Caret = NextEditable(p + 1);
    return true;
}

bool TEditMask::Erase(AnsiString& EditText, int& Caret, int SelStart, int SelLength, bool Backward) const {
    AnsiString t = Fit(EditText);
    int s = std::clamp(SelStart, 0, Length());
    int caret = s;
    if (SelLength > 0) {
        BlankRange(t, s, s + SelLength);
    } else if (Backward) {
        int p = PrevEditable(s);
        if (p >= 0) {
            t[size_t(p)] = FBlank;
            caret = p;
        }
    } else {
        BlankRange(t, NextEditable(s), NextEditable(s) + 1);
    }
    bool changed = t != EditText;
    EditText = t;
    Caret = caret;
    return changed;
}
