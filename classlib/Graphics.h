// Graphics of the class library: colours, fonts, pens, brushes, canvases over
// device contexts, and the picture classes (bitmaps on DIB sections, icons,
// the picture holder with its registry of picture classes).
#pragma once

#include <windows.h>
// The canvas has a TextOut of its own; the W entry point is called by name.
#undef TextOut

#include <memory>
#include <cstdint>
#include <vector>

#include "BmpCodec.h"
#include "Persistent.h"
#include "Streams.h"
#include "Types.h"

class TCanvas;
class TGraphic;
class TBitmap;

// Bad picture data raises EInvalidGraphic (RunTime.h).
// An operation a picture cannot do in its state (scan line out of range,
// resizing an icon, no device context, ...).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

struct TSize {
    int cx = 0, cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// ---------------------------------------------------------------- colours

// Resolves a system colour (negative value) to its current RGB value; any
// other value (clNone, clDefault included) is returned as it is.
TColor ColorToRGB(TColor Color);
constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr uint8_t GetRValue32(TColor c) { return uint8_t(c); }
constexpr uint8_t GetGValue32(TColor c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue32(TColor c) { return uint8_t(c >> 16); }

// ---------------------------------------------------------------- enumerations

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// Set of TFontStyle: bit (1 << style).
using TFontStyles = uint8_t;
constexpr TFontStyles FontStyleBit(TFontStyle s) { return TFontStyles(1u << s); }
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Raster operation of CopyRect and of bitmap drawing.
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                    cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT,
                    cmSrcAnd = SRCAND, cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE,
                    cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;

// TPixelFormat (pfDevice, pf1bit .. pf32bit) is in Types.h.
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// ---------------------------------------------------------------- font, pen, brush

// Base of fonts, pens and brushes: OnChange after every real change.
class TGraphicsObject : public TPersistent {
public:
    const char* ClassName() const override { return "TGraphicsObject"; }
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    // Changed() for an object that owns a GDI handle: the handle is made again
    // on next use; listeners (canvases) deselect the old one before it is deleted.
    template <class H>
    void ChangedDroppingHandle(H& Handle) {
        H old = Handle;
        Handle = nullptr;
        TGraphicsObject::Changed();
        if (old) DeleteObject(old);
    }
};

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    const char* ClassName() const override { return "TFont"; }
    void Assign(TPersistent* Source) override;

    const AnsiString& Name() const { return FName; }
    virtual void SetName(const AnsiString& v);
    // Height in pixels: negative is the character height, positive the cell height.
    int Height() const { return FHeight; }
    virtual void SetHeight(int v);
    // Size in points, derived from Height and PixelsPerInch.
    int Size() const;
    virtual void SetSize(int v);
    TColor Color() const { return FColor; }
    virtual void SetColor(TColor v);
    TFontStyles Style() const { return FStyle; }
    virtual void SetStyle(TFontStyles v);
    TFontCharset Charset() const { return FCharset; }
    virtual void SetCharset(TFontCharset v);
    TFontPitch Pitch() const { return FPitch; }
    virtual void SetPitch(TFontPitch v);
    // Angle of the text base line in tenths of a degree.
    int Orientation() const { return FOrientation; }
    virtual void SetOrientation(int v);
    // Screen resolution used between Size and Height (the screen's, 96 by default).
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v) { FPixelsPerInch = v > 0 ? v : 96; }

    // The font object, created on first use and again after a change; owned
    // by this TFont (callers must not delete it).
    HFONT Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The logical font that Handle would create.
    LOGFONTW LogFont() const;

protected:
    void Changed() override;

private:
    AnsiString FName;
    int FHeight;
    TColor FColor;
    TFontStyles FStyle = 0;
    TFontCharset FCharset;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
    int FPixelsPerInch;
    HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;
    const char* ClassName() const override { return "TPen"; }
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor v);
    int Width() const { return FWidth; }
    virtual void SetWidth(int v);
    TPenStyle Style() const { return FStyle; }
    virtual void SetStyle(TPenStyle v);
    // Mix mode (binary raster operation) the canvas uses with this pen.
    TPenMode Mode() const { return FMode; }
    virtual void SetMode(TPenMode v);

    HPEN Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }

protected:
    void Changed() override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    HPEN FHandle = nullptr;
};

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;
    const char* ClassName() const override { return "TBrush"; }
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    // Setting a colour on a clear brush makes it solid.
    virtual void SetColor(TColor v);
    TBrushStyle Style() const { return FStyle; }
    virtual void SetStyle(TBrushStyle v);
    // Pattern bitmap (not owned; nullptr for none). While set, it wins over Style.
    TBitmap* Bitmap() const { return FBitmap; }
    virtual void SetBitmap(TBitmap* v);

    HBRUSH Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }

protected:
    void Changed() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle = nullptr;
};

// ---------------------------------------------------------------- canvas

// Drawing surface over a device context. A plain TCanvas wraps a DC handed to
// it (SetHandle); derived canvases make their own (bitmap canvases a memory
// DC). Font, pen and brush are selected lazily before each drawing call and
// the DC's original objects are put back when the handle is released.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    const char* ClassName() const override { return "TCanvas"; }

    // The DC, created by CreateHandle when there is none; raises
    // EInvalidGraphicOperation "Canvas does not allow drawing" when none can be had.
    HDC Handle();
    // Wraps a foreign DC (not owned); 0 releases the current one.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() { return FFont.get(); }
    TPen* Pen() { return FPen.get(); }
    TBrush* Brush() { return FBrush.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }

    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode v) { FCopyMode = v; }
    // ExtTextOut options used by TextOut and TextRect (ETO_...).
    int TextFlags() const { return FTextFlags; }
    void SetTextFlags(int v) { FTextFlags = v; }

    TPoint PenPos();
    void SetPenPos(const TPoint& p);
    TRect ClipRect();

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Polygon(const TPoint* Points, int Count);
    void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), int(Points.size())); }
    void Polyline(const TPoint* Points, int Count);
    void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), int(Points.size())); }

    // Text is Windows-1251; drawn with the font's colour, over the brush colour
    // unless the brush is clear. TextOut moves the pen position to the end
    // of the text.
    void TextOut(int X, int Y, const AnsiString& Text);
    // Text at (X, Y) clipped to R (and R filled with the brush unless clear).
    void TextRect(const TRect& R, int X, int Y, const AnsiString& Text);
    TSize TextExtent(const AnsiString& Text);
    int TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
    int TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }

    // Pictures: Draw at the picture's own size, StretchDraw into R.
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    // Copies Source of another canvas into Dest with CopyMode, stretching
    // when the sizes differ.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Color);

    // Lock keeps a bitmap canvas's memory DC from being reclaimed while in use.
    void Lock() { ++FLockCount; }
    void Unlock() { if (FLockCount > 0) --FLockCount; }
    bool TryLock() { Lock(); return true; }
    int LockCount() const { return FLockCount; }

    // Forgets what is selected, so the next drawing call selects again.
    void Refresh();

    TNotifyEvent OnChange, OnChanging;

protected:
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();
    // Puts the DC's own objects back (before the DC is released or deleted).
    void DeselectHandles();
    enum : unsigned { kHandleValid = 1, kFontValid = 2, kPenValid = 4, kBrushValid = 8 };
    void RequiredState(unsigned state);

private:
    void FontChanged(TObject*);
    void PenChanged(TObject*);
    void BrushChanged(TObject*);

    HDC FHandle = nullptr;
    unsigned FState = 0;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    int FTextFlags = 0;
    int FLockCount = 0;
    HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
};

// A canvas on a foreign device context for one scope (a paint, a measure): it
// lets go of the DC at the end of the scope, thrown or not; with Owner given,
// the DC is then released to that window too (nullptr: the screen's DC).
class TCanvasDCScope {
public:
    TCanvasDCScope(TCanvas* Canvas, HDC DC) : FCanvas(Canvas) { FCanvas->SetHandle(DC); }
    TCanvasDCScope(TCanvas* Canvas, HDC DC, HWND Owner) : FCanvas(Canvas), FDC(DC), FOwner(Owner), FRelease(true) {
        FCanvas->SetHandle(DC);
    }
    ~TCanvasDCScope() {
        FCanvas->SetHandle(nullptr);
        if (FRelease) ReleaseDC(FOwner, FDC);
    }
    TCanvasDCScope(const TCanvasDCScope&) = delete;
    TCanvasDCScope& operator=(const TCanvasDCScope&) = delete;

private:
    TCanvas* FCanvas;
    HDC FDC = nullptr;
    HWND FOwner = nullptr;
    bool FRelease = false;
};

// ---------------------------------------------------------------- pictures

// Makes a new empty picture of one class: the registry's "virtual constructor".
// A registered picture class also states its name without an instance
// (StaticClassName, what its ClassName answers).
using TGraphicClass = TGraphic* (*)();
// How far a picture's load or conversion has come: the stage, the percent
// done, whether R (the part now ready) should be shown at once, a message.
using TProgressEvent = Method<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                                   const TRect& R, const AnsiString& Msg)>;
template <class T>
TGraphic* NewGraphic() {
    return new T;
}

// Abstract picture.
class TGraphic : public TPersistent {
public:
    const char* ClassName() const override { return "TGraphic"; }

    // Draws the picture into R of the canvas (stretched when R differs in size).
    virtual void Draw(TCanvas* ACanvas, const TRect& R) = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual void SetHeight(int v) = 0;
    virtual void SetSize(int AWidth, int AHeight);
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);

    // The picture's own file format.
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    // How the picture is kept in form data; by default the file format itself.
    virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
    virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    // A new empty picture of this object's class.
    virtual TGraphic* NewInstance() const = 0;

    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Marks the picture modified and fires OnChange.
    virtual void Changed(TObject* Sender);
    // Fires OnProgress.
    virtual void Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                          const AnsiString& Msg);
    bool FTransparent = false;
    bool FModified = false;
};

// A bottom-up DIB section of the layout; a paletted one takes the palette
// (blue | green << 8 | red << 16, at most 2^bits entries) as its colour table.
// Null (and nothing left over) when the system refuses; Bits is then null.
HBITMAP CreateDibSection(int Width, int Height, const DibLayout& Layout, const std::vector<uint32_t>& Palette,
                         void*& Bits);

// Bitmap on a DIB section (bmDIB, any PixelFormat but pfDevice) or on a
// device-dependent bitmap (bmDDB, PixelFormat pfDevice). Changing the pixel
// format or handle type converts the pixels. 32-bit pixels are blue, green,
// red, alpha (straight alpha); a conversion from a format without alpha gives
// alpha 0. The 8-bit format has a grey palette (index n is grey n), so grey
// values survive a trip through the device format and back; 4-bit has the
// 16 standard colours, 1-bit black and white.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    static constexpr const char StaticClassName[] = "TBitmap";
    const char* ClassName() const override { return StaticClassName; }

    // From another bitmap: a copy of its pixels, format and transparency.
    // nullptr empties this bitmap.
    void Assign(TPersistent* Source) override;
    // Transparent: TransparentBlt with TransparentColor; else BitBlt (same
    // size) or StretchBlt, with the canvas's CopyMode.
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // Resizing keeps the pixels that still fit at the top left; new pixels are 0.
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    void SetSize(int AWidth, int AHeight) override;

    // A BMP file: core, info, V4 and V5 headers; 1, 4, 8 bits (also RLE), 16,
    // 24 and 32 bits (bit fields too; the fourth byte of 32-bit pixels is
    // kept as alpha). Bad data raises EInvalidGraphic and leaves the bitmap as
    // it was. Saving writes an info header in the bitmap's format.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // Form data: uint32 little-endian size, then a BMP file of that size. Not
    // routed through the virtual LoadFromStream/SaveToStream.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    TGraphic* NewInstance() const override { return new TBitmap; }

    // Bitmap of an RT_BITMAP resource of the module (0: the program);
    // EResNotFound "Resource X not found" when absent.
    void LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName);

    // Canvas with a memory DC in which the bitmap is selected.
    TCanvas* Canvas();

    // The bitmap handle (0 while empty); owned by this object.
    HBITMAP Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Takes ownership of Value (DIB section or DDB) and adopts its format.
    void SetHandle(HBITMAP Value);
    // Gives up the handle to the caller; the bitmap becomes empty.
    HBITMAP ReleaseHandle();

    TBitmapHandleType HandleType() const { return FDDB ? bmDDB : bmDIB; }
    // bmDDB converts to pfDevice; bmDIB converts a DDB to the screen's depth
    // (pf32bit on a true-colour screen).
    virtual void SetHandleType(TBitmapHandleType v);
    TPixelFormat PixelFormat() const { return FDDB ? pfDevice : FPixelFormat; }
    virtual void SetPixelFormat(TPixelFormat v);

    // First byte of row Row, counted from the top of the picture; rows of a
    // bottom-up DIB lie downwards in memory (ScanLine(1) < ScanLine(0)). A DDB
    // is first turned into a DIB. Raises EInvalidGraphicOperation
    // "Scan line index out of range" for a row outside 0..Height-1.
    void* ScanLine(int Row);
    // Bytes per row (rows are padded to 4 bytes); 0 for a DDB or empty bitmap.
    int RowBytes() const;
    // A roomy DIB keeps a section larger than its size, so that size changes
    // within it (a window's image while the window is dragged to a new size)
    // touch no fresh memory, which costs more than painting the image. Its
    // size changes keep the pixels and clear the new ones as SetSize does;
    // Handle() and ReleaseHandle() may give a bitmap larger than Width x Height.
    void SetRoomy(bool v) { FRoomy = v; }

    // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
    TColor TransparentColor();
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode v);

protected:
    void Changed(TObject* Sender) override;

private:
    friend class TBitmapCanvas;
    void FreeContents();
    void Recreate(int w, int h, TPixelFormat pf, bool ddb, bool keepPixels,
                  const std::vector<uint32_t>* palette = nullptr);
    void AdoptHandle(HBITMAP h);
    void CanvasHandleChanging();
    void LoadBmpBytes(const uint8_t* data, size_t size);
    std::vector<uint8_t> EncodeBmpBytes();
    std::vector<uint8_t> ReadBGRA();  // top-down rows, 4 bytes a pixel
    void WriteBGRA(const std::vector<uint8_t>& px);
    uint8_t* RowAddress(int row) const;
    void MoveToSection(int w, int h, int SW, int SH);
    void TakeSize(int w, int h);
    bool ResizeInRoom(int w, int h);

    int FWidth = 0, FHeight = 0;
    int FStoreWidth = 0, FStoreHeight = 0;  // of the DIB section: more than the size when roomy
    bool FRoomy = false;
    TPixelFormat FPixelFormat = pf24bit;  // format of the DIB when not a DDB
    bool FDDB = true;
    HBITMAP FHandle = nullptr;
    uint8_t* FBits = nullptr;  // DIB section pixels
    int FStride = 0;
    bool FTopDown = false;
    std::vector<uint32_t> FPalette;  // colour table of a paletted DIB
    std::unique_ptr<TCanvas> FCanvas;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

// Icon (HICON). Loaded from an icon file, a resource or a handle; drawn with
// its mask, at the size of the target rectangle.
class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;
    static constexpr const char StaticClassName[] = "TIcon";
    const char* ClassName() const override { return StaticClassName; }
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    bool Empty() const override { return FHandle == nullptr && FData.empty(); }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // Size to pick from an icon file holding several images; set it before
    // loading. Raises EInvalidGraphicOperation once an image is loaded.
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    bool Transparent() const override { return true; }

    // An icon file (.ico); the image nearest the requested size is used and
    // the file is kept for saving. Bad data raises EInvalidGraphic.
    void LoadFromStream(TStream* Stream) override;
    // Writes the icon file it was loaded from, or one made from the handle.
    void SaveToStream(TStream* Stream) override;
    TGraphic* NewInstance() const override { return new TIcon; }

    // RT_GROUP_ICON resource of the module (0: the program); EResNotFound
    // "Resource X not found" when absent.
    void LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResId);

    HICON Handle() const { return FHandle; }
    // Takes ownership.
    void SetHandle(HICON Value);
    HICON ReleaseHandle();
    // An icon of the given size made from the same file or resource (for the
    // small window icon); owned by this object, 0 when none can be made.
    HICON HandleOfSize(int w, int h);

private:
    void Clear();
    void AdoptHandle(HICON h, bool keepData);
    HICON FHandle = nullptr;
    int FWidth = 0, FHeight = 0;
    int FRequestedW = 0, FRequestedH = 0;
    std::vector<uint8_t> FData;  // icon file, when loaded from one
    HINSTANCE FResInstance = nullptr;
    std::wstring FResName;       // resource, when loaded from one
    HICON FSized = nullptr;
    int FSizedW = 0, FSizedH = 0;
};

// Holder of one picture of any registered class, as TImage and forms keep
// it. The picture classes are registered by file extension (LoadFromFile)
// and by class name (form data). TBitmap ("bmp") and TIcon ("ico") are
// registered from the start, TJPEGImage ("jpg", "jpeg") by the class
// library's start-up step (UnitInit.h).
class TPicture : public TPersistent {
public:
    TPicture() = default;
    ~TPicture() override;
    const char* ClassName() const override { return "TPicture"; }

    // From a TPicture or a TGraphic: this picture holds a copy of it
    // (nullptr: no picture).
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic; }
    // Holds a copy of Value (a new picture of its class); nullptr clears.
    void SetGraphic(TGraphic* Value);
    // The held picture as a bitmap; a picture of any other class (or none)
    // is first replaced by an empty TBitmap.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // Picks the class by the file's extension; EInvalidGraphic
    // "Unknown picture file extension (.xyz)" when none is registered.
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    // Form data: one length byte, the class name, then that class's
    // ReadData. A length of 0 means no picture. Unknown classes raise
    // EInvalidGraphic "Unknown picture class X"; on any failure the picture
    // keeps what it held.
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);

    // Each picture unit registers its classes in its own start-up step.
    template <class T>
    static void RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description) {
        RegisterFileFormat(Extension, Description, &NewGraphic<T>, T::StaticClassName);
    }
    static void RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description,
                                   TGraphicClass GraphicClass, const AnsiString& ClassName);
    // Removes every extension of that class and its class-name entry.
    static void UnregisterFileFormat(TGraphicClass GraphicClass);
    // Known by class name only (for form data).
    template <class T>
    static void RegisterGraphicClass() {
        RegisterGraphicClass(&NewGraphic<T>, T::StaticClassName);
    }
    static void RegisterGraphicClass(TGraphicClass GraphicClass, const AnsiString& ClassName);
    static TGraphicClass FindGraphicClass(const AnsiString& ClassName);
    static TGraphicClass FindFileFormat(const AnsiString& Extension);

    TNotifyEvent OnChange;
    // The held picture's progress, passed on.
    TProgressEvent OnProgress;

protected:
    virtual void Changed(TObject* Sender);
    virtual void Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                          const AnsiString& Msg);

private:
    void Take(TGraphic* g);
    TGraphic* FGraphic = nullptr;
};
