#include "ValueTreeStreamValidator.h"

namespace
{
// The framework's var stream markers (juce_Variant.cpp).
enum VarMarker : juce::uint8
{
    markerInt = 1,
    markerBoolTrue = 2,
    markerBoolFalse = 3,
    markerDouble = 4,
    markerString = 5,
    markerInt64 = 6,
    markerArray = 7,
    markerBinary = 8,
    markerUndefined = 9
};

// The smallest encodings: a property is a one-character name with its
// null and an empty value; a tree is a one-character type with its null
// and two zero counts.
constexpr size_t minPropertyBytes = 3;
constexpr size_t minTreeBytes = 4;
}

//==============================================================================
bool ValueTreeStreamValidator::isValid (const void* data, size_t numBytes, int maxDepth)
{
    if (data == nullptr || numBytes == 0)
        return false;

    ValueTreeStreamValidator walker (static_cast<const juce::uint8*> (data), numBytes, maxDepth);
    return walker.readTree (1);
}

bool ValueTreeStreamValidator::isWellFormedUtf8 (const juce::uint8* text, size_t numBytes)
{
    size_t i = 0;

    while (i < numBytes)
    {
        const auto lead = text[i++];

        if (lead == 0)
            return false;

        if (lead < 0x80)
            continue;

        size_t numExtra = 0;
        juce::uint32 codePoint = 0, smallest = 0;

        if (lead >= 0xc2 && lead <= 0xdf)
        {
            numExtra = 1;
            codePoint = lead & 0x1fu;
            smallest = 0x80;
        }
        else if (lead >= 0xe0 && lead <= 0xef)
        {
            numExtra = 2;
            codePoint = lead & 0x0fu;
            smallest = 0x800;
        }
        else if (lead >= 0xf0 && lead <= 0xf7)
        {
            // The framework writes any code point below 2^21 in four bytes.
            numExtra = 3;
            codePoint = lead & 0x07u;
            smallest = 0x10000;
        }
        else
        {
            return false;
        }

        if (numExtra > numBytes - i)
            return false;

        for (size_t j = 0; j < numExtra; ++j)
        {
            const auto next = text[i++];

            if ((next & 0xc0) != 0x80)
                return false;

            codePoint = (codePoint << 6) | (next & 0x3fu);
        }

        if (codePoint < smallest)
            return false;
    }

    return true;
}

//==============================================================================
ValueTreeStreamValidator::ValueTreeStreamValidator (const juce::uint8* data, size_t numBytes, int maxDepth)
    : bytes (data)
    , size (numBytes)
    , depthLimit (maxDepth)
{
}

bool ValueTreeStreamValidator::readTree (int depth)
{
    if (depth > depthLimit || ! readName())
        return false;

    int numProperties = 0;

    if (! readCount (numProperties) || (size_t) numProperties > remaining() / minPropertyBytes)
        return false;

    for (int i = 0; i < numProperties; ++i)
        if (! readName() || ! readValue (depth))
            return false;

    int numChildren = 0;

    if (! readCount (numChildren) || (size_t) numChildren > remaining() / minTreeBytes)
        return false;

    for (int i = 0; i < numChildren; ++i)
        if (! readTree (depth + 1))
            return false;

    return true;
}

bool ValueTreeStreamValidator::readValue (int depth)
{
    int numBytes = 0;

    if (! readCompressedInt (numBytes) || numBytes < 0)
        return false;

    if (numBytes == 0)
        return true; // an empty (void) value

    if (remaining() < 1)
        return false;

    const auto marker = bytes[position++];
    const auto contentSize = (size_t) numBytes - 1;

    if (contentSize > remaining())
        return false;

    switch (marker)
    {
        case markerBoolTrue:
        case markerBoolFalse:
        case markerUndefined:
            return contentSize == 0;

        case markerInt:
            return contentSize == 4 && skip (4);

        case markerInt64:
        case markerDouble:
            return contentSize == 8 && skip (8);

        case markerBinary:
            return skip (contentSize);

        case markerString:
        {
            // UTF-8 text followed by its terminating null.
            if (contentSize < 1 || bytes[position + contentSize - 1] != 0)
                return false;

            if (! isWellFormedUtf8 (bytes + position, contentSize - 1))
                return false;

            return skip (contentSize);
        }

        case markerArray:
            return readList (contentSize, depth + 1);

        default:
            return false;
    }
}

bool ValueTreeStreamValidator::readList (size_t numBytes, int depth)
{
    if (depth > depthLimit)
        return false;

    // The framework's reader ignores the list's byte size and reads as many
    // elements as the count says, so the elements must fill it exactly.
    const auto outerSize = size;
    size = position + numBytes;

    int numElements = 0;
    bool ok = readCount (numElements);

    for (int i = 0; ok && i < numElements; ++i)
        ok = readValue (depth);

    ok = ok && position == size;
    size = outerSize;
    return ok;
}

bool ValueTreeStreamValidator::readCount (int& count)
{
    return readCompressedInt (count) && count >= 0 && (size_t) count <= remaining();
}

bool ValueTreeStreamValidator::readCompressedInt (int& value)
{
    // A size byte (low seven bits: how many bytes follow, top bit: negative),
    // then the magnitude in little-endian order.
    if (remaining() < 1)
        return false;

    const auto sizeByte = bytes[position++];
    const auto numBytes = (size_t) (sizeByte & 0x7f);

    if (numBytes > 4 || numBytes > remaining())
        return false;

    juce::uint32 magnitude = 0;

    for (size_t i = 0; i < numBytes; ++i)
        magnitude |= (juce::uint32) bytes[position++] << (8 * i);

    // The framework negates the magnitude as an int, so 2^31 would overflow.
    if (magnitude > (juce::uint32) std::numeric_limits<int>::max())
        return false;

    value = (sizeByte & 0x80) != 0 ? -(int) magnitude : (int) magnitude;
    return true;
}

bool ValueTreeStreamValidator::readName()
{
    const auto* start = bytes + position;
    const auto* terminator = static_cast<const juce::uint8*> (std::memchr (start, 0, remaining()));

    if (terminator == nullptr || terminator == start)
        return false;

    const auto length = (size_t) (terminator - start);

    if (! isWellFormedUtf8 (start, length))
        return false;

    position += length + 1;
    return true;
}

bool ValueTreeStreamValidator::skip (size_t numBytes)
{
    if (numBytes > remaining())
        return false;

    position += numBytes;
    return true;
}
