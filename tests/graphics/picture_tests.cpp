#include <gtest/gtest.h>

#include <memory>

#include "Jpeg.h"
#include "UnitInit.h"
#include "gfx_test_util.h"

namespace {

// A bitmap class of its own file format, the way the alpha picture class
// derives from TBitmap: LoadFromStream reads something else, while form
// data stay TBitmap's.
class TTestPicture : public TBitmap {
public:
    static constexpr const char StaticClassName[] = "TTestPicture";
    const char* ClassName() const override { return StaticClassName; }
    TGraphic* NewInstance() const override { return new TTestPicture; }
    void LoadFromStream(TStream* Stream) override {
        const uint8_t side = Stream->ReadUInt8();
        SetPixelFormat(pf32bit);
        SetSize(side, side);
        ++Loads;
    }
    static int Loads;
};
int TTestPicture::Loads = 0;

std::string TempFile(const char* name) { return ::testing::TempDir() + name; }

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    TFileStream f(name, fmCreate);
    f.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

}  // namespace

TEST(Picture, BuiltInFormatsAndClassNames) {
    EXPECT_EQ(TPicture::FindFileFormat("bmp"), &NewGraphic<TBitmap>);
    EXPECT_EQ(TPicture::FindFileFormat(".BMP"), &NewGraphic<TBitmap>);
    EXPECT_EQ(TPicture::FindFileFormat("Jpeg"), &NewGraphic<TJPEGImage>);
    EXPECT_EQ(TPicture::FindFileFormat("jpg"), &NewGraphic<TJPEGImage>);
    EXPECT_EQ(TPicture::FindFileFormat("ico"), &NewGraphic<TIcon>);
    EXPECT_EQ(TPicture::FindFileFormat("png"), nullptr);
    EXPECT_EQ(TPicture::FindGraphicClass("TBitmap"), &NewGraphic<TBitmap>);
    EXPECT_EQ(TPicture::FindGraphicClass("TJPEGImage"), &NewGraphic<TJPEGImage>);
    EXPECT_EQ(TPicture::FindGraphicClass("tbitmap"), nullptr);  // class names are exact
}

TEST(Picture, RegisteredClassLoadsFilesByExtensionAndFormDataAsABitmap) {
    TPicture::RegisterFileFormat<TTestPicture>("tst", "Test pictures");
    ASSERT_EQ(TPicture::FindGraphicClass("TTestPicture"), &NewGraphic<TTestPicture>);
    const std::string file = TempFile("picture.TST");
    WriteFile(file, {5});
    TPicture p;
    int changes = 0;
    p.OnChange = TNotifyEvent::Fn(&changes, [](void* n, TObject*) { ++*static_cast<int*>(n); });
    TTestPicture::Loads = 0;
    p.LoadFromFile(file);
    EXPECT_EQ(TTestPicture::Loads, 1);
    ASSERT_NE(dynamic_cast<TTestPicture*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 5);
    EXPECT_GE(changes, 1);
    // Drawing on the held bitmap tells the picture.
    const int before = changes;
    p.Bitmap()->Canvas()->FillRect(Rect(0, 0, 2, 2));
    EXPECT_GT(changes, before);
    static_cast<uint8_t*>(p.Bitmap()->ScanLine(0))[3] = 99;

    // Form data: length byte, class name, then TBitmap's data (never the
    // class's own LoadFromStream).
    TMemoryStream fd;
    p.WriteData(&fd);
    const auto* bytes = static_cast<const uint8_t*>(fd.Memory());
    EXPECT_EQ(bytes[0], 12);
    EXPECT_EQ(AnsiString(reinterpret_cast<const char*>(bytes + 1), 12), "TTestPicture");
    fd.SetPosition(0);
    TPicture q;
    q.ReadData(&fd);
    EXPECT_EQ(TTestPicture::Loads, 1);
    EXPECT_EQ(fd.Position(), fd.Size());
    auto* g = dynamic_cast<TTestPicture*>(q.Graphic());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->PixelFormat(), pf32bit);
    EXPECT_EQ(AlphaOf(g, 0, 0), 99);

    TPicture::UnregisterFileFormat(&NewGraphic<TTestPicture>);
    EXPECT_EQ(TPicture::FindFileFormat("tst"), nullptr);
    fd.SetPosition(0);
    try {
        q.ReadData(&fd);
        FAIL() << "unknown class accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Unknown picture class TTestPicture");
    }
    EXPECT_EQ(q.Graphic(), g);  // kept what it held
    EXPECT_THROW(p.LoadFromFile(file), EInvalidGraphic);
    std::remove(file.c_str());
}

TEST(Picture, TruncatedFormDataKeepsThePicture) {
    TPicture p;
    p.Bitmap()->SetSize(4, 4);
    TMemoryStream fd;
    p.WriteData(&fd);
    TGraphic* held = p.Graphic();
    for (int64_t cut : {int64_t(0), int64_t(3), int64_t(8), fd.Size() - 1}) {
        TReadOnlyMemoryStream part(fd.Memory(), size_t(cut));
        EXPECT_ANY_THROW(p.ReadData(&part)) << cut;
        EXPECT_EQ(p.Graphic(), held);
    }
    // Length 0 means no picture.
    const uint8_t none = 0;
    TReadOnlyMemoryStream empty(&none, 1);
    p.ReadData(&empty);
    EXPECT_EQ(p.Graphic(), nullptr);
    TMemoryStream out;
    p.WriteData(&out);
    EXPECT_EQ(out.Size(), 1);
}

TEST(Picture, GraphicIsCopiedAndBitmapReplacesOtherKinds) {
    std::unique_ptr<TBitmap> b(MakeBitmap(3, 2, clRed));
    TPicture p;
    p.SetGraphic(b.get());
    ASSERT_NE(p.Graphic(), b.get());  // a copy
    EXPECT_EQ(PixelOf(p.Bitmap(), 2, 1), clRed);
    TPicture q;
    q.Assign(&p);
    EXPECT_EQ(q.Width(), 3);
    EXPECT_NE(q.Graphic(), p.Graphic());
    // A picture holding an icon gives an empty bitmap on request.
    TIcon icon;
    TPicture r;
    r.SetGraphic(&icon);
    EXPECT_NE(dynamic_cast<TIcon*>(r.Graphic()), nullptr);
    TBitmap* nb = r.Bitmap();
    EXPECT_TRUE(nb->Empty());
    EXPECT_EQ(r.Graphic(), nb);
    try {
        TPicture s;
        s.LoadFromFile("picture.xyz");
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Unknown picture file extension (.xyz)");
    }
}

TEST(Icon, RoundTripThroughAnIconFileAndDrawWithItsMask) {
    // 16 x 16, 32-bit colour: left half opaque red, right half transparent.
    std::unique_ptr<TBitmap> color(MakeBitmap(16, 16, clBlack, pf32bit));
    for (int y = 0; y < 16; ++y) {
        auto* r = static_cast<uint8_t*>(color->ScanLine(y));
        for (int x = 0; x < 8; ++x) r[4 * x + 2] = 255, r[4 * x + 3] = 255;
    }
    std::unique_ptr<TBitmap> mask(new TBitmap);
    mask->SetPixelFormat(pf1bit);
    mask->SetSize(16, 16);
    ICONINFO ii{TRUE, 0, 0, mask->Handle(), color->Handle()};
    HICON h = CreateIconIndirect(&ii);
    ASSERT_NE(h, nullptr);
    TIcon icon;
    icon.SetHandle(h);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    TMemoryStream ico;
    icon.SaveToStream(&ico);
    ico.SetPosition(0);
    TIcon back;
    back.SetSize(16, 16);
    back.LoadFromStream(&ico);
    ASSERT_NE(back.Handle(), nullptr);
    std::unique_ptr<TBitmap> dst(MakeBitmap(20, 20, clBlue));
    dst->Canvas()->Draw(2, 2, &back);
    EXPECT_EQ(PixelOf(dst.get(), 4, 10), clRed);
    EXPECT_EQ(PixelOf(dst.get(), 14, 10), clBlue);
    EXPECT_NE(back.HandleOfSize(32, 32), nullptr);
    // A damaged file raises and keeps the icon.
    const uint8_t bad[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0};
    TReadOnlyMemoryStream s(bad, sizeof bad);
    EXPECT_THROW(back.LoadFromStream(&s), EInvalidGraphic);
    EXPECT_EQ(back.Width(), 16);
    EXPECT_THROW(back.SetWidth(48), EInvalidGraphicOperation);
}

// The class library's start-up steps register the picture classes.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    StartUnits({});
    const int rc = RUN_ALL_TESTS();
    FinishUnits();
    return rc;
}
