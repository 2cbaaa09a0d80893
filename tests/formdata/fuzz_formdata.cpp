// libFuzzer target for the binary form reader.
#include "FuzzBody.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOneFormStream(data, size);
    return 0;
}
