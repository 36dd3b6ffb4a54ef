#include "VarConversions.h"

#include <cmath>

//==============================================================================
juce::String VarConversions::toString (const juce::var& value)
{
    if (value.isDouble())
    {
        const auto number = static_cast<double> (value);

        if (std::isnan (number))
            return "nan";

        if (std::isinf (number))
            return number > 0 ? "inf" : "-inf";
    }

    return value.toString();
}

int VarConversions::toInt (const juce::var& value)
{
    if (value.isString())
        return parseInt (value.toString());

    if (value.isDouble())
    {
        const auto number = static_cast<double> (value);

        if (std::isnan (number))
            return 0;

        constexpr auto lowest = (double) std::numeric_limits<int>::min();
        constexpr auto highest = (double) std::numeric_limits<int>::max();
        return (int) juce::jlimit (lowest, highest, number);
    }

    if (value.isInt64())
    {
        // Limited like a double: the framework's cast would keep the low 32
        // bits, so 2^32 + 200 would read as 200.
        constexpr auto lowest = (juce::int64) std::numeric_limits<int>::min();
        constexpr auto highest = (juce::int64) std::numeric_limits<int>::max();
        return (int) juce::jlimit (lowest, highest, static_cast<juce::int64> (value));
    }

    return static_cast<int> (value);
}

bool VarConversions::toBool (const juce::var& value)
{
    if (value.isString())
    {
        const auto text = value.toString();
        return parseInt (text) != 0
               || text.trim().equalsIgnoreCase ("true")
               || text.trim().equalsIgnoreCase ("yes");
    }

    return static_cast<bool> (value);
}

//==============================================================================
int VarConversions::parseInt (const juce::String& text)
{
    auto s = text.getCharPointer().findEndOfWhitespace();
    const bool negative = *s == '-';

    if (negative)
        ++s;

    juce::uint32 magnitude = 0;

    for (;;)
    {
        const auto c = s.getAndAdvance();

        if (c < '0' || c > '9')
            break;

        magnitude = magnitude * 10 + (juce::uint32) (c - '0');
    }

    // Negated in unsigned arithmetic, so "-2147483648" gives the lowest int
    // instead of overflowing.
    return static_cast<int> (negative ? 0u - magnitude : magnitude);
}
