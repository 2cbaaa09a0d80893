#include "IcoCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

std::vector<IcoEntry> ReadIcoDirectory(const uint8_t* d, size_t size) {
    if (size < 6 || d[0] != 0 || d[1] != 0 || d[2] != 1 || d[3] != 0)
        throw EInvalidGraphic("Invalid icon: not an icon file");
    const int count = d[4] | (d[5] << 8);
    if (count == 0 || size < 6 + 16 * static_cast<size_t>(count))
        throw EInvalidGraphic("Invalid icon: directory truncated");
    std::vector<IcoEntry> v;
    v.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = d + 6 + 16 * i;
        IcoEntry x;
        x.w = e[0] ? e[0] : 256;
        x.h = e[1] ? e[1] : 256;
        x.bits = e[6] | (e[7] << 8);
        std::memcpy(&x.size, e + 8, 4);
        std::memcpy(&x.offset, e + 12, 4);
        if (x.size == 0 || x.offset > size || x.size > size - x.offset)
            throw EInvalidGraphic("Invalid icon: image outside the file");
        v.push_back(x);
    }
    return v;
}

const IcoEntry& BestIcoEntry(const std::vector<IcoEntry>& v, int w, int h) {
    // 64-bit: any requested size, however far from the images', scores without overflow.
    size_t best = 0;
    int64_t bestScore = INT64_MIN;
    for (size_t i = 0; i < v.size(); ++i) {
        const int64_t diff = std::llabs(int64_t(v[i].w) - w) + std::llabs(int64_t(v[i].h) - h);
        const int64_t score = -diff * 64 + std::min(v[i].bits, 32);
        if (score > bestScore) bestScore = score, best = i;
    }
    return v[best];
}
