// Test main of the Wine tests: the class library's units and the framed
// controls' start-up steps run first, as they do in the program.
#include <gtest/gtest.h>

#include "RzUnits.h"

int main(int argc, char** argv) {
    StartUnits(kFramedControlUnits);
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    FinishUnits();
    return rc;
}
