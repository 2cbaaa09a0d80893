// Test main of the Wine tests: the framed controls' start-up step runs first,
// as it does in the program.
#include <gtest/gtest.h>

#include "RzCommon.h"

int main(int argc, char** argv) {
    RzCommonStartup();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
