#include "LZ77Decoder.h"

#include <cstring>

static const char* const SLZ77Error = "LZ77 decompression error.";

TLZ77Decoder::TLZ77Decoder(int FlushMode, bool AutoReset) : FFlushMode(FlushMode), FAutoReset(AutoReset) {
    std::memset(&FStream, 0, sizeof(FStream));
}

TLZ77Decoder::~TLZ77Decoder() {
    if (FStarted) inflateEnd(&FStream);
}

void TLZ77Decoder::Start() {
    if (FStarted) {
        inflateEnd(&FStream);
        FStarted = false;
    }
    FZLibResult = inflateInit(&FStream);
    if (FZLibResult < 0) throw EGraphicCompression(SLZ77Error);
    FStarted = true;
}

void TLZ77Decoder::InflateBlock(const uint8_t*& Source, uint8_t*& Dest, int InputSize, int OutputSize) {
    FStream.next_in = const_cast<Bytef*>(Source);
    FStream.avail_in = InputSize > 0 ? static_cast<uInt>(InputSize) : 0;
    if (FAutoReset) FZLibResult = inflateReset(&FStream);
    if (FZLibResult != Z_OK) return;
    FStream.next_out = Dest;
    FStream.avail_out = OutputSize > 0 ? static_cast<uInt>(OutputSize) : 0;
    FZLibResult = inflate(&FStream, FFlushMode);
    Source = FStream.next_in;
    Dest = FStream.next_out;
}

void TLZ77Decoder::Finish() {
    if (!FStarted) return;
    FStarted = false;
    if (inflateEnd(&FStream) < 0) throw EGraphicCompression(SLZ77Error);
}
