// One fuzz input: the reader either refuses it with EReadError or yields a
// tree that the writer reproduces: write(read(x)) reads back to the same tree
// and writes the same bytes again. Any other outcome aborts.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "FormData.h"
#include "FormDataCompare.h"

// Returns true when the input was read, false when refused.
inline bool FuzzOneFormStream(const uint8_t* data, size_t size) {
    FormObject f;
    try {
        f = ReadFormBinary(data, size);
    } catch (const EReadError&) {
        return false;
    }
    std::vector<uint8_t> once = WriteFormBinary(f);
    FormObject g = ReadFormBinary(once);
    std::string where;
    if (!SameObject(f, g, where)) {
        std::fprintf(stderr, "tree changed by write and re-read at %s\n", where.c_str());
        std::abort();
    }
    if (WriteFormBinary(g) != once) {
        std::fprintf(stderr, "second write differs\n");
        std::abort();
    }
    return true;
}
