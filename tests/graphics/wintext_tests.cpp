#include <gtest/gtest.h>

#include "ResourceStream.h"
#include "WinText.h"

// The fixed table must agree with the system's own code page 1251.
TEST(WinText, AgreesWithTheSystemCodePage) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        const char c = static_cast<char>(b);
        wchar_t w = 0;
        ASSERT_EQ(MultiByteToWideChar(1251, 0, &c, 1, &w, 1), 1);
        EXPECT_EQ(ToWide(AnsiString(1, c)), std::wstring(1, w)) << "byte " << b;
    }
    EXPECT_EQ(ToWide("Выход"), L"Выход");  // CP1251 literal against a UTF-16 one
    EXPECT_EQ(FromWide(L"ПРИЗ!"), "ПРИЗ!");
    EXPECT_EQ(FromWide(L"a\u4E2Db"), "a?b");
    EXPECT_EQ(FromWide(nullptr), "");
}

TEST(WinText, WindowTextsSurviveTheBoundary) {
    HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(SetWindowTextAnsi(w, "Устройства ввода"));
    wchar_t buf[64] = {};
    GetWindowTextW(w, buf, 64);
    EXPECT_STREQ(buf, L"Устройства ввода");
    EXPECT_EQ(GetWindowTextAnsi(w), "Устройства ввода");
    SetWindowTextAnsi(w, "");
    EXPECT_EQ(GetWindowTextAnsi(w), "");
    DestroyWindow(w);
}

TEST(ResourceStream, ReadsRcDataAndReportsMissingOnes) {
    TResourceStream s(nullptr, "GFXTEST");
    EXPECT_EQ(s.Size(), 5);
    const auto bytes = s.ReadBytes(5);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b', 'c', 0x34, 0x12}));
    EXPECT_THROW(s.WriteUInt8(1), EWriteError);
    try {
        TResourceStream missing(nullptr, "NOPE");
        FAIL() << "found a missing resource";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message, "Resource NOPE not found");
    }
}
