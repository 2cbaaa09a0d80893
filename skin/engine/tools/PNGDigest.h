// One line describing a decoded PNG (size, pixel format, background, key
// colour and a digest of the pixels as RGBA) or the reader's failure; the
// native and the Windows builds must print the same line for every file.
#pragma once

#include <cstdio>
#include <string>

#include "PNGReader.h"

inline const char* PNGFormatName(TPixelFormat f) {
    switch (f) {
    case pf1bit: return "1bit";
    case pf4bit: return "4bit";
    case pf8bit: return "8bit";
    case pf24bit: return "24bit";
    case pf32bit: return "32bit";
    default: return "other";
    }
}

inline std::string PNGDigestLine(const uint8_t* Data, size_t Size) {
    TColorManager cm;
    TPNGReader reader(cm);
    TPNGMemoryTarget target;
    TPNGMemorySource source(Data, Size);
    try {
        reader.LoadFromStream(source, target);
    } catch (const Exception& e) {
        return "error " + e.Message;
    }
    uint64_t h = 1469598103934665603ull;  // FNV-1a, 64 bits
    const TPixelView& v = target.View();
    for (uint32_t y = 0; y < v.Height; ++y)
        for (uint32_t x = 0; x < v.Width; ++x) {
            uint8_t px[4];
            target.PixelRGBA(x, y, px);
            for (uint8_t b : px) h = (h ^ b) * 1099511628211ull;
        }
    char line[160];
    std::snprintf(line, sizeof line, "ok %ux%u %s bg=%06X key=%08X %016llX", unsigned(v.Width), unsigned(v.Height),
                  PNGFormatName(v.PixelFormat), unsigned(target.Layout().BackgroundColor),
                  unsigned(target.Layout().TransparentColor), static_cast<unsigned long long>(h));
    return line;
}
