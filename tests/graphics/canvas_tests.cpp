#include <gtest/gtest.h>

#include <memory>

#include "gfx_test_util.h"

using Bmp = std::unique_ptr<TBitmap>;

TEST(Canvas, ShapesUsePenForOutlineAndBrushForInside) {
    Bmp b(MakeBitmap(40, 30, clWhite));
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(5, 5, 25, 20);
    EXPECT_EQ(PixelOf(b.get(), 5, 5), clRed);
    EXPECT_EQ(PixelOf(b.get(), 24, 19), clRed);   // right and bottom edges are inside
    EXPECT_EQ(PixelOf(b.get(), 25, 20), clWhite);
    EXPECT_EQ(PixelOf(b.get(), 15, 12), clBlue);
    // A clear brush leaves the inside alone; a clear pen draws no outline.
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clLime);
    c->Rectangle(0, 0, 40, 30);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), clLime);
    EXPECT_EQ(PixelOf(b.get(), 15, 12), clBlue);
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clYellow);  // a colour makes the clear brush solid again
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    c->Ellipse(10, 8, 22, 18);
    EXPECT_EQ(PixelOf(b.get(), 16, 13), clYellow);
    EXPECT_EQ(PixelOf(b.get(), 10, 8), clBlue);  // corner outside the ellipse
}

TEST(Canvas, LinesPolygonsPixelsAndPenPosition) {
    Bmp b(MakeBitmap(30, 30, clBlack));
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clWhite);
    c->MoveTo(2, 2);
    c->LineTo(12, 2);
    EXPECT_EQ(c->PenPos(), Point(12, 2));
    EXPECT_EQ(CountNot(b.get(), Rect(2, 2, 12, 3), clWhite), 0);
    EXPECT_EQ(PixelOf(b.get(), 12, 2), clBlack);  // the end point is not drawn
    const TPoint tri[] = {{5, 10}, {25, 10}, {15, 28}};
    c->Brush()->SetColor(clFuchsia);
    c->Pen()->SetColor(clFuchsia);
    c->Polygon(tri, 3);
    EXPECT_EQ(PixelOf(b.get(), 15, 15), clFuchsia);
    EXPECT_EQ(PixelOf(b.get(), 5, 27), clBlack);
    c->SetPixels(1, 29, RGBColor(1, 2, 3));
    EXPECT_EQ(c->Pixels(1, 29), RGBColor(1, 2, 3));
    EXPECT_EQ(PixelOf(b.get(), 1, 29), RGBColor(1, 2, 3));
    // XOR twice puts the picture back.
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    for (int k = 0; k < 2; ++k) {
        c->MoveTo(0, 20);
        c->LineTo(30, 20);
        EXPECT_EQ(PixelOf(b.get(), 15, 20), k == 0 ? RGBColor(0, 255, 0) : clFuchsia);
    }
}

TEST(Canvas, SystemColoursAreResolved) {
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    Bmp b(MakeBitmap(4, 4, clWindowText));
    EXPECT_EQ(PixelOf(b.get(), 1, 1), static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT)));
}

// Russian text goes through the W entry points: it must look different from
// the same number of question marks, and it must paint only inside its extent.
TEST(Canvas, RussianTextIsDrawnInsideItsExtent) {
    const AnsiString ru = "Выход";  // CP1251 bytes in this tree
    ASSERT_EQ(ru.size(), 5u);
    auto render = [](const AnsiString& s, TSize* ext) {
        Bmp b(MakeBitmap(200, 60, clWhite));
        TCanvas* c = b->Canvas();
        c->Font()->SetName("Arial");
        c->Font()->SetHeight(-24);
        c->Font()->SetColor(clBlack);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(10, 10, s);
        *ext = c->TextExtent(s);
        std::vector<TColor> px;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) px.push_back(PixelOf(b.get(), x, y));
        return px;
    };
    TSize e1, e2;
    const auto a = render(ru, &e1);
    const auto q = render("?????", &e2);
    EXPECT_NE(a, q);
    ASSERT_GT(e1.cx, 20);
    ASSERT_GT(e1.cy, 15);
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            if (a[y * 200 + x] == clWhite) continue;
            const bool in = x >= 10 && x < 10 + e1.cx + 2 && y >= 10 && y < 10 + e1.cy;
            (in ? inside : outside)++;
        }
    EXPECT_GT(inside, 30);
    EXPECT_EQ(outside, 0);
    // Bold text is wider; changing the font between calls takes effect.
    Bmp b(MakeBitmap(10, 10, clWhite));
    b->Canvas()->Font()->SetName("Arial");
    b->Canvas()->Font()->SetHeight(-24);
    const int plain = b->Canvas()->TextWidth(ru);
    b->Canvas()->Font()->SetStyle(FontStyleBit(fsBold));
    EXPECT_GT(b->Canvas()->TextWidth(ru), plain);
    b->Canvas()->Font()->SetSize(30);
    EXPECT_EQ(b->Canvas()->Font()->Size(), 30);
    EXPECT_EQ(b->Canvas()->Font()->Height(), -MulDiv(30, GetDeviceCaps(b->Canvas()->Handle(), LOGPIXELSY), 72));
}

TEST(Canvas, OpaqueTextAndTextRectClipping) {
    Bmp b(MakeBitmap(120, 40, clWhite));
    TCanvas* c = b->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-20);
    c->Font()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);  // a solid brush paints behind the text
    c->TextOut(2, 2, "\xC4\xCE\xCC");  // ДОМ
    EXPECT_EQ(PixelOf(b.get(), 3, 3), clYellow);
    // TextRect fills R with the brush and clips the text to it.
    c->Brush()->SetColor(clAqua);
    c->TextRect(Rect(80, 10, 100, 30), 70, 10, "WWWWWWW");
    EXPECT_EQ(PixelOf(b.get(), 99, 29), clAqua);
    EXPECT_GT(CountNot(b.get(), Rect(80, 10, 100, 30), clAqua), 10);  // some text
    EXPECT_EQ(CountNot(b.get(), Rect(60, 10, 80, 30), clWhite), 0);
    EXPECT_EQ(CountNot(b.get(), Rect(100, 10, 120, 30), clWhite), 0);
}

TEST(Canvas, WrapsAForeignDCAndPutsItsObjectsBack) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBmp = SelectObject(dc, dib);
    HGDIOBJ font0 = GetCurrentObject(dc, OBJ_FONT), pen0 = GetCurrentObject(dc, OBJ_PEN),
            brush0 = GetCurrentObject(dc, OBJ_BRUSH);
    {
        TCanvas c;
        c.SetHandle(dc);
        c.Brush()->SetColor(clRed);
        c.Pen()->SetColor(clRed);
        c.Rectangle(0, 0, 8, 8);
        c.TextOut(0, 0, "x");
        EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), brush0);
        GdiFlush();
        EXPECT_EQ(static_cast<uint32_t*>(bits)[4 * 8 + 4] & 0xFFFFFF, 0xFF0000u);  // BGRA: red
        c.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen0);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush0);
        EXPECT_THROW(c.FillRect(Rect(0, 0, 1, 1)), EInvalidGraphicOperation);  // no DC of its own
    }
    SelectObject(dc, oldBmp);
    DeleteObject(dib);
    DeleteDC(dc);
}

TEST(Canvas, CopyRectAndStretchDraw) {
    Bmp src(MakeBitmap(4, 4, clBlue));
    src->Canvas()->Brush()->SetColor(clRed);
    src->Canvas()->FillRect(Rect(0, 0, 2, 2));
    Bmp dst(MakeBitmap(20, 20, clWhite));
    dst->Canvas()->CopyRect(Rect(10, 10, 14, 14), src->Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(PixelOf(dst.get(), 10, 10), clRed);
    EXPECT_EQ(PixelOf(dst.get(), 13, 13), clBlue);
    EXPECT_EQ(PixelOf(dst.get(), 9, 9), clWhite);
    dst->Canvas()->StretchDraw(Rect(0, 0, 8, 8), src.get());  // doubled
    EXPECT_EQ(CountNot(dst.get(), Rect(0, 0, 4, 4), clRed), 0);
    EXPECT_EQ(CountNot(dst.get(), Rect(4, 4, 8, 8), clBlue), 0);
    dst->Canvas()->Draw(16, 0, src.get());
    EXPECT_EQ(PixelOf(dst.get(), 17, 1), clRed);
    EXPECT_EQ(PixelOf(dst.get(), 19, 3), clBlue);
}

TEST(Canvas, ManyBitmapCanvasesStayUsable) {
    // More memory DCs than the canvas keeps alive at once: the oldest are
    // given back and made again when drawn on.
    std::vector<Bmp> all;
    for (int i = 0; i < 300; ++i) {
        all.emplace_back(MakeBitmap(2, 2, RGBColor(uint8_t(i), 0, 0)));
    }
    for (int i = 0; i < 300; ++i) {
        all[i]->Canvas()->SetPixels(1, 1, clLime);
        EXPECT_EQ(PixelOf(all[i].get(), 0, 0), RGBColor(uint8_t(i), 0, 0));
        EXPECT_EQ(PixelOf(all[i].get(), 1, 1), clLime);
    }
}
