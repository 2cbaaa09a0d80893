// The skin host round after round: every page of wrapped windows shown, the
// skin changed, the hue changed, the host closed. What a round makes it
// frees: the process's GDI and USER objects stay level. The rounds come from
// TUVRELI_STRESS_ROUNDS (50 when unset; fewer under the heap checker, which
// makes each round several times slower).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "HostForm.h"
#include "TestSupport.h"
#include "TestSkins.h"
#include "sSkinManager.h"

TEST(Stress, RoundsOfEverySkinnedWindowKindLeaveGdiAndUserObjectsLevel) {
    const char* const kSkins[] = {"Birch", "Night", "Flat"};
    StartHostEngine();
    const char* env = std::getenv("TUVRELI_STRESS_ROUNDS");
    const int rounds = env ? std::max(3, std::atoi(env)) : 50;
    testwin::GuiObjects level;
    for (int i = 0; i < rounds; ++i) {
        // The first rounds fill what lives as long as the program (fonts, glyph caches).
        if (i == 2) level = testwin::CountGuiObjects();
        TSkinHost host(TUVRELI_TEST_SKINS_DIR, kSkins[i % 3], true, 0);
        ASSERT_FALSE(host.LoadError) << kSkins[i % 3];
        for (int page = 0; page < host.Pages()->PageCount(); ++page) {
            host.Pages()->SetActivePage(host.Pages()->Pages(page));
            Pump(5);
        }
        host.Manager()->SetSkinName(kSkins[(i + 1) % 3]);
        Pump(5);
        host.Manager()->SetHueOffset(90);
        Pump(5);
    }
    Pump(30);
    EXPECT_EQ(testwin::CountGuiObjects(), level);
}
