#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** Reads the ear-image submission number that ends an `img_id`: the decimal
    number after its last underscore (the whole id when it has none). Leading
    blanks and a sign are accepted and anything after the digits is ignored.
    An id whose number cannot be read, or does not fit an int, counts as 0.
*/
class SubmissionNumber
{
public:
    static int fromImageId (const juce::String& imgId);
};
