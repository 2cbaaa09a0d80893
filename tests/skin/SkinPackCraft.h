// Builds packed skin containers for tests: entries compressed with zlib, one
// after the other, as the packer writes them. Test data only; the packer is
// a tool of its own.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skinpack_craft {

using Bytes = std::vector<uint8_t>;

inline void PutInt(Bytes& b, int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

inline Bytes Deflate(const std::string& data) {
    uLongf n = compressBound(uLong(data.size()));
    Bytes out(n);
    compress2(out.data(), &n, reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), 9);
    out.resize(n);
    return out;
}

// One entry: name, stated size (the data's size unless given), zlib stream.
inline void PutEntry(Bytes& b, const std::string& name, const std::string& data, int32_t statedSize = -1) {
    PutInt(b, int32_t(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    PutInt(b, statedSize < 0 ? int32_t(data.size()) : statedSize);
    const Bytes z = Deflate(data);
    b.insert(b.end(), z.begin(), z.end());
}

inline Bytes Container(const std::vector<std::pair<std::string, std::string>>& entries,
                       const char* magic = "ASzf") {
    Bytes b(magic, magic + 4);
    PutInt(b, int32_t(entries.size()));
    for (const auto& [name, data] : entries) PutEntry(b, name, data);
    return b;
}

}  // namespace skinpack_craft
