// Reaching the prize screen as a pupil does: three games counted, the
// menu's blinking prize button pressed.
#pragma once

#include <gtest/gtest.h>

#include "LessonTestUtil.h"
#include "Unit2.h"
#include "Unit6.h"

namespace prize {

inline void OpenFromMenu() {
    Form2->Label1->SetCaption("3");
    Form2->Hide();
    Form2->Show();
    Pump();
    ASSERT_TRUE(Form2->RzLabel13->Enabled());
    ClickControl(Form2, Form2->RzLabel13);
    ASSERT_NE(Form1, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(Form1->Handle()) != 0; }));
    ASSERT_FALSE(Form2->Visible());
    SetForegroundWindow(Form1->Handle());
    Pump();
}

// Pixels of the rectangle with exactly this colour (0xRRGGBB).
inline int CountColour(const Pixels& P, const TRect& R, uint32_t Rgb) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += P.At(x, y) == Rgb;
    return n;
}

}  // namespace prize
