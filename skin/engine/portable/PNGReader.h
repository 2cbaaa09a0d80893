// PNG reader of the alpha picture class: reads from a byte source and writes
// the decoded scan lines into a pixel view that the picture's owner supplies.
// Colour pictures come out as 24-bit BGR, colour pictures with alpha as 32-bit
// BGRA (straight alpha), grey and indexed pictures as 1-, 4- or 8-bit pixels
// with a palette, exactly as the picture class stores them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "ColorManager.h"
#include "GraphicErrors.h"
#include "LZ77Decoder.h"
#include "RunTime.h"
#include "Types.h"

// Where the PNG data come from. ReadBuffer fails (throws) on a short read.
class TPNGSource {
public:
    virtual ~TPNGSource() = default;
    virtual void ReadBuffer(void* Buffer, size_t Count) = 0;
    virtual int64_t Position() = 0;
    virtual void SetPosition(int64_t Value) = 0;
    // -1 when the size is not known.
    virtual int64_t Size() = 0;
};

// A source over bytes in memory; reading past the end raises EReadError.
class TPNGMemorySource : public TPNGSource {
public:
    TPNGMemorySource(const void* Data, size_t Size) : FData(static_cast<const uint8_t*>(Data)), FSize(Size) {}
    void ReadBuffer(void* Buffer, size_t Count) override;
    int64_t Position() override { return int64_t(FPos); }
    void SetPosition(int64_t Value) override;
    int64_t Size() override { return int64_t(FSize); }

private:
    const uint8_t* FData;
    size_t FSize, FPos = 0;
};

// Scan lines of a picture: line y starts at Bits + y * Stride, so a bottom-up
// bitmap gives the address of its top line and a negative stride.
struct TPixelView {
    uint8_t* Bits = nullptr;
    ptrdiff_t Stride = 0;
    uint32_t Width = 0, Height = 0;
    TPixelFormat PixelFormat = pfCustom;
    uint8_t* ScanLine(uint32_t Y) const { return Bits + ptrdiff_t(Y) * Stride; }
};

// What the picture has to provide room for, known before the first row.
struct TPNGLayout {
    uint32_t Width = 0, Height = 0;
    TPixelFormat PixelFormat = pfCustom;  // pf1bit, pf4bit, pf8bit, pf24bit or pf32bit
    TPaletteEntries Palette;              // 2, 16 or 256 entries for the indexed formats
    TColor BackgroundColor = clWhite;     // fill of pixels the image data do not reach
    TColor TransparentColor = clNone;     // clNone: the picture is not Transparent
};

// The picture side of a load. Allocate may fail by throwing (for example when
// the bitmap cannot be made); the reader then frees everything and passes the
// exception on.
class TPNGTarget {
public:
    virtual ~TPNGTarget() = default;
    virtual TPixelView Allocate(const TPNGLayout& Layout) = 0;
    virtual void Progress(TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                          const AnsiString& Msg) {}
};

// A picture in memory, top-down, lines padded to 4 bytes. Refuses pictures
// above MaxBytes with EOutOfMemory.
class TPNGMemoryTarget : public TPNGTarget {
public:
    explicit TPNGMemoryTarget(uint64_t MaxBytes = uint64_t(1) << 30) : FMaxBytes(MaxBytes) {}
    TPixelView Allocate(const TPNGLayout& Layout) override;
    const TPNGLayout& Layout() const { return FLayout; }
    const TPixelView& View() const { return FView; }
    bool Allocated() const { return FView.Bits != nullptr; }
    // The colour of a pixel as red, green, blue, alpha (255 unless 32-bit).
    void PixelRGBA(uint32_t X, uint32_t Y, uint8_t Out[4]) const;

private:
    uint64_t FMaxBytes;
    TPNGLayout FLayout;
    TPixelView FView;
    std::vector<uint8_t> FPixels;
};

struct TPNGImageProperties {
    uint8_t Options = 0;  // bit 0: header read; bit 1: the file gives a gamma
    uint32_t Width = 0, Height = 0;
    TColorScheme ColorScheme = csUnknown;
    uint8_t BitsPerSample = 0, SamplesPerPixel = 0, BitsPerPixel = 0;
    uint8_t Compression = 0;  // 0 unknown, 2 deflate
    float FileGamma = 1.0f;
    bool Interlaced = false, HasAlpha = false;
    uint8_t FilterMode = 0;
    uint8_t ColorType = 0;  // the header's colour type byte
};

// One pass of the interlaced layout, or the whole picture (0, 1, 0, 1, 0xFF).
struct TAdam7Pass {
    uint8_t FirstRow, RowStep, FirstColumn, ColumnStep, Mask;
};

uint8_t PaethPredict(uint8_t A, uint8_t B, uint8_t C);
void BuildCrc32Table();
// Continues Crc over the bytes; no bytes leave it unchanged.
uint32_t UpdateCrc32(uint32_t Crc, const void* Data, size_t Length);

class TPNGReader {
public:
    // The colour manager belongs to the picture; every load resets it.
    explicit TPNGReader(TColorManager& ColorManager);
    ~TPNGReader();
    TPNGReader(const TPNGReader&) = delete;
    TPNGReader& operator=(const TPNGReader&) = delete;

    // Checks the signature and header and fills ImageProperties; the stream is
    // left wherever the check stopped.
    bool ReadImageProperties(TPNGSource& Stream);
    // Reads a PNG from the stream's position; on success the stream stands
    // just after IEND.
    void LoadFromStream(TPNGSource& Stream, TPNGTarget& Target);

    TPNGImageProperties ImageProperties;
    TColor BackgroundColor = clWhite;
    TColor TransparentKey = clNone;

    // Reverses one row filter in place; a null Previous counts as zeros.
    static void Unfilter(uint8_t Filter, uint8_t* Row, const uint8_t* Previous, unsigned BytesPerPixel,
                         size_t Length);
    // Reverses the filters of two consecutive rows: Row0 against Previous
    // (not null), then Row1 against Row0.
    static void UnfilterTwo(uint8_t Filter0, uint8_t Filter1, uint8_t* Row0, uint8_t* Row1, const uint8_t* Previous,
                            unsigned BytesPerPixel, size_t Length);
    // The same byte by byte, without vector instructions: the path of
    // processors without them, and what the vector path must equal.
    static void UnfilterPlain(uint8_t Filter, uint8_t* Row, const uint8_t* Previous, unsigned BytesPerPixel,
                              size_t Length);

private:
    void ReadChunkHeader();
    // Reads the chunk's data to Offset in the chunk buffer and checks its CRC.
    void ReadChunkData(size_t Offset = 0);
    bool IsChunk(const char* Type) const;
    void SkipChunk();
    void SetupColorDepth();
    void ReadImageData();
    void DecodePass(const TAdam7Pass& Pass);
    // Moves Y to the pass's next row and reports the progress.
    void RowDecoded(const TAdam7Pass& Pass, uint32_t& Y);
    // Inflates up to Size bytes of whole rows; a failure is kept in FPending
    // and what was produced before it is returned.
    size_t InflateRows(uint8_t* Dest, size_t Size, size_t RowBytes);
    // Joins the data of the IDAT chunks from the current one on; false when
    // there are none. A chunk that fails to read ends the run, its failure
    // kept in FInputError for when the input before it is used up.
    bool GatherImageData();
    bool MoreDataAfterStreamEnd() const;
    void ReadPalette();
    void ReadGamma();
    void ReadBackground();
    void ReadTransparency();
    void FillBackground(uint32_t FirstRow, uint32_t EndRow);
    void Progress(TProgressStage Stage, uint8_t Percent, bool RedrawNow, const char* Msg);
    void ParseHeader(const uint8_t* Data);
    void Cleanup() noexcept;

    TColorManager& FColorManager;
    TPNGSource* FStream = nullptr;
    TPNGTarget* FTarget = nullptr;
    int64_t FStreamBase = 0;
    TRect FProgressRect;
    std::unique_ptr<TLZ77Decoder> FDecoder;
    std::vector<uint8_t> FChunkBuffer;
    // The gathered image data: unread input, and where each chunk's data end.
    const uint8_t* FIdatCursor = nullptr;
    const uint8_t* FIdatEnd = nullptr;
    std::vector<size_t> FChunkEnds;
    std::exception_ptr FInputError;
    uint32_t FInputErrorLength = 0;  // of the chunk whose read failed
    std::unique_ptr<uint8_t[]> FRowBuffer;
    size_t FRowBufferSize = 0;
    uint32_t FRowsDone = 0;  // rows completely decoded (not interlaced)
    uint32_t FChunkLength = 0;
    char FChunkType[4] = {};
    uint32_t FRunningCrc = 0;
    unsigned FFilterBytes = 0;
    bool FSetupDone = false, FImageDone = false, FStreamEnded = false, FDataEnded = false;
    TPixelFormat FPixelFormat = pfDevice;
    TPaletteEntries FPalette;
    // Key colour from tRNS before gamma; clNone when none.
    TColor FRawKey = clNone;
    TPixelView FView;
    std::exception_ptr FPending;
};
