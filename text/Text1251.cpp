#include "Text1251.h"

#include <array>

namespace {

// Upper half of the code page; the lower half is ASCII. 0x98 is unassigned
// and kept as U+0098.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// Case pairs outside the regular blocks (А..Я C0..DF / а..я E0..FF).
constexpr unsigned char kCasePairs[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
    {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
    {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

struct CaseTables {
    std::array<unsigned char, 256> up{}, low{};
    CaseTables() {
        for (int i = 0; i < 256; ++i) up[i] = low[i] = static_cast<unsigned char>(i);
        for (int c = 'a'; c <= 'z'; ++c) {
            up[c] = static_cast<unsigned char>(c - 32);
            low[c - 32] = static_cast<unsigned char>(c);
        }
        for (int c = 0xE0; c <= 0xFF; ++c) {
            up[c] = static_cast<unsigned char>(c - 32);
            low[c - 32] = static_cast<unsigned char>(c);
        }
        for (const auto& p : kCasePairs) {
            up[p[1]] = p[0];
            low[p[0]] = p[1];
        }
    }
};

const CaseTables& Cases() {
    static const CaseTables t;
    return t;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char ToByteOrQuestion(char32_t cp, bool& ok) {
    int b = UnicodeToCp1251(cp);
    if (b < 0) {
        ok = false;
        return '?';
    }
    return static_cast<char>(b);
}

}  // namespace

char16_t Cp1251ToUnicode(unsigned char b) { return b < 0x80 ? char16_t(b) : b >= 0xC0 ? char16_t(0x0410 + (b - 0xC0)) : kHigh[b - 0x80]; }

int UnicodeToCp1251(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

std::u16string Cp1251ToUtf16(const std::string& s) {
    std::u16string out;
    out.reserve(s.size());
    for (unsigned char c : s) out += Cp1251ToUnicode(c);
    return out;
}

std::string Utf16ToCp1251(const char16_t* s, size_t len, bool* lossless) {
    std::string out;
    out.reserve(len);
    bool ok = true;
    for (size_t i = 0; i < len; ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < len && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            ok = false;
            out += '?';
            continue;
        }
        out += ToByteOrQuestion(cp, ok);
    }
    if (lossless) *lossless = ok;
    return out;
}

std::string Cp1251ToUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (unsigned char c : s) AppendUtf8(out, Cp1251ToUnicode(c));
    return out;
}

bool DecodeUtf8(const std::string& utf8, size_t& i, char32_t& cp) {
    const size_t n = utf8.size();
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra;
    if (c < 0x80) {
        cp = c;
        ++i;
        return true;
    } else if (c >= 0xC2 && c <= 0xDF) {
        extra = 1, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3, cp = c & 0x07;
    } else {
        ++i;
        return false;
    }
    size_t j = i + 1;
    bool good = true;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= n || (static_cast<unsigned char>(utf8[j]) & 0xC0) != 0x80) {
            good = false;
            break;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    if (good && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                 (cp >= 0xD800 && cp <= 0xDFFF)))
        good = false;
    i = good || j > i + 1 ? j : i + 1;
    return good;
}

std::string Utf8ToCp1251(const std::string& utf8, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    bool ok = true;
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp;
        if (DecodeUtf8(utf8, i, cp)) {
            out += ToByteOrQuestion(cp, ok);
        } else {
            ok = false;
            out += '?';
        }
    }
    if (lossless) *lossless = ok;
    return out;
}

unsigned char UpCase1251(unsigned char c) { return Cases().up[c]; }
unsigned char LowCase1251(unsigned char c) { return Cases().low[c]; }

std::string UpperCase1251(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(UpCase1251(static_cast<unsigned char>(c)));
    return r;
}

std::string LowerCase1251(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(LowCase1251(static_cast<unsigned char>(c)));
    return r;
}

bool SameText1251(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpCase1251(static_cast<unsigned char>(a[i])) != UpCase1251(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
