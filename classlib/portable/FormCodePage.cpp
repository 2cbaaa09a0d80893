#include "FormCodePage.h"

#include "Text1251.h"

namespace formcp {

// The one byte the code page leaves unassigned (0x98) is no character here.
char32_t CharOf1251(unsigned char b) { return b == 0x98 ? 0 : Cp1251ToUnicode(b); }

int ByteOf1251(char32_t c) { return c == 0x98 ? -1 : UnicodeToCp1251(c); }

std::string Utf16To1251(const std::u16string& w) {
    std::string out;
    out.reserve(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        }
        int b = ByteOf1251(c);
        out += b < 0 ? '?' : char(b);
    }
    return out;
}

std::string Utf8To1251Lossy(const std::string& u) {
    std::string out;
    size_t i = 0;
    while (i < u.size()) {
        char32_t c;
        if (!DecodeUtf8(u, i, c)) {
            out += '?';
            continue;
        }
        int b = ByteOf1251(c);
        out += b < 0 ? '?' : char(b);
    }
    return out;
}

bool Utf8To1251(const std::string& u, std::string& out, size_t& badOffset) {
    out.clear();
    size_t i = 0;
    while (i < u.size()) {
        size_t at = i;
        char32_t c;
        int b = DecodeUtf8(u, i, c) ? ByteOf1251(c) : -1;
        if (b < 0) {
            badOffset = at;
            return false;
        }
        out += char(b);
    }
    return true;
}

std::string To1251Utf8(const std::string& s) {
    std::string t = s;
    for (char& b : t)
        if (static_cast<unsigned char>(b) == 0x98) b = '?';
    return Cp1251ToUtf8(t);
}

}  // namespace formcp
