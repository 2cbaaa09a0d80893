#include "AszWriter.h"

#include <zlib.h>

#include <limits>
#include <stdexcept>

// Layout (all integers 32-bit signed, little-endian):
//   magic   4 bytes "ASzf" (case matters: readers refuse "ASZF")
//   N       number of entries, the skin text "Options.dat" included
//   N times:
//     L     length of the name in bytes
//     name  L single-byte characters, no terminator
//     S     size of the data after decompression
//     data  one zlib stream (RFC 1950: header, deflate data, Adler-32);
//           no compressed length is stored, the next entry starts at the
//           first byte after the stream; no padding anywhere.
namespace {

constexpr char kAszMagic[4] = {'A', 'S', 'z', 'f'};

void PutInt32(std::vector<uint8_t>& out, size_t value, const char* what) {
    if (value > size_t(std::numeric_limits<int32_t>::max()))
        throw std::runtime_error(std::string("skin container: ") + what + " too large");
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<uint8_t> WriteAszContainer(const std::vector<AszEntry>& Entries) {
    std::vector<uint8_t> out(kAszMagic, kAszMagic + 4);
    PutInt32(out, Entries.size(), "entry count");
    for (const AszEntry& e : Entries) {
        PutInt32(out, e.Name.size(), "entry name");
        out.insert(out.end(), e.Name.begin(), e.Name.end());
        PutInt32(out, e.Data.size(), "entry");
        uLongf packedSize = compressBound(uLong(e.Data.size()));
        std::vector<uint8_t> packed(packedSize);
        if (compress2(packed.data(), &packedSize, e.Data.data(), uLong(e.Data.size()), Z_BEST_COMPRESSION) != Z_OK)
            throw std::runtime_error("skin container: zlib failed on " + e.Name);
        out.insert(out.end(), packed.begin(), packed.begin() + long(packedSize));
    }
    return out;
}
