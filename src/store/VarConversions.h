#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** The framework's var conversions (to String, int and bool) without their
    undefined or misleading corners: a NaN or out-of-range double cast to int,
    a 64-bit integer cut to its low 32 bits, and a string such as
    "-2147483648" negated as an int. Doubles and 64-bit integers beyond the
    int range are limited to it. Values read from the bank file or
    from the service can hold any of these. Ordinary values convert exactly as
    the framework converts them.
*/
class VarConversions
{
public:
    static juce::String toString (const juce::var& value);
    static int toInt (const juce::var& value);
    static bool toBool (const juce::var& value);

private:
    /** Leading digits after optional white space and minus sign, wrapping
        modulo 2^32 like the framework's parser. */
    static int parseInt (const juce::String& text);
};
