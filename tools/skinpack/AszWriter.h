// Writer of the packed skin container (".asz"), build tooling only: the
// program itself only reads containers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AszEntry {
    std::string Name;           // single-byte characters, stored as given
    std::vector<uint8_t> Data;  // uncompressed
};

// The container of Entries in the given order; throws std::runtime_error when
// zlib fails or a name or size does not fit a 32-bit signed length.
std::vector<uint8_t> WriteAszContainer(const std::vector<AszEntry>& Entries);
