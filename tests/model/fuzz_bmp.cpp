// libFuzzer target: the BMP reader (form pictures and icon images go through
// it). Bad data raises EInvalidGraphic; a picture read is unpacked row by row
// and written again, and what the writer makes reads back to the same pixels.
#include <cstdio>
#include <cstdlib>

#include "BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BmpImage img;
    try {
        img = DecodeBmp(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    const size_t stride = BmpRowBytes(img.Width, img.Layout.BitCount);
    if (img.Pixels.size() != stride * size_t(img.Height)) {
        std::fprintf(stderr, "pixels do not fill %d rows of %zu bytes\n", img.Height, stride);
        std::abort();
    }
    // A header may state a huge picture with little data behind it: unpacking
    // and writing such a picture again is right but takes seconds, not a fault.
    if (size_t(img.Width) * size_t(img.Height) > (size_t(1) << 22)) return 0;
    std::vector<uint8_t> bgra(size_t(img.Width) * 4);
    for (int y = 0; y < img.Height; ++y)
        UnpackDibRow(img.Pixels.data() + stride * size_t(y), img.Width, img.Layout, img.Palette.data(),
                     img.Palette.size(), bgra.data());
    const BmpImage again = DecodeBmp(EncodeBmp(img));
    if (again.Width != img.Width || again.Height != img.Height || !(again.Layout == img.Layout) ||
        again.Pixels != img.Pixels) {
        std::fprintf(stderr, "a written picture reads back differently\n");
        std::abort();
    }
    return 0;
}
