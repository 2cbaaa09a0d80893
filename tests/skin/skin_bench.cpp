// Skin loading speed under Wine: each skin from its folder, its packed file,
// a stored skin's "Data" and, when DIR holds its compiled form
// <NAME>-items.bin, a stored skin's collections; the best of five loads in
// milliseconds. Folder and packed file are loaded from copies in a folder of
// their own, so that a packed file beside the folder is not taken first.
//
//   skin_bench                       a master-bitmap skin made here
//   skin_bench DIR [NAME...]         skins of DIR (every skin folder when no name is given)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "FormData.h"
#include "FormReader.h"
#include "Forms.h"
#include "PictureUnits.h"
#include "TypeInfo.h"
#include "SkinCraft.h"
#include "sSkinManager.h"

using namespace skincraft;

namespace {

// A skin on a 1024 x 768 master bitmap: 80 sections of borders, glyphs,
// textures and parts, a PNG and a JPEG pattern.
Files MadeSkin() {
    std::string o = "[GLOBALINFO]\r\nVERSION=6.10\r\nMASTERBITMAP=MASTER.BMP\r\n";
    for (int i = 0; i < 80; ++i) {
        char s[512];
        const int x = (i % 10) * 90, y = (i / 10) * 90;
        std::snprintf(s, sizeof s,
                      "[SECTION%d]\r\nPARENTCLASS=SECTION%d\r\nCOLOR=0x%06X\r\nFONTCOLOR=0\r\nTRANSPARENCY=%d\r\n"
                      "GRADIENTDATA=255;65280;50;0;0;65280;16711680;50;0;0\r\n"
                      "BORDERSMASK=^%4d %4d %4d %4d    4    4    4    4 3 1 0 0\r\n"
                      "GLYPHMASK=@%4d %4d %4d %4d 3 1\r\nPATTERN=~%4d %4d %4d %4d 12 0\r\n"
                      "PART=#(%d,%d,%d,%d)(3,1,2,1)\r\n",
                      i, i > 0 ? i - 1 : 0, i * 2971 & 0xFFFFFF, i % 50, x, y, x + 90, y + 60, x, y + 60, x + 60,
                      y + 80, x, y, x + 30, y + 30, x, y, x + 90, y + 60);
        o += s;
    }
    o += "[BUTTON]\r\nBORDERSMASK=!BTN.PNG!3!1!0\r\nHOTPATTERN=BACK.JPG\r\n";
    return {{"Options.dat", Text(o)},
            {"MASTER.BMP", Bmp(1024, 768, [](int x, int y) { return uint32_t(x * 7 ^ y * 13) & 0xFFFFFF; })},
            {"BTN.PNG", Png(90, 40, [](int x, int) { return 0x80000000u | uint32_t(x * 2); })},
            {"BACK.JPG", Jpeg(400, 300, 0x406080)}};
}

double BestOfFive(TsSkinManager& M, const std::string& Name) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        M.SetActive(false);
        M.SetSkinName(Name);
        const auto t0 = std::chrono::steady_clock::now();
        M.SetActive(true);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, ms);
    }
    return best;
}

Bytes ReadFileBytes(const std::string& Path) {
    TMemoryStream m;
    m.LoadFromFile(Path);
    return m.Bytes();
}

Files FolderFiles(const std::string& Dir) {
    Files f;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((Dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) f[fd.cFileName] = ReadFileBytes(Dir + fd.cFileName);
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return f;
}

// The root a stored skin's compiled form is read into.
class TSkinStore : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TSkinStore"; }
};

// Loads of a stored skin's collections: the form read once, then the skin
// name set again and again on its manager.
double StoredItems(const std::string& File, const std::string& Name, const std::string& EmptyDir) {
    const Bytes bytes = ReadFileBytes(File);
    FormObject def = ReadFormBinary(bytes.data(), bytes.size());
    def.ClassName = "TSkinStore";
    TSkinStore root(nullptr);
    LoadFormDefinition(&root, def);
    TsSkinManager* m = root.ComponentCount() ? dynamic_cast<TsSkinManager*>(root.Components(0)) : nullptr;
    if (!m) return -1;
    m->SetSkinDirectory(EmptyDir);
    return BestOfFive(*m, Name);
}

}  // namespace

int main(int argc, char** argv) {
    PictureUnits units;
    units.SetUp();
    sSkinManagerInitialize();
    RegisterFormClass<TSkinStore>("TSkinStore");
    std::string dir;
    std::vector<std::string> names;
    const std::string work = TempDir("skin_bench");
    if (argc >= 2) {
        dir = argv[1];
        if (dir.back() != '\\') dir += '\\';
        names.assign(argv + 2, argv + argc);
        if (names.empty()) {
            TsSkinManager lister(nullptr);
            lister.SetActive(false);
            lister.SetSkinDirectory(dir);
            TStringList found;
            lister.ListSkinNames(&found, 0);
            for (int i = 0; i < found.Count(); ++i) names.push_back(found[i]);
        }
    } else {
        dir = work + "made\\";
        WriteFolder(dir, "Made", MadeSkin());
        names = {"Made"};
    }
    std::printf("%-16s %10s %10s %10s %10s   (best of 5, ms)\n", "skin", "folder", "packed", "data", "items");
    for (const std::string& name : names) {
        // The folder and its container in a folder of their own.
        const Files f = FolderFiles(dir + name + "\\");
        WriteFolder(work, name, f);
        const Bytes packed = Pack(f);
        WriteFile(work + name + "_packed.asz", packed);
        TsSkinManager m(nullptr);
        m.SetActive(false);
        m.SetSkinDirectory(work);
        TsStoredSkin* s = m.InternalSkins()->Add();
        s->SetName(name + "_stored");
        s->SetData(packed);
        try {
            const double a = BestOfFive(m, name), b = BestOfFive(m, name + "_packed"),
                         c = BestOfFive(m, name + "_stored");
            const size_t sections = m.gd().size(), masks = m.ma().size();
            const std::string items = dir + name + "-items.bin";
            const double d = GetFileAttributesA(items.c_str()) != INVALID_FILE_ATTRIBUTES
                                 ? StoredItems(items, name, work + "none\\")
                                 : -1;
            std::printf("%-16s %10.1f %10.1f %10.1f %10.1f   (%zu sections, %zu masks)\n", name.c_str(), a, b, c, d,
                        sections, masks);
        } catch (const std::exception& e) {
            std::printf("%-16s failed: %s\n", name.c_str(), e.what());
        }
        DeleteFileA((work + name + "_packed.asz").c_str());
    }
    units.TearDown();
    return 0;
}
