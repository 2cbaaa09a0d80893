#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "FormCompiler.h"
#include "PictureFiles.h"
#include "PlaceholderPictures.h"

namespace fs = std::filesystem;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/formc_test_XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

// The tool's error output, in a file of this test process's own, removed at
// exit: test runs of other build trees on the machine share /tmp.
const std::string& ToolErrors() {
    struct File {
        std::string Path = "/tmp/formc_test_stderr." + std::to_string(getpid());
        ~File() { std::remove(Path.c_str()); }
    };
    static const File file;
    return file.Path;
}

int RunTool(const std::string& cmd) {
    int r = std::system((cmd + " 2>" + ToolErrors()).c_str());
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

}  // namespace

TEST(FormcPictures, AlphaPngBecomesBottomUp32BitBmpWithStraightAlpha) {
    TempDir t;
    std::string png = (t.path / "a.png").string();
    // Top-left red half-transparent, top-right green opaque, bottom row blue clear / white.
    WriteTestPng(png, 2, 2, true, [](int x, int y) {
        static const uint32_t c[2][2] = {{0xFF000080, 0x00FF00FF}, {0x0000FF00, 0xFFFFFFFF}};
        return c[y][x];
    });
    std::vector<uint8_t> bmp = LoadPictureForClass("TPNGGraphic", "a.png", {"/nonexistent", t.path.string()}, nullptr);
    ASSERT_EQ(bmp.size(), 54u + 16u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    EXPECT_EQ(U32(bmp, 10), 54u);
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(int32_t(U32(bmp, 18)), 2);
    EXPECT_EQ(int32_t(U32(bmp, 22)), 2);  // positive height: bottom-up
    EXPECT_EQ(U16(bmp, 28), 32);
    EXPECT_EQ(U32(bmp, 30), 0u);  // BI_RGB
    // First stored row is the bottom one: blue with alpha 0 keeps its colour (straight alpha).
    const uint8_t* row0 = &bmp[54];
    EXPECT_EQ((std::vector<uint8_t>(row0, row0 + 8)), (std::vector<uint8_t>{0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    const uint8_t* row1 = &bmp[62];
    EXPECT_EQ((std::vector<uint8_t>(row1, row1 + 8)), (std::vector<uint8_t>{0, 0, 0xFF, 0x80, 0, 0xFF, 0, 0xFF}));
}

TEST(FormcPictures, OpaquePngBecomes24BitBmpWithPaddedRows) {
    TempDir t;
    std::string png = (t.path / "o.png").string();
    WriteTestPng(png, 3, 2, false, [](int x, int y) { return uint32_t((x * 40) << 24 | (y * 100) << 16 | 7 << 8); });
    std::vector<uint8_t> bmp = LoadPictureForClass("TBitmap", png, {}, nullptr);
    EXPECT_EQ(U16(bmp, 28), 24);
    const size_t stride = 12;  // 9 bytes of pixels padded to 4
    ASSERT_EQ(bmp.size(), 54 + 2 * stride);
    EXPECT_EQ(U32(bmp, 34), 2 * stride);
    // Bottom row (y = 1) first; pixel x = 2 is B 7, G 100, R 80.
    EXPECT_EQ(bmp[54 + 6], 7);
    EXPECT_EQ(bmp[54 + 7], 100);
    EXPECT_EQ(bmp[54 + 8], 80);
    EXPECT_EQ(bmp[54 + stride + 7], 0);  // top row: G = 0
}

TEST(FormcPictures, ClassesAndBadFiles) {
    TempDir t;
    WritePlaceholderJpeg((t.path / "bg.jpg").string());
    std::vector<uint8_t> j = LoadPictureForClass("TJPEGImage", "bg.jpg", {t.path.string()}, nullptr);
    EXPECT_EQ(j, (std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xD9}));  // as is
    EXPECT_THROW(LoadPictureForClass("TPNGGraphic", "bg.jpg", {t.path.string()}, nullptr), Exception);
    WritePlaceholderDisc((t.path / "d.png").string());
    EXPECT_THROW(LoadPictureForClass("TJPEGImage", "d.png", {t.path.string()}, nullptr), Exception);
    EXPECT_THROW(LoadPictureForClass("TMetafile", "d.png", {t.path.string()}, nullptr), Exception);
    try {
        LoadPictureForClass("TPNGGraphic", "missing.png", {t.path.string()}, nullptr);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find("file not found"), std::string::npos);
    }
    // A PNG cut short is refused, not read past its end.
    std::string whole = Slurp(t.path / "d.png");
    std::ofstream((t.path / "cut.png").string(), std::ios::binary) << whole.substr(0, whole.size() / 2);
    EXPECT_THROW(LoadPictureForClass("TPNGGraphic", "cut.png", {t.path.string()}, nullptr), Exception);
}

TEST(FormcTool, WritesBinaryResourceLineAndDependencies) {
    TempDir t;
    WritePlaceholderDisc((t.path / "disc.png").string());
    std::ofstream((t.path / "M.form").string())
        << "object Form2: TForm2\n  Caption = 'Меню'\n  object Image2: TImage\n"
           "    Picture.Data = picture TPNGGraphic 'disc.png'\n  end\nend\n";
    std::string bin = (t.path / "M.bin").string(), rc = (t.path / "M.rc").string(), d = (t.path / "M.d").string();
    ASSERT_EQ(RunTool(std::string(FORMC_EXE) + " --art " + t.path.string() + " " + (t.path / "M.form").string() +
                  " -o " + bin + " --rc " + rc + " --depfile " + d),
              0)
        << Slurp(ToolErrors());
    std::string b = Slurp(bin);
    FormObject f = ReadFormBinary(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    EXPECT_EQ(f.Find("Caption")->Value.Str, "\xCC\xE5\xED\xFE");
    const std::vector<uint8_t>& pic = f.Children[0].Find("Picture.Data")->Value.Binary;
    ASSERT_GT(pic.size(), 16u);
    EXPECT_EQ(std::string(pic.begin() + 1, pic.begin() + 12), "TPNGGraphic");
    EXPECT_EQ(U32(pic, 12), pic.size() - 16);
    EXPECT_EQ(pic[16], 'B');
    EXPECT_EQ(Slurp(rc), "TFORM2 RCDATA \"" + bin + "\"\n");
    EXPECT_NE(Slurp(d).find((t.path / "disc.png").string()), std::string::npos);

    // A bad form fails with its file and line and leaves no output claiming success.
    std::ofstream((t.path / "Bad.form").string()) << "object F: TForm\n  Left = \nend\n";
    EXPECT_EQ(RunTool(std::string(FORMC_EXE) + " " + (t.path / "Bad.form").string() + " -o " +
                  (t.path / "Bad.bin").string()),
              1);
    EXPECT_NE(Slurp(ToolErrors()).find("Bad.form:3:"), std::string::npos);
    EXPECT_FALSE(fs::exists(t.path / "Bad.bin"));
    EXPECT_EQ(RunTool(std::string(FORMC_EXE) + " only-input.form"), 2);  // usage
}

// The six lesson forms compile and carry the classes and captions the lessons need.
TEST(LessonForms, AllSixCompileUnderTheirResourceNames) {
    TempDir t;
    std::set<std::string> names;
    std::map<std::string, FormObject> forms;
    for (const auto& e : fs::directory_iterator(LESSONS_DIR)) {
        if (e.path().extension() != ".form") continue;
        std::string text = Slurp(e.path());
        ParseFormText(text, e.path().string(), [&](const AnsiString& cls, const std::string& file) {
            if (cls == "TJPEGImage") WritePlaceholderJpeg((t.path / file).string());
            else WritePlaceholderDisc((t.path / file).string());
            return std::vector<uint8_t>{};
        });
        CompiledForm c = CompileFormText(text, e.path().string(), {t.path.string()});
        names.insert(FormResourceName(c.Tree.ClassName));
        forms[c.Tree.ClassName] = ReadFormBinary(c.Binary);
    }
    EXPECT_EQ(names, (std::set<std::string>{"TFORM2", "TSOST", "TRASPR", "TRASPR1", "TKROS", "TFORM1"}));
    ASSERT_TRUE(forms.count("TForm2"));
    const FormObject& m = forms["TForm2"];
    std::vector<std::string> order;
    for (const FormObject& c : m.Children) order.push_back(c.Name);
    EXPECT_EQ(order, (std::vector<std::string>{"Image1", "Image31", "Image32", "Image2", "Image3", "Image4",
                                               "Image5", "Image6", "Image7", "RzLabel13", "Image8", "Image9",
                                               "RzLabel1", "RzLabel2", "RzLabel3", "RzLabel4", "RzLabel5",
                                               "RzLabel6", "RzLabel7", "Shape2", "Shape3", "Shape1", "Label1",
                                               "Timer1"}));
    EXPECT_EQ(m.Find("Caption")->Value.Str, "Tuvreli");
    EXPECT_EQ(m.Find("ClientWidth")->Value.Int, 992);
    EXPECT_EQ(m.Find("ClientHeight")->Value.Int, 666);
    // Every form's caption.
    const std::pair<const char*, const char*> captions[] = {
        {"Tsost", "Zudaderir"}, {"Traspr", "Dedavirovo"}, {"Traspr1", "raspr1"},
        {"Tkros", "Dozuviva"},  {"TForm1", "\xCF\xF0\xE8\xE7!"}};
    for (auto [cls, cap] : captions) {
        ASSERT_TRUE(forms.count(cls)) << cls;
        EXPECT_EQ(forms[cls].Find("Caption")->Value.Str, cap) << cls;
    }
    EXPECT_EQ(forms["Tkros"].Find("Visible")->Value.Kind, FormValueKind::True);
    EXPECT_TRUE(forms["TForm1"].Find("BorderIcons")->Value.Set.empty());
}
