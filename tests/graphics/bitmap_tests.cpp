#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gfx_test_util.h"

using Bmp = std::unique_ptr<TBitmap>;

TEST(Bitmap, ScanLinesRunFromTheTopAndLieBottomUp) {
    for (TPixelFormat pf : {pf24bit, pf32bit}) {
        Bmp b(MakeBitmap(5, 3, clBlack, pf));
        EXPECT_EQ(b->PixelFormat(), pf);
        EXPECT_EQ(b->HandleType(), bmDIB);
        const int bpp = pf == pf32bit ? 4 : 3;
        EXPECT_EQ(b->RowBytes(), (5 * bpp + 3) / 4 * 4);
        auto* r0 = static_cast<uint8_t*>(b->ScanLine(0));
        auto* r1 = static_cast<uint8_t*>(b->ScanLine(1));
        EXPECT_EQ(r0 - r1, b->RowBytes());  // row 1 lies below row 0 in memory
        // Canvas pixel (4, 0) in red shows in ScanLine(0) as blue, green, red.
        b->Canvas()->SetPixels(4, 0, RGBColor(0x30, 0x20, 0x10));
        r0 = static_cast<uint8_t*>(b->ScanLine(0));
        EXPECT_EQ(r0[4 * bpp], 0x10);
        EXPECT_EQ(r0[4 * bpp + 1], 0x20);
        EXPECT_EQ(r0[4 * bpp + 2], 0x30);
        // Written through the scan line, read through the canvas.
        static_cast<uint8_t*>(b->ScanLine(2))[0] = 0xFF;  // blue of (0, 2)
        EXPECT_EQ(b->Canvas()->Pixels(0, 2), clBlue);
        EXPECT_THROW(b->ScanLine(3), EInvalidGraphicOperation);
        EXPECT_THROW(b->ScanLine(-1), EInvalidGraphicOperation);
    }
}

TEST(Bitmap, FormatConversionsKeepColoursAndDefineAlpha) {
    Bmp b(MakeBitmap(4, 2, RGBColor(10, 200, 30), pf24bit));
    b->SetPixelFormat(pf32bit);
    EXPECT_EQ(PixelOf(b.get(), 3, 1), RGBColor(10, 200, 30));
    EXPECT_EQ(AlphaOf(b.get(), 3, 1), 0);  // from a format without alpha
    static_cast<uint8_t*>(b->ScanLine(0))[3] = 0x80;
    b->SetPixelFormat(pf24bit);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), RGBColor(10, 200, 30));
    b->SetPixelFormat(pf16bit);
    b->SetPixelFormat(pf24bit);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), RGBColor(8, 203, 24));  // 5-6-5 keeps the top bits
    b->SetPixelFormat(pf1bit);
    b->SetPixelFormat(pf24bit);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), clBlack);  // nearer black than white
}

// The alpha picture class sends its alpha plane as an 8-bit picture through
// the device format and back: grey levels must survive that trip.
TEST(Bitmap, EightBitGreyLevelsSurviveTheDeviceFormat) {
    Bmp b(new TBitmap);
    b->SetPixelFormat(pf8bit);
    b->SetSize(256, 1);
    auto* row = static_cast<uint8_t*>(b->ScanLine(0));
    for (int i = 0; i < 256; ++i) row[i] = uint8_t(i);
    b->SetPixelFormat(pfDevice);
    EXPECT_EQ(b->HandleType(), bmDDB);
    EXPECT_EQ(b->PixelFormat(), pfDevice);
    Bmp wide(new TBitmap);  // stretched on the device, then back to 8 bits
    wide->SetSize(512, 1);
    HDC d = wide->Canvas()->Handle();
    SetStretchBltMode(d, HALFTONE);
    StretchBlt(d, 0, 0, 512, 1, b->Canvas()->Handle(), 0, 0, 256, 1, SRCCOPY);
    b->SetPixelFormat(pf8bit);
    wide->SetPixelFormat(pf8bit);
    row = static_cast<uint8_t*>(b->ScanLine(0));
    auto* w = static_cast<uint8_t*>(wide->ScanLine(0));
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(row[i], i);
        EXPECT_NEAR(w[2 * i], i, 2);
    }
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndClearsNewPixels) {
    Bmp b(MakeBitmap(4, 4, clRed, pf32bit));
    static_cast<uint8_t*>(b->ScanLine(0))[3] = 200;
    b->SetSize(6, 2);
    EXPECT_EQ(PixelOf(b.get(), 3, 1), clRed);
    EXPECT_EQ(AlphaOf(b.get(), 0, 0), 200);
    EXPECT_EQ(PixelOf(b.get(), 5, 0), clBlack);
    EXPECT_EQ(AlphaOf(b.get(), 5, 0), 0);
    b->SetWidth(0);
    EXPECT_TRUE(b->Empty());
    EXPECT_EQ(b->Handle(), nullptr);
    b->SetWidth(3);  // height still 2
    EXPECT_EQ(b->Height(), 2);
    EXPECT_NE(b->Handle(), nullptr);
}

// A roomy bitmap keeps its section through size changes; it must show what a
// plain one shows: kept pixels, cleared new ones (also where a larger size
// left some), scan lines that are the canvas's rows.
TEST(Bitmap, ARoomyBitmapResizesAsAPlainOneDoes) {
    Bmp plain(MakeBitmap(4, 4, clRed, pf24bit)), roomy(MakeBitmap(4, 4, clRed, pf24bit));
    roomy->SetRoomy(true);
    const struct {
        int W, H;
    } steps[] = {{6, 2}, {3, 5}, {90, 70}, {2, 2}, {5, 4}, {300, 3}, {7, 9}};
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << s.W << " x " << s.H);
        for (TBitmap* b : {plain.get(), roomy.get()}) {
            b->Canvas()->Brush()->SetColor(clRed);
            b->Canvas()->FillRect(Rect(0, 0, b->Width(), b->Height()));
            static_cast<uint8_t*>(b->ScanLine(b->Height() - 1))[1] = 0xFF;  // green into the last row
            b->SetSize(s.W, s.H);
        }
        ASSERT_EQ(roomy->Width(), s.W);
        ASSERT_EQ(roomy->Height(), s.H);
        for (int y = 0; y < s.H; ++y) {
            EXPECT_EQ(std::memcmp(plain->ScanLine(y), roomy->ScanLine(y), size_t(s.W) * 3), 0) << "row " << y;
            for (int x = 0; x < s.W; x += 3) ASSERT_EQ(roomy->Canvas()->Pixels(x, y), plain->Canvas()->Pixels(x, y));
        }
    }
}

TEST(Bitmap, DeviceBitmapsTurnIntoDIBsForScanLines) {
    Bmp b(new TBitmap);
    EXPECT_EQ(b->PixelFormat(), pfDevice);
    b->SetSize(3, 3);
    b->Canvas()->Brush()->SetColor(clTeal);
    b->Canvas()->FillRect(Rect(0, 0, 3, 3));
    ASSERT_NE(b->ScanLine(1), nullptr);
    EXPECT_EQ(b->HandleType(), bmDIB);
    EXPECT_NE(b->PixelFormat(), pfDevice);
    EXPECT_EQ(PixelOf(b.get(), 2, 2), clTeal);
}

TEST(Bitmap, BmpRoundTripKeepsFormatPixelsAndAlpha) {
    Bmp b(MakeBitmap(7, 3, clBlack, pf32bit));
    for (int y = 0; y < 3; ++y) {
        auto* r = static_cast<uint8_t*>(b->ScanLine(y));
        for (int i = 0; i < 28; ++i) r[i] = uint8_t(y * 31 + i * 9);
    }
    TMemoryStream m;
    b->SaveToStream(&m);
    EXPECT_EQ(std::memcmp(m.Memory(), "BM", 2), 0);
    m.SetPosition(0);
    Bmp c(new TBitmap);
    c->LoadFromStream(&m);
    EXPECT_EQ(c->PixelFormat(), pf32bit);
    EXPECT_EQ(c->Width(), 7);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(std::memcmp(b->ScanLine(y), c->ScanLine(y), 28), 0) << y;

    // Form data: uint32 size, then the same file.
    TMemoryStream fd;
    b->WriteData(&fd);
    EXPECT_EQ(fd.Size(), m.Size() + 4);
    fd.SetPosition(0);
    EXPECT_EQ(fd.ReadUInt32(), uint32_t(m.Size()));
    EXPECT_EQ(std::memcmp(static_cast<const uint8_t*>(fd.Memory()) + 4, m.Memory(), size_t(m.Size())), 0);
    fd.Seek(0, soEnd);
    fd.WriteUInt8(0x55);  // data after the picture stays unread
    fd.SetPosition(0);
    Bmp d(new TBitmap);
    d->ReadData(&fd);
    EXPECT_EQ(fd.Position(), m.Size() + 4);
    EXPECT_EQ(std::memcmp(b->ScanLine(2), d->ScanLine(2), 28), 0);
}

TEST(Bitmap, BadDataRaisesAndLeavesTheBitmapAsItWas) {
    Bmp b(MakeBitmap(3, 2, clRed));
    const uint8_t junk[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    TReadOnlyMemoryStream s(junk, sizeof junk);
    EXPECT_THROW(b->LoadFromStream(&s), EInvalidGraphic);
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(PixelOf(b.get(), 2, 1), clRed);
    // Form data whose size claims more than there is.
    TMemoryStream fd;
    fd.WriteUInt32(1000);
    fd.WriteBuffer(junk, sizeof junk);
    fd.SetPosition(0);
    EXPECT_THROW(b->ReadData(&fd), EReadError);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), clRed);
}

TEST(Bitmap, TransparentDrawingKeysOutTheBottomLeftColour) {
    Bmp pic(MakeBitmap(6, 6, clFuchsia));
    pic->Canvas()->Brush()->SetColor(clBlue);
    pic->Canvas()->FillRect(Rect(2, 2, 4, 4));
    Bmp dst(MakeBitmap(12, 12, clGreen));
    dst->Canvas()->Draw(0, 0, pic.get());  // opaque: the key colour shows
    EXPECT_EQ(PixelOf(dst.get(), 0, 0), clFuchsia);
    pic->SetTransparent(true);
    EXPECT_EQ(pic->TransparentColor(), clFuchsia);
    dst->Canvas()->Draw(6, 6, pic.get());
    EXPECT_EQ(PixelOf(dst.get(), 6, 6), clGreen);
    EXPECT_EQ(PixelOf(dst.get(), 9, 9), clBlue);
    // A fixed colour wins over the automatic one.
    pic->SetTransparentColor(clBlue);
    EXPECT_EQ(pic->TransparentMode(), tmFixed);
    dst->Canvas()->Draw(0, 6, pic.get());
    EXPECT_EQ(PixelOf(dst.get(), 2, 8), clGreen);
    EXPECT_EQ(PixelOf(dst.get(), 0, 6), clFuchsia);
    pic->SetTransparentMode(tmAuto);
    EXPECT_EQ(pic->TransparentColor(), clFuchsia);
}

TEST(Bitmap, AssignMakesAnIndependentCopy) {
    Bmp a(MakeBitmap(3, 3, clRed, pf32bit));
    static_cast<uint8_t*>(a->ScanLine(0))[3] = 77;
    a->SetTransparent(true);
    Bmp b(new TBitmap);
    b->Assign(a.get());
    EXPECT_EQ(b->PixelFormat(), pf32bit);
    EXPECT_TRUE(b->Transparent());
    EXPECT_EQ(AlphaOf(b.get(), 0, 0), 77);
    b->Canvas()->SetPixels(1, 1, clBlue);
    EXPECT_EQ(PixelOf(a.get(), 1, 1), clRed);
    EXPECT_NE(a->Handle(), b->Handle());
    b->Assign(nullptr);
    EXPECT_TRUE(b->Empty());
    // A bitmap cannot take a font.
    TFont f;
    EXPECT_THROW(a->Assign(&f), EConvertError);
}

TEST(Bitmap, OnChangeFiresForCanvasDrawing) {
    Bmp b(MakeBitmap(2, 2, clWhite));
    int changes = 0;
    b->OnChange = TNotifyEvent::Fn(&changes, [](void* n, TObject*) { ++*static_cast<int*>(n); });
    b->Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_GE(changes, 1);
    const int before = changes;
    b->SetSize(2, 2);  // unchanged: no event
    EXPECT_EQ(changes, before);
}

TEST(Bitmap, AdoptsAForeignDIBSection) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    static_cast<uint32_t*>(bits)[0] = 0x800000FF;  // top-left: blue, alpha 0x80
    Bmp b(new TBitmap);
    b->SetHandle(h);
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(b->Height(), 2);
    EXPECT_EQ(b->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), clBlue);
    EXPECT_EQ(AlphaOf(b.get(), 0, 0), 0x80);
    EXPECT_EQ(b->ReleaseHandle(), h);
    EXPECT_TRUE(b->Empty());
    DeleteObject(h);
}
