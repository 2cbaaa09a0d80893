// Fuzz target for the packed skin container: any bytes either parse into
// entries whose sizes are what they state, are refused, or raise a stream or
// decompression error; anything else (a crash, another exception, a read out
// of bounds) is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "acSkinPack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TacSkinConvertor c;
    c.SourceStream = std::make_unique<TMemoryStream>();
    if (Size) c.SourceStream->WriteBuffer(Data, int64_t(Size));
    try {
        if (c.Parse()) {
            if (!c.OptionsStream || c.ImageCount < 0) std::abort();
            if (c.SourceStream->Position() > c.SourceStream->Size()) std::abort();
        } else if (c.OptionsStream || !c.ImageItems.empty()) {
            std::abort();
        }
    } catch (const EStreamError&) {
    }
    return 0;
}
