// Form text through the form compiler and the reader into the test classes:
// collections of collections, graphics' own data blocks and class-defined
// binary properties arrive byte for byte and read back the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FormCompiler.h"
#include "ModelForms.h"

using namespace model_test;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/formc_model_XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
    void Put(const char* name, const std::vector<uint8_t>& b) const {
        std::ofstream(path / name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    }
    fs::path path;
};

std::vector<uint8_t> Sized(const std::vector<uint8_t>& b) {
    std::vector<uint8_t> r(4 + b.size());
    for (size_t i = 0; i < 4; ++i) r[i] = uint8_t(b.size() >> (8 * i));
    std::copy(b.begin(), b.end(), r.begin() + 4);
    return r;
}

const char* kText = R"(object Root: TTestRoot
  object Box1: TTestBox
    Items = <
      item
        Value = 1
        SubItems = <
          item
            Name = 'image'
            Picture.Data = graphic TBitmap 'a.bmp'
            ImgData = file 'blob.bin'
          end
          item
            Name = 'pattern'
            Picture.Data = graphic TJPEGImage 'b.jpg'
            ImgData = {00FF7F
                       0102}
          end>
      end
      item
        Value = 2
        SubItems = <>
      end>
  end
end
)";

}  // namespace

TEST(StoredData, TextToStreamToTreeKeepsNestedCollectionsAndBlocksByteForByte) {
    TempDir dir;
    std::vector<uint8_t> bmp = {'B', 'M'}, jpg = {0xFF, 0xD8, 0xFF, 0xE0}, blob;
    for (int i = 0; i < 300; ++i) {
        bmp.push_back(uint8_t(i * 7));
        jpg.push_back(uint8_t(i * 13 + 1));
        blob.push_back(uint8_t(255 - i));
    }
    dir.Put("a.bmp", bmp);
    dir.Put("b.jpg", jpg);
    dir.Put("blob.bin", blob);
    const CompiledForm compiled = CompileFormText(kText, "Root.form", {dir.path.string()});
    EXPECT_EQ(compiled.PictureFiles.size(), 3u);

    auto root = NewRoot();
    LoadFormDefinition(root.get(), compiled.Binary.data(), compiled.Binary.size());
    auto* box = dynamic_cast<TTestBox*>(root->FindComponent("Box1"));
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->Items()->Count(), 2);
    auto* outer = static_cast<TTestItem*>(box->Items()->Items(0));
    ASSERT_EQ(outer->SubItems()->Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(box->Items()->Items(1))->SubItems()->Count(), 0);
    auto* image = static_cast<TTestSubItem*>(outer->SubItems()->Items(0));
    auto* pattern = static_cast<TTestSubItem*>(outer->SubItems()->Items(1));
    EXPECT_EQ(image->Name(), "image");
    EXPECT_EQ(image->Picture()->Bytes(), bmp);
    EXPECT_EQ(image->ImgData(), blob);
    EXPECT_EQ(pattern->Picture()->Bytes(), jpg);
    EXPECT_EQ(pattern->ImgData(), (std::vector<uint8_t>{0x00, 0xFF, 0x7F, 0x01, 0x02}));

    // Written back, each block is the one the stream carried.
    const TClassInfo& info = *FindClassInfo("TTestSubItem");
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadBinaryProperty(image, info, "Picture.Data", back));
    EXPECT_EQ(back, Sized(bmp));
    ASSERT_TRUE(ReadBinaryProperty(pattern, info, "Picture.Data", back));
    EXPECT_EQ(back, Sized(jpg));
    ASSERT_TRUE(ReadBinaryProperty(image, info, "ImgData", back));
    EXPECT_EQ(back, blob);
}

TEST(StoredData, AGraphicFileOfTheWrongKindIsRefusedWithItsLine) {
    TempDir dir;
    dir.Put("a.bmp", {'B', 'M', 0, 0});
    const std::string text = "object Root: TTestRoot\n  Caption = 'x'\n  Lines.Strings = graphic TJPEGImage 'a.bmp'\nend\n";
    try {
        CompileFormText(text, "Root.form", {dir.path.string()});
        FAIL() << "no error";
    } catch (const EFormTextError& e) {
        EXPECT_NE(std::string(e.what()).find("Root.form:3:"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("not a JPEG"), std::string::npos) << e.what();
    }
}
