#include "JsonNumberRewriter.h"

#include <limits>

namespace
{
/** Any exponent of this many digits fits the parser's 32-bit sum. */
constexpr int maxExponentDigits = 9;

/** The exponents, as written, within which the parser judges a double's
    range correctly. */
constexpr juce::int64 lowestExponent = -308, highestExponent = 309;

/** Beyond this, a normalised exponent is written as 1e999 or 0.0. */
constexpr juce::int64 largestWrittenExponent = 400;

/** Where an exponent's value stops growing; far beyond any that matters. */
constexpr juce::int64 exponentCeiling = 1000000000000LL;

constexpr auto largestInt64 = (juce::uint64) std::numeric_limits<juce::int64>::max();

bool isAsciiDigit (juce::juce_wchar c)
{
    return c >= '0' && c <= '9';
}

bool isExponentMark (juce::juce_wchar c)
{
    return c == 'e' || c == 'E';
}

/** The blanks the parser skips between a minus sign and its digits. */
bool isAsciiBlank (juce::juce_wchar c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}
}

//==============================================================================
JsonNumberRewriter::JsonNumberRewriter (const juce::String& jsonText)
    : source (jsonText)
    , copiedUpTo (source.getCharPointer())
    , numberStart (copiedUpTo)
    , numberEnd (copiedUpTo)
{
}

bool JsonNumberRewriter::visit (juce::juce_wchar c, Position at, Position after)
{
    switch (state)
    {
        case State::outside:
            break;

        case State::afterMinus:
            if (isAsciiBlank (c))
            {
                blankAfterMinus = true;
                return false;
            }

            if (! isAsciiDigit (c))
                return true;

            addIntegerDigit (c, after);
            return false;

        case State::integer:
            if (isAsciiDigit (c))
            {
                addIntegerDigit (c, after);
                return false;
            }

            if (c == '.')
            {
                hasPoint = true;
                state = State::fraction;
                numberEnd = after;
                return false;
            }

            if (isExponentMark (c))
            {
                startExponent (after);
                return false;
            }

            break;

        case State::fraction:
            if (isAsciiDigit (c))
            {
                addFractionDigit (c, after);
                return false;
            }

            if (isExponentMark (c))
            {
                startExponent (after);
                return false;
            }

            break;

        case State::exponentMark:
            if (c == '+' || c == '-')
            {
                exponentNegative = c == '-';
                state = State::exponentSign;
                numberEnd = after;
                return false;
            }

            [[fallthrough]];

        case State::exponentSign:
        case State::exponent:
            if (isAsciiDigit (c))
            {
                addExponentDigit (c, after);
                return false;
            }

            break;
    }

    // The character ends the number before it, if any, and may start another.
    // Valid JSON has neither a sign, a point nor an exponent mark straight
    // after a number; the parser would read one on from a rewritten number
    // ("0.0" and "e-99999999999") or may take a character beyond ASCII for
    // a digit.
    if (state != State::outside && (c > 127 || c == '.' || c == '+' || c == '-' || isExponentMark (c) || endNumber()))
        return true;

    if (c == '-')
    {
        startNumber (at);
        negative = true;
        state = State::afterMinus;
        numberEnd = after;
    }
    else if (isAsciiDigit (c))
    {
        startNumber (at);
        addIntegerDigit (c, after);
    }

    return false;
}

bool JsonNumberRewriter::finish()
{
    // A text ending in a minus sign has the parser read its terminator.
    if (state == State::afterMinus)
        return true;

    return state != State::outside && endNumber();
}

juce::String JsonNumberRewriter::getResult()
{
    if (rewritten.getDataSize() == 0)
        return source;

    appendSource (copiedUpTo, source.getCharPointer().findTerminatingNull());

    // Copied byte for byte, as the text itself was: the parser decodes both
    // alike.
    const auto* start = static_cast<const char*> (rewritten.getData());
    return { juce::CharPointer_UTF8 (start), juce::CharPointer_UTF8 (start + rewritten.getDataSize()) };
}

//==============================================================================
void JsonNumberRewriter::startNumber (Position at)
{
    numberStart = numberEnd = at;
    negative = blankAfterMinus = leadingZero = false;
    hasPoint = hasExponent = exponentNegative = false;
    magnitudeOverflows = false;
    magnitude = 0;
    integerDigits = integerSignificantDigits = 0;
    fractionDigits = fractionLeadingZeros = 0;
    exponentDigits = exponentSignificantDigits = exponentValue = 0;
    numKept = 0;
}

void JsonNumberRewriter::addIntegerDigit (juce::juce_wchar c, Position after)
{
    state = State::integer;
    numberEnd = after;
    const auto digit = (juce::uint64) (c - '0');

    if (integerDigits++ == 0)
        leadingZero = digit == 0;

    // The parser's sum overflows exactly when the value exceeds 2^63 - 1.
    if (magnitudeOverflows || magnitude > (largestInt64 - digit) / 10)
        magnitudeOverflows = true;
    else
        magnitude = magnitude * 10 + digit;

    if (integerSignificantDigits > 0 || digit != 0)
    {
        ++integerSignificantDigits;
        keep (c);
    }
}

void JsonNumberRewriter::addFractionDigit (juce::juce_wchar c, Position after)
{
    numberEnd = after;
    ++fractionDigits;

    if (numKept == 0 && c == '0')
        ++fractionLeadingZeros;
    else
        keep (c);
}

void JsonNumberRewriter::startExponent (Position after)
{
    hasExponent = true;
    state = State::exponentMark;
    numberEnd = after;
}

void JsonNumberRewriter::addExponentDigit (juce::juce_wchar c, Position after)
{
    state = State::exponent;
    numberEnd = after;
    ++exponentDigits;

    if (exponentSignificantDigits > 0 || c != '0')
        ++exponentSignificantDigits;

    exponentValue = juce::jmin (exponentCeiling, exponentValue * 10 + (c - '0'));
}

void JsonNumberRewriter::keep (juce::juce_wchar digit)
{
    if (numKept < maxKeptDigits)
        kept[numKept++] = (char) digit;
}

bool JsonNumberRewriter::parserMisreads() const
{
    if (magnitudeOverflows)
        return true;

    if (! (hasPoint || hasExponent))
        return false;

    const auto exponent = exponentNegative ? -exponentValue : exponentValue;

    return exponentSignificantDigits > maxExponentDigits
           || integerSignificantDigits + fractionDigits > maxKeptDigits
           || (hasExponent && (exponent < lowestExponent || exponent > highestExponent));
}

bool JsonNumberRewriter::isPlainJsonNumber() const
{
    return ! blankAfterMinus
           && ! (leadingZero && integerDigits > 1)
           && ! (hasPoint && fractionDigits == 0)
           && ! (hasExponent && exponentDigits == 0);
}

bool JsonNumberRewriter::endNumber()
{
    state = State::outside;

    if (! parserMisreads())
        return false;

    if (! isPlainJsonNumber())
        return true;

    appendSource (copiedUpTo, numberStart);
    rewritten << normalisedNumber();
    copiedUpTo = numberEnd;
    return false;
}

void JsonNumberRewriter::appendSource (Position start, Position end)
{
    rewritten.write (start.getAddress(), (size_t) (end.getAddress() - start.getAddress()));
}

juce::String JsonNumberRewriter::normalisedNumber() const
{
    const juce::String sign (negative ? "-" : "");

    if (numKept == 0)
        return sign + "0.0";

    // The value is 0.[kept digits] x 10^pointShift x 10^exponent.
    const auto pointShift = integerSignificantDigits > 0 ? integerSignificantDigits : -fractionLeadingZeros;
    const auto exponent = (pointShift - 1) + (exponentNegative ? -exponentValue : exponentValue);

    if (exponent > largestWrittenExponent)
        return sign + "1e999";

    if (exponent < -largestWrittenExponent)
        return sign + "0.0";

    auto used = numKept;

    while (used > 1 && kept[used - 1] == '0')
        --used;

    auto text = sign + juce::String::charToString ((juce::juce_wchar) kept[0]);

    if (used > 1)
        text << "." << juce::String (kept + 1, (size_t) (used - 1));

    return text << "e" << juce::String (exponent);
}
