// The skin engine's picture units (alpha pictures and PNG) started for the
// whole run of a test program and finished after its last test.
#pragma once

#include <gtest/gtest.h>

#include "acPNG.h"
#include "sAlphaGraph.h"

class PictureUnits : public ::testing::Environment {
public:
    void SetUp() override {
        sAlphaGraphInitialize();
        acPNGInitialize();
    }
    void TearDown() override {
        acPNGFinalize();
        sAlphaGraphFinalize();
    }
};
