// libFuzzer target: the icon file directory (form icons go through it). Bad
// data raises EInvalidGraphic; every entry read lies inside the data, and
// the best entry for any size is one of them.
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "IcoCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<IcoEntry> entries;
    try {
        entries = ReadIcoDirectory(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    for (const IcoEntry& e : entries)
        if (e.size == 0 || e.offset > size || e.size > size - e.offset) std::abort();
    const int sizes[][2] = {{16, 16}, {32, 32}, {0, 0}, {-1, 7}, {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}};
    for (const auto& s : sizes) {
        const IcoEntry& best = BestIcoEntry(entries, s[0], s[1]);
        if (&best < entries.data() || &best >= entries.data() + entries.size()) std::abort();
    }
    return 0;
}
