#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** Finds the numbers of a JSON text that the framework's parser would
    overflow on or misread, and writes them again in a form it reads without
    either.

    The parser adds up a number's leading digits in 64 bits and its exponent's
    digits in 32 bits, unchecked: more than fits is undefined. A number with a
    fraction or an exponent goes to the framework's double reader, which keeps
    the first 18 digits after the integer part's leading zeros (so
    "0.000...0001" with many zeros reads as 0) and judges the range by the
    exponent as written (so "0.001e310" reads as infinity). Such numbers are
    written as "d.ddde-N": one digit before the point, at most 18 digits, an
    exponent of at most three digits. Integers the parser sums without
    overflow are left as they are, so 19-digit values up to 2^63 - 1 still
    arrive as 64-bit integers.

    A rewritten number arrives as a double, and not always as its own value:
    - within a double's range, it is the double nearest to the number's first
      18 significant digits; later digits are dropped, not rounded, so it may
      be one unit in the last place from the double nearest to the whole
      number ("0.001e310" reads as 1e307, "100000e-310" as 1e-305);
    - above the largest double it is infinity with the number's sign
      ("1e1440320949"); from 1e401 on it is written as 1e999;
    - below 1e-308 it underflows to zero with the number's sign, a value a
      double could still hold as a subnormal included ("-1.5E-1000000000" and
      "5e-310" read as -0.0 and 0.0): the framework's reader takes no exponent
      below -308. Below 1e-400 it is written as 0.0;
    - without any significant digit it is 0.0 with its sign ("0e99999999999").

    Whatever is rewritten must be a number as JSON writes it. A minus sign
    followed by anything but a digit (the parser takes any character for a
    digit there: "-x" reads as -72), or a number followed straight away by a
    sign, a point, an exponent mark (which would make a rewritten number read
    on: "0.0" then "e-99999999999") or a character beyond ASCII (which the
    platform's digit test may take for a digit), makes the text unusable:
    none of them can be valid JSON.

    Fed with the characters outside the text's strings, in order, as the
    parser decodes them; runs in linear time.
*/
class JsonNumberRewriter
{
public:
    using Position = juce::String::CharPointerType;

    explicit JsonNumberRewriter (const juce::String& jsonText);

    /** Takes the next character outside strings, starting at `at`, with the
        next one starting at `after` (a string's closing quote stands for the
        whole string); both point into the text given to the constructor.
        Returns true when the text is unusable. */
    bool visit (juce::juce_wchar c, Position at, Position after);

    /** Ends the text. Returns true when it is unusable. */
    bool finish();

    /** The text with its numbers rewritten; the text itself when none was.
        Call once, after finish. */
    juce::String getResult();

private:
    //==============================================================================
    enum class State
    {
        outside,
        afterMinus,
        integer,
        fraction,
        exponentMark,
        exponentSign,
        exponent
    };

    /** The digits the framework's double reader keeps. */
    static constexpr int maxKeptDigits = 18;

    void startNumber (Position at);
    void addIntegerDigit (juce::juce_wchar c, Position after);
    void addFractionDigit (juce::juce_wchar c, Position after);
    void startExponent (Position after);
    void addExponentDigit (juce::juce_wchar c, Position after);
    void keep (juce::juce_wchar digit);
    bool parserMisreads() const;
    bool isPlainJsonNumber() const;
    bool endNumber();
    void appendSource (Position start, Position end);
    juce::String normalisedNumber() const;

    //==============================================================================
    const juce::String source;
    juce::MemoryOutputStream rewritten;
    Position copiedUpTo, numberStart, numberEnd;

    State state = State::outside;
    bool negative = false, blankAfterMinus = false, leadingZero = false;
    bool hasPoint = false, hasExponent = false, exponentNegative = false;
    bool magnitudeOverflows = false;
    juce::uint64 magnitude = 0;
    juce::int64 integerDigits = 0, integerSignificantDigits = 0;
    juce::int64 fractionDigits = 0, fractionLeadingZeros = 0;
    juce::int64 exponentDigits = 0, exponentSignificantDigits = 0, exponentValue = 0;
    char kept[maxKeptDigits] {};
    int numKept = 0;
};
