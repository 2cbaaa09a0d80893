#include "MenuText.h"

#include "Text1251.h"

namespace {

struct KeyName {
    uint8_t Key;
    const char* Name;
};

// Virtual-key numbers of the keys a shortcut text names.
constexpr KeyName kKeyNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"}, {0x21, "PgUp"},
    {0x22, "PgDn"}, {0x23, "End"},  {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"},
    {0x28, "Down"}, {0x2D, "Ins"},  {0x2E, "Del"},
};
constexpr uint8_t kF1 = 0x70, kF24 = 0x87;

struct Modifier {
    TShortCut Bit;
    const char* Name;
};
constexpr Modifier kModifiers[] = {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

AnsiString KeyText(uint8_t Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return AnsiString(1, char(Key));
    if (Key >= kF1 && Key <= kF24) return "F" + IntToStr(Key - kF1 + 1);
    for (const KeyName& k : kKeyNames)
        if (k.Key == Key) return k.Name;
    return {};
}

bool StartsWithText(const AnsiString& S, size_t At, const char* Prefix) {
    const AnsiString p = Prefix;
    return S.size() - At >= p.size() && SameTextAscii(S.substr(At, p.size()), p);
}

}  // namespace

AnsiString ShortCutToText(TShortCut ShortCut) {
    const AnsiString key = KeyText(uint8_t(ShortCut & 0xFF));
    if (key.empty()) return {};
    AnsiString out;
    for (const Modifier& m : kModifiers)
        if (ShortCut & m.Bit) out += m.Name;
    return out + key;
}

TShortCut TextToShortCut(const AnsiString& Text) {
    TShortCut mods = 0;
    size_t at = 0;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& m : kModifiers)
            if (StartsWithText(Text, at, m.Name)) {
                mods |= m.Bit;
                at += AnsiString(m.Name).size();
                found = true;
            }
    }
    const AnsiString rest = Text.substr(at);
    if (rest.empty()) return scNone;
    for (unsigned k = 1; k <= 0xFF; ++k)
        if (SameTextAscii(KeyText(uint8_t(k)), rest)) return TShortCut(k | mods);
    return scNone;
}

char CaptionHotkey(const AnsiString& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return char(UpCase1251(static_cast<unsigned char>(Caption[i + 1])));
    }
    return 0;
}

AnsiString StripHotkey(const AnsiString& Caption) {
    AnsiString out;
    out.reserve(Caption.size());
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&') {
            if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += Caption[i];
    }
    return out;
}
