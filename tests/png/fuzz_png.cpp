// Fuzz target for the PNG reader: any bytes either load or fail with one of
// the reader's exceptions; a load gives a picture of the header's size whose
// every pixel can be read. The same bytes are read once more from a source
// that does not know its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "PNGReader.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

class TUnsizedSource : public TPNGMemorySource {
public:
    using TPNGMemorySource::TPNGMemorySource;
    int64_t Size() override { return -1; }
};

template <class Source>
void LoadOnce(const uint8_t* Data, size_t Size) {
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemoryTarget target(uint64_t(16) << 20);  // pictures past 16 MiB are refused
    Source source(Data, Size);
    try {
        reader.LoadFromStream(source, target);
    } catch (const EInvalidGraphic&) {
        return;
    } catch (const EReadError&) {
        return;
    } catch (const EOutOfMemory&) {
        return;
    } catch (const EColorConversionError&) {
        return;
    } catch (const EGraphicCompression&) {
        return;
    }
    const TPixelView& v = target.View();
    Check(v.Width == reader.ImageProperties.Width && v.Height == reader.ImageProperties.Height);
    // A source of known size is never skipped past its end.
    Check(source.Size() < 0 || source.Position() <= int64_t(Size));
    unsigned sum = 0;
    for (uint32_t y = 0; y < v.Height; ++y)
        for (uint32_t x = 0; x < v.Width; ++x) {
            uint8_t px[4];
            target.PixelRGBA(x, y, px);
            sum += px[0] + px[1] + px[2] + px[3];
        }
    Check(sum < 0xFFFFFFFFu);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    LoadOnce<TPNGMemorySource>(Data, Size);
    LoadOnce<TUnsizedSource>(Data, Size);
    return 0;
}
