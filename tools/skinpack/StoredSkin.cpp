#include "StoredSkin.h"

#include <png.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "SkinValues.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// File names a skin text refers to, in the order of first mention.
std::vector<std::string> NamedFiles(const TacIniSections& ini) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    auto add = [&](const std::string& n) {
        if (!n.empty() && seen.insert(n).second) names.push_back(n);
    };
    add(SkinTextValue(ini, "GLOBALINFO", "MASTERBITMAP"));
    for (const TacIniSection& s : ini)
        for (const auto& [k, v] : SkinSectionPairs(s)) {
            if (s.Name == "GLOBALINFO" && k == "MASTERBITMAP") continue;
            SkinImageValue iv = ParseSkinImageValue(v);
            if (!iv.File.empty()) add(iv.File);
        }
    return names;
}

// ---- form text output --------------------------------------------------------

std::string Str(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// Binary notation: hex digits in braces, 32 bytes a line.
std::string Hex(const std::vector<uint8_t>& data, const std::string& indent) {
    static const char* digits = "0123456789ABCDEF";
    std::string out = "{";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 32 == 0) out += "\n" + indent + "  ";
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out + "}";
}

// Bytes of a graphic's own "Data" property: a 32-bit size, then the file.
std::vector<uint8_t> GraphicData(const std::vector<uint8_t>& file) {
    std::vector<uint8_t> out;
    const uint32_t n = uint32_t(file.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t((n >> (8 * i)) & 255));
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

// The form is named after the skin and the way it is stored (BirchDataForm:
// TBirchDataForm), so that each form text gives a resource of its own name.
// The manager's properties stand in their published order: the stored skins
// before the skin name, whose setter loads the skin while the form is read.
std::string FormHead(const std::string& SkinName, const std::string& Way) {
    const std::string form = SkinName + Way + "Form";
    return "// A skin stored in a skin manager's form data; written by skinpack.\n"
           "object " + form + ": T" + form + "\n"
           "  Caption = " + Str("Stored skin " + SkinName) + "\n"
           "  object sSkinManager1: TsSkinManager\n"
           "    InternalSkins = <\n"
           "      item\n"
           "        Name = " + Str(SkinName) + "\n";
}

std::string FormTail(const std::string& SkinName) {
    return "      end>\n    SkinName = " + Str(SkinName) + "\n  end\nend\n";
}

// ---- pictures ------------------------------------------------------------------

// The colour planes of a PNG file as a 24-bit bitmap file (alpha dropped).
std::vector<uint8_t> PngAsBmp(const fs::path& file) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, file.string().c_str()))
        throw std::runtime_error(file.string() + ": " + img.message);
    img.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr)) {
        std::string m = img.message;
        png_image_free(&img);
        throw std::runtime_error(file.string() + ": " + m);
    }
    return Bmp24File(int(img.width), int(img.height), rgb.data(), 3);
}

std::vector<uint8_t> JpegAsBmp(const fs::path& file, const std::string& djpeg) {
    const fs::path out = fs::temp_directory_path() / ("skinpack-" + std::to_string(::getpid()) + ".bmp");
    const std::string cmd = "'" + djpeg + "' -bmp -outfile '" + out.string() + "' '" + file.string() + "'";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("failed: " + cmd);
    std::vector<uint8_t> data = ReadFileBytes(out);
    fs::remove(out);
    return data;
}

// ---- inherited reads, as the loader reads the skin text -------------------------

struct SkinText {
    const TacIniSections& Ini;
    std::string Read(const std::string& s, const std::string& k, const std::string& d) const {
        return SkinTextValue(Ini, s, k, d);
    }
    std::string InheritedString(const std::string& s, const std::string& k, const std::string& d) const {
        return SkinInheritedValue(Ini, s, k, d);
    }
    // Integers: a stored -1 counts as absent and falls back to the parent.
    int InheritedInt(const std::string& s, const std::string& k, int d) const {
        std::string cur = s;
        for (int depth = 0; depth < 100 && !cur.empty(); ++depth) {
            const int v = IniValueToInt(Read(cur, k, "-1"), -1);
            if (v != -1) return v;
            const std::string parent = Read(cur, "PARENTCLASS", "?");
            cur = (parent == "?" || parent == cur) ? std::string() : parent;
        }
        return d;
    }
    bool InheritedBool(const std::string& s, const std::string& k) const {
        return UpperCaseAscii(InheritedString(s, k, "FALSE")) == "TRUE";
    }
};

void GeneralItem(std::ostringstream& o, const SkinText& t, const std::string& s) {
    const std::string in = "            ";
    auto i = [&](const char* name, int v) { o << in << name << " = " << v << "\n"; };
    auto str = [&](const char* name, const std::string& v) { o << in << name << " = " << Str(v) << "\n"; };
    auto b = [&](const char* name, bool v) { o << in << name << " = " << (v ? "True" : "False") << "\n"; };
    auto colours = [&](const char* first, const char* prefix) {
        std::string out = std::to_string(t.InheritedInt(s, first, 0));
        for (const char* side : {"TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"})
            out += " " + std::to_string(t.InheritedInt(s, std::string(prefix) + side, -1));
        return out;
    };
    o << "          item\n";
    str("SectionName", s);
    str("ParentClass", t.Read(s, "PARENTCLASS", ""));
    i("Color", t.InheritedInt(s, "COLOR", 0xFFFFFF));
    b("ReservedBoolean", t.InheritedBool(s, "RESERVEDBOOLEAN"));
    str("FontColor", colours("FONTCOLOR", ""));
    str("HotFontColor", colours("HOTFONTCOLOR", "HOT"));
    i("Transparency", t.InheritedInt(s, "TRANSPARENCY", 0));
    i("GlowCount", t.InheritedInt(s, "GLOW", 0));
    i("GlowMargin", t.InheritedInt(s, "GLOWMARGIN", 0));
    i("GradientPercent", t.InheritedInt(s, "GRADIENTPERCENT", 0));
    str("GradientData", t.InheritedString(s, "GRADIENTDATA", " "));
    i("ImagePercent", t.InheritedInt(s, "IMAGEPERCENT", 0));
    b("ShowFocus", t.InheritedBool(s, "SHOWFOCUS"));
    b("FadingEnabled", t.InheritedBool(s, "FADINGENABLED"));
    i("FadingIterations", t.InheritedInt(s, "FADINGITERATIONS", 5));
    i("HotColor", t.InheritedInt(s, "HOTCOLOR", 0xFFFFFF));
    i("HotTransparency", t.InheritedInt(s, "HOTTRANSPARENCY", 0));
    i("HotGradientPercent", t.InheritedInt(s, "HOTGRADIENTPERCENT", 0));
    str("HotGradientData", t.InheritedString(s, "HOTGRADIENTDATA", ""));
    i("HotImagePercent", t.InheritedInt(s, "HOTIMAGEPERCENT", 0));
    str("Name", s);
    b("GiveOwnFont", t.InheritedBool(s, "GIVEOWNFONT"));
    o << "          end";
}

const char* ImgTypeName(int t) {
    switch (t) {
    case 1: return "itisaTexture";
    case 2: return "itisaGlyph";
    case 3: return "itisaGlow";
    default: return "itisaBorder";
    }
}

}  // namespace

std::vector<AszEntry> CollectSkinFiles(const std::string& SkinDir) {
    const fs::path dir = SkinDir;
    const TacIniSections ini = ReadSkinText((dir / "Options.dat").string());
    std::vector<AszEntry> entries;
    entries.push_back({"Options.dat", ReadFileBytes(dir / "Options.dat")});
    for (const std::string& name : NamedFiles(ini)) {
        if (!fs::exists(dir / name)) throw std::runtime_error(SkinDir + ": the skin text names a missing file " + name);
        entries.push_back({name, ReadFileBytes(dir / name)});
    }
    return entries;
}

std::string StoredSkinFormWithData(const std::string& SkinName, const std::vector<uint8_t>& Container) {
    return FormHead(SkinName, "Data") + "        Data = " + Hex(Container, "        ") + "\n" + FormTail(SkinName);
}

std::string StoredSkinFormWithItems(const std::string& SkinDir, const std::string& SkinName,
                                    const std::string& Djpeg) {
    const fs::path dir = SkinDir;
    const TacIniSections ini = ReadSkinText((dir / "Options.dat").string());
    const SkinText text{ini};
    std::ostringstream o;
    o << FormHead(SkinName, "Items");

    o << "        GeneralData = <";
    for (const TacIniSection& s : ini) {
        o << "\n";
        GeneralItem(o, text, s.Name);
    }
    o << ">\n";

    // Images and patterns: every image value in table order; JPEG files by
    // the loader's size rule (at least 90,000 pixels: a pattern).
    std::ostringstream images, patterns;
    std::set<std::string> patternImages;
    const std::string in = "            ";
    for (const TacIniSection& s : ini)
        for (const auto& [k, v] : SkinSectionPairs(s)) {
            if (s.Name == "GLOBALINFO" && k == "MASTERBITMAP") continue;
            SkinImageValue iv = ParseSkinImageValue(v);
            if (iv.Form == SkinValueForm::None) continue;
            std::vector<uint8_t> bmp;
            if (!iv.File.empty()) {
                if (!fs::exists(dir / iv.File)) continue;  // the loader skips missing files
                const std::vector<uint8_t> file = ReadFileBytes(dir / iv.File);
                int w = 0, h = 0;
                if (iv.Form == SkinValueForm::Jpeg) {
                    if (!SkinPictureSize(file, w, h)) throw std::runtime_error(iv.File + ": no JPEG frame header");
                    if (w * h > 89999) {
                        patterns << "\n          item\n" << in << "SectionName = " << Str(UpperCaseAscii(s.Name)) << "\n";
                        if (patternImages.insert(iv.File).second)
                            patterns << in << "Image.Data = " << Hex(GraphicData(file), in) << "\n";
                        patterns << in << "Name = " << Str(iv.File) << "\n"
                                 << in << "PropertyName = " << Str(UpperCaseAscii(k)) << "\n          end";
                        continue;
                    }
                    bmp = JpegAsBmp(dir / iv.File, Djpeg);
                    iv.ImageCount = 1;
                } else if (UpperCaseAscii(iv.File).find(".PNG") != std::string::npos &&
                           UpperCaseAscii(iv.File).find(".BMP") == std::string::npos) {
                    bmp = PngAsBmp(dir / iv.File);
                } else {
                    bmp = file;
                }
                if (!SkinPictureSize(bmp, w, h)) throw std::runtime_error(iv.File + ": not a bitmap");
                // Own images span their picture; a small JPEG texture keeps
                // the empty rectangle the folder loader gives it.
                if (iv.Form != SkinValueForm::Jpeg) iv.Left = 0, iv.Top = 0, iv.Right = w, iv.Bottom = h;
            }
            images << "\n          item\n" << in << "SectionName = " << Str(UpperCaseAscii(s.Name)) << "\n";
            if (!bmp.empty()) images << in << "Image.Data = " << Hex(GraphicData(bmp), in) << "\n";
            images << in << "Name = " << Str(iv.File) << "\n"
                   << in << "PropertyName = " << Str(UpperCaseAscii(k)) << "\n"
                   << in << "Left = " << iv.Left << "\n" << in << "Top = " << iv.Top << "\n"
                   << in << "Right = " << iv.Right << "\n" << in << "Bottom = " << iv.Bottom << "\n"
                   << in << "ImageCount = " << iv.ImageCount << "\n" << in << "MaskType = " << iv.MaskType << "\n"
                   << in << "BorderWidth = " << iv.BorderWidth << "\n" << in << "StretchMode = " << iv.StretchMode
                   << "\n" << in << "ImgType = " << ImgTypeName(iv.ImgType) << "\n"
                   << in << "WL = " << iv.WL << "\n" << in << "WR = " << iv.WR << "\n"
                   << in << "WT = " << iv.WT << "\n" << in << "WB = " << iv.WB << "\n          end";
        }
    o << "        Images = <" << images.str() << ">\n";
    o << "        Patterns = <" << patterns.str() << ">\n";

    const std::string master = SkinTextValue(ini, "GLOBALINFO", "MASTERBITMAP");
    if (!master.empty() && fs::exists(dir / master))
        o << "        MasterBitmap.Data = " << Hex(GraphicData(ReadFileBytes(dir / master)), "        ") << "\n";
    auto gi = [&](const char* key, const char* def) { return IniValueToInt(text.Read("GLOBALINFO", key, def), 0); };
    o << "        Shadow1Color = " << gi("SHADOW1COLOR", "0") << "\n"
      << "        Shadow1Offset = " << gi("SHADOW1OFFSET", "0") << "\n"
      << "        Shadow1Blur = " << IniValueToInt(text.Read("GLOBALINFO", "SHADOW1BLUR", "-1"), -1) << "\n"
      << "        Shadow1Transparency = " << gi("SHADOW1TRANSPARENCY", "0") << "\n"
      << "        BorderColor = " << gi("BORDERCOLOR", "0") << "\n"
      << "        Version = " << text.Read("GLOBALINFO", "VERSION", "0") << "\n"
      << "        Author = " << Str(text.Read("GLOBALINFO", "AUTHOR", "")) << "\n"
      << "        Description = " << Str(text.Read("GLOBALINFO", "DESCRIPTION", "")) << "\n"
      << "        Data = {}\n";
    o << FormTail(SkinName);
    return o.str();
}
