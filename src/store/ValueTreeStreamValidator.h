#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** Walks bytes in the framework's tree stream format (what
    juce::ValueTree::writeToStream produces) and decides whether
    juce::ValueTree::readFromData may be given them.

    The framework's reader trusts every count in its input: a few damaged
    bytes make it loop for minutes, grow memory until the process dies,
    overflow a signed int or, with deep nesting, the stack. This walk reads
    the same grammar without building anything, in time and memory bounded by
    the input, and accepts only what the framework's writer could have
    produced:

    - a tree is a type name, a property count with that many (name, value)
      pairs, and a child count with that many trees;
    - names are non-empty, null-terminated, well-formed UTF-8;
    - a value is empty, or an int, int64, double, bool, undefined, string,
      binary block or list, each with the exact size its marker needs;
    - every count fits in the bytes that remain, and trees and lists nest no
      deeper than the limit.

    Bytes after the root tree are allowed, as the framework's reader ignores
    them.
*/
class ValueTreeStreamValidator
{
public:
    /** Deep enough for any tree this program writes (a bank is two levels). */
    static constexpr int defaultMaxDepth = 32;

    /** True when the framework may read the data as a tree. */
    static bool isValid (const void* data, size_t numBytes, int maxDepth = defaultMaxDepth);

    /** True when the bytes are what the framework's writer makes of a string:
        lead and continuation bytes in order, no over-long forms, no nulls. */
    static bool isWellFormedUtf8 (const juce::uint8* text, size_t numBytes);

private:
    //==============================================================================
    ValueTreeStreamValidator (const juce::uint8* data, size_t numBytes, int maxDepth);

    bool readTree (int depth);
    bool readValue (int depth);
    bool readList (size_t numBytes, int depth);
    bool readCount (int& count);
    bool readCompressedInt (int& value);
    bool readName();
    bool skip (size_t numBytes);
    size_t remaining() const noexcept { return size - position; }

    const juce::uint8* bytes;
    size_t size;
    size_t position = 0;
    const int depthLimit;
};
