// The directory of an icon file (.ico): which images it holds, and which of
// them suits a size best. Portable, so it is fuzzed natively; the images
// themselves are handed to the platform by the class library's icons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RunTime.h"

struct IcoEntry {
    int w, h, bits;          // 0 in the file means 256
    uint32_t size, offset;   // the image's bytes, inside the file
};

// Every entry of the directory; each image lies wholly inside the data.
// Raises EInvalidGraphic for anything else (not an icon, no images,
// directory cut short, image outside the file).
std::vector<IcoEntry> ReadIcoDirectory(const uint8_t* data, size_t size);
// The entry nearest w x h, the deepest colour among equally near ones.
// Entries must not be empty.
const IcoEntry& BestIcoEntry(const std::vector<IcoEntry>& entries, int w, int h);
