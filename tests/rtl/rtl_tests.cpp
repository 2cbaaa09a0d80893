#include <gtest/gtest.h>

#include "RunTime.h"

TEST(RtlConversions, CounterRoundTrip) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt(" 3 "), 3);
    EXPECT_EQ(StrToInt("-12"), -12);
    EXPECT_EQ(IntToStr(StrToInt("2") + 1), "3");
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("3a"), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
}
