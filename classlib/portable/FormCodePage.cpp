#include "FormCodePage.h"

namespace formcp {
namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
const char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// Decodes one UTF-8 sequence at s[i]; returns false on malformed input.
bool Decode(const std::string& s, size_t& i, char32_t& c) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = b(i);
    int n;
    if (b0 < 0x80) {
        c = b0;
        n = 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        c = b0 & 0x1F;
        n = 2;
    } else if ((b0 & 0xF0) == 0xE0) {
        c = b0 & 0x0F;
        n = 3;
    } else if ((b0 & 0xF8) == 0xF0) {
        c = b0 & 0x07;
        n = 4;
    } else {
        return false;
    }
    if (i + size_t(n) > s.size()) return false;
    for (int k = 1; k < n; ++k) {
        unsigned char bk = b(i + size_t(k));
        if ((bk & 0xC0) != 0x80) return false;
        c = (c << 6) | (bk & 0x3F);
    }
    static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += size_t(n);
    return true;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t CharOf1251(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xC0) return char32_t(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

int ByteOf1251(char32_t c) {
    if (c < 0x80) return int(c);
    if (c >= 0x0410 && c <= 0x044F) return int(0xC0 + (c - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] != 0 && kHigh[i] == c) return 0x80 + i;
    return -1;
}

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
        if (!Decode(u, i, c)) {
            out += '?';
            ++i;
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
        int b = Decode(u, i, c) ? ByteOf1251(c) : -1;
        if (b < 0) {
            badOffset = at;
            return false;
        }
        out += char(b);
    }
    return true;
}

std::string To1251Utf8(const std::string& s) {
    std::string out;
    for (unsigned char b : s) {
        char32_t c = CharOf1251(b);
        Encode(c ? c : U'?', out);
    }
    return out;
}

}  // namespace formcp
