#include "SubmissionNumber.h"

#include <limits>

int SubmissionNumber::fromImageId (const juce::String& imgId)
{
    const auto lastUnderscore = imgId.lastIndexOfChar ('_');
    auto text = imgId.substring (lastUnderscore + 1).getCharPointer();

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
