// Thin object around one zlib inflate stream: the caller feeds compressed
// input piece by piece and asks for output of any size.
#pragma once

#include <zlib.h>

#include <cstdint>

#include "GraphicErrors.h"

class TLZ77Decoder {
public:
    TLZ77Decoder(int FlushMode, bool AutoReset);
    // Ends a stream that was started and never finished; never throws.
    ~TLZ77Decoder();
    TLZ77Decoder(const TLZ77Decoder&) = delete;
    TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

    void Start();
    // Inflates from Source (InputSize bytes) into Dest (OutputSize bytes) and
    // advances both addresses. Once a call returned a non-zero result, later
    // calls inflate nothing unless AutoReset is set.
    void InflateBlock(const uint8_t*& Source, uint8_t*& Dest, int InputSize, int OutputSize);
    void Finish();

    int AvailableInput() const { return static_cast<int>(FStream.avail_in); }
    int AvailableOutput() const { return static_cast<int>(FStream.avail_out); }
    // 0 ok, 1 stream end, negative: a zlib error.
    int ZLibResult() const { return FZLibResult; }
    bool Started() const { return FStarted; }

private:
    z_stream FStream;
    int FZLibResult = Z_OK;
    int FFlushMode;
    bool FAutoReset;
    bool FStarted = false;
};
