#include "SubmissionNumber.h"

#include <limits>

int SubmissionNumber::fromImageId (const juce::String& imgId)
{
    // The text after the last underscore is kept in a string of its own: a
    // pointer into a temporary substring would outlive the substring.
    const auto number = imgId.substring (imgId.lastIndexOfChar ('_') + 1);
    auto text = number.getCharPointer();

    while (text.isWhitespace())
        ++text;

    bool negative = false;

    if (*text == '+' || *text == '-')
        negative = (text.getAndAdvance() == '-');

    if (! text.isDigit())
        return 0;

    juce::int64 value = 0;

    while (text.isDigit())
    {
        value = value * 10 + (text.getAndAdvance() - '0');

        if (value > (juce::int64) std::numeric_limits<int>::max() + 1)
            return 0;
    }

    value = negative ? -value : value;

    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return 0;

    return (int) value;
}
