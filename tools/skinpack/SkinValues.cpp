#include "SkinValues.h"

#include "BmpCodec.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace {

// The ordinary string-to-integer conversion: leading blanks, optional sign, digits.
int ToInt(const std::string& Text, const std::string& Whole) {
    size_t i = 0;
    while (i < Text.size() && Text[i] == ' ') ++i;
    size_t start = i;
    if (i < Text.size() && (Text[i] == '-' || Text[i] == '+')) ++i;
    if (i == Text.size()) throw std::runtime_error("not a number in skin value '" + Whole + "'");
    for (size_t j = i; j < Text.size(); ++j)
        if (!std::isdigit(static_cast<unsigned char>(Text[j])))
            throw std::runtime_error("not a number in skin value '" + Whole + "'");
    return std::stoi(Text.substr(start));
}

// Columns From..To, counted from 1; missing columns read as empty.
std::string Cols(const std::string& V, size_t From, size_t To) {
    if (V.size() < From) return std::string();
    return V.substr(From - 1, To - From + 1);
}

std::vector<std::string> Split(const std::string& V, const std::string& Delims) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : V) {
        if (Delims.find(c) != std::string::npos) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

}  // namespace

SkinImageValue ParseSkinImageValue(const std::string& Value) {
    SkinImageValue v;
    if (Value.empty()) return v;
    const std::string up = UpperCaseAscii(Value);
    auto rect = [&] {
        v.Left = ToInt(Cols(Value, 2, 5), Value);
        v.Top = ToInt(Cols(Value, 7, 10), Value);
        v.Right = ToInt(Cols(Value, 12, 15), Value);
        v.Bottom = ToInt(Cols(Value, 17, 20), Value);
    };
    if (Value[0] == '!') {
        std::vector<std::string> w = Split(Value, "!");
        if (w.size() < 4) throw std::runtime_error("too few words in skin value '" + Value + "'");
        v.Form = SkinValueForm::OwnFile;
        v.File = w[0];
        v.ImageCount = ToInt(w[1], Value);
        v.MaskType = ToInt(w[2], Value);
        v.ImgType = ToInt(w[3], Value);
        v.StretchMode = 4;
        if (w.size() >= 5) {
            int* m[4] = {&v.WL, &v.WT, &v.WR, &v.WB};
            for (size_t i = 0; i < 4 && 4 + i < w.size(); ++i) *m[i] = ToInt(w[4 + i], Value);
        }
    } else if (Value[0] == '@') {
        v.Form = SkinValueForm::Glyph;
        rect();
        v.ImageCount = ToInt(Cols(Value, 22, 22), Value);
        v.MaskType = ToInt(Cols(Value, 24, 24), Value);
        v.ImgType = 2;
    } else if (Value[0] == '^') {
        v.Form = SkinValueForm::Border;
        rect();
        v.WL = ToInt(Cols(Value, 22, 25), Value);
        v.WT = ToInt(Cols(Value, 27, 30), Value);
        v.WR = ToInt(Cols(Value, 32, 35), Value);
        v.WB = ToInt(Cols(Value, 37, 40), Value);
        v.ImageCount = ToInt(Cols(Value, 42, 42), Value);
        v.MaskType = ToInt(Cols(Value, 44, 44), Value);
        v.StretchMode = ToInt(Cols(Value, 46, 46), Value);
        v.BorderWidth = ToInt(Cols(Value, 48, 48), Value);
    } else if (Value[0] == '~') {
        v.Form = SkinValueForm::Texture;
        rect();
        v.StretchMode = ToInt(Cols(Value, 22, 23), Value);
        v.MaskType = Value.size() >= 25 ? ToInt(Cols(Value, 25, 25), Value) : 0;
        v.ImgType = 1;
    } else if (Value.find('#') != std::string::npos && Value != "#") {
        std::vector<std::string> w = Split(Value, " ()");
        if (w.size() < 3) throw std::runtime_error("too few words in skin value '" + Value + "'");
        std::vector<std::string> r = Split(w[1], ", ");
        std::vector<std::string> p = Split(w[2], ", ");
        if (r.size() < 4 || p.size() < 2) throw std::runtime_error("too few numbers in skin value '" + Value + "'");
        v.Form = SkinValueForm::MasterPart;
        v.Left = ToInt(r[0], Value);
        v.Top = ToInt(r[1], Value);
        v.Right = ToInt(r[2], Value);
        v.Bottom = ToInt(r[3], Value);
        v.ImageCount = std::max(1, ToInt(p[0], Value));
        v.MaskType = std::max(0, ToInt(p[1], Value));
        v.BorderWidth = p.size() > 2 ? std::max(0, ToInt(p[2], Value)) : 0;
        v.StretchMode = p.size() > 3 ? ToInt(p[3], Value) : 1;
    } else if (up.find(".BMP") != std::string::npos) {
        v.Form = SkinValueForm::PlainBmp;
        v.File = up;
        v.ImageCount = 3;
        v.MaskType = 1;
    } else if (up.find(".JPG") != std::string::npos || up.find(".JPEG") != std::string::npos) {
        v.Form = SkinValueForm::Jpeg;
        v.File = up;
        v.ImgType = 1;
    }
    return v;
}

void ComputeSkinMargins(SkinImageValue& V, int Width, int Height) {
    if (V.WL || V.WT || V.WR || V.WB) return;
    if (V.BorderWidth > 0) {
        V.WL = V.WT = V.WR = V.WB = V.BorderWidth;
        return;
    }
    const int count = V.ImageCount > 0 ? V.ImageCount : 1;
    V.WL = V.WR = Width / (count * 3);
    V.WT = V.WB = Height / ((V.MaskType + 1) * 3);
}

TacIniSections ReadSkinText(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + Path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return IniSplitLines(IniTextLines(text));
}

std::string SkinTextValue(const TacIniSections& Ini, const std::string& Section, const std::string& Key,
                          const std::string& Default) {
    for (const TacIniSection& s : Ini) {
        if (s.Name != Section) continue;
        for (const auto& [k, v] : SkinSectionPairs(s))
            if (k == Key) return v;
        return Default;
    }
    return Default;
}

std::string SkinInheritedValue(const TacIniSections& Ini, const std::string& Section, const std::string& Key,
                               const std::string& Default) {
    std::string cur = Section;
    for (int depth = 0; depth < 100 && !cur.empty(); ++depth) {
        const std::string v = SkinTextValue(Ini, cur, Key, "?");
        if (v != "?") return v;
        const std::string parent = SkinTextValue(Ini, cur, "PARENTCLASS", "?");
        cur = (parent == "?" || parent == cur) ? std::string() : parent;
    }
    return Default;
}

std::vector<std::pair<std::string, std::string>> SkinSectionPairs(const TacIniSection& Section) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string& line : Section.Lines) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

std::vector<uint8_t> Bmp24File(int W, int H, const uint8_t* Pixels, int Channels) {
    BmpImage im;
    im.Width = W, im.Height = H;
    im.Layout.BitCount = 24;
    const size_t stride = BmpRowBytes(W, 24);
    im.Pixels.assign(stride * size_t(H), 0);
    for (int y = 0; y < H; ++y) {
        uint8_t* row = im.Pixels.data() + stride * size_t(H - 1 - y);
        const uint8_t* src = Pixels + size_t(y) * W * Channels;
        for (int x = 0; x < W; ++x) {
            row[x * 3] = src[x * Channels + 2];
            row[x * 3 + 1] = src[x * Channels + 1];
            row[x * 3 + 2] = src[x * Channels];
        }
    }
    return EncodeBmp(im);
}

bool SkinPictureSize(const std::vector<uint8_t>& f, int& W, int& H) {
    auto le = [&](size_t at) { return int32_t(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24); };
    auto be = [&](size_t at) { return int32_t(uint32_t(f[at]) << 24 | f[at + 1] << 16 | f[at + 2] << 8 | f[at + 3]); };
    if (f.size() >= 26 && f[0] == 'B' && f[1] == 'M') {
        W = le(18), H = std::abs(le(22));
        return true;
    }
    if (f.size() >= 24 && std::memcmp(f.data(), "\x89PNG", 4) == 0) {
        W = be(16), H = be(20);
        return true;
    }
    if (f.size() < 4 || f[0] != 0xFF || f[1] != 0xD8) return false;
    for (size_t i = 2; i + 9 < f.size();) {
        if (f[i] != 0xFF) return false;
        const uint8_t m = f[i + 1];
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
            H = f[i + 5] << 8 | f[i + 6], W = f[i + 7] << 8 | f[i + 8];
            return true;
        }
        i += 2 + (size_t(f[i + 2]) << 8 | f[i + 3]);
    }
    return false;
}
