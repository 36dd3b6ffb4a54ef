#include "store/VarConversions.h"

#include <gtest/gtest.h>

#include <cmath>

TEST (VarConversions, ConvertLikeTheFrameworkWithoutItsUndefinedCases)
{
    constexpr auto lowest = std::numeric_limits<int>::min();
    constexpr auto highest = std::numeric_limits<int>::max();

    EXPECT_EQ (VarConversions::toInt (42), 42);
    EXPECT_EQ (VarConversions::toInt ("  -17 apples"), -17);
    EXPECT_EQ (VarConversions::toInt ("-2147483648"), lowest);
    EXPECT_EQ (VarConversions::toInt ("4294967297"), 1); // wraps, as the framework's parser does
    EXPECT_EQ (VarConversions::toInt (2.9), 2);
    EXPECT_EQ (VarConversions::toInt (1e300), highest);
    EXPECT_EQ (VarConversions::toInt (-1e300), lowest);
    EXPECT_EQ (VarConversions::toInt ((juce::int64) 4294967496LL), highest); // not its low 32 bits, 200
    EXPECT_EQ (VarConversions::toInt (std::numeric_limits<juce::int64>::min()), lowest);
    EXPECT_EQ (VarConversions::toInt ((juce::int64) -5), -5);
    EXPECT_EQ (VarConversions::toInt (std::nan ("")), 0);
    EXPECT_EQ (VarConversions::toInt (juce::var()), 0);
    EXPECT_EQ (VarConversions::toInt (true), 1);

    EXPECT_TRUE (VarConversions::toBool (" yes"));
    EXPECT_TRUE (VarConversions::toBool ("TRUE"));
    EXPECT_TRUE (VarConversions::toBool ("-2147483648"));
    EXPECT_FALSE (VarConversions::toBool ("no"));
    EXPECT_FALSE (VarConversions::toBool (juce::var()));
    EXPECT_TRUE (VarConversions::toBool (std::nan ("")));

    EXPECT_EQ (VarConversions::toString (std::nan ("")), "nan");
    EXPECT_EQ (VarConversions::toString (-HUGE_VAL), "-inf");
    EXPECT_EQ (VarConversions::toString (12), "12");
    EXPECT_EQ (VarConversions::toString (juce::var()), "");
}
