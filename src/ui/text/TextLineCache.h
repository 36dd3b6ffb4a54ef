#pragma once

#include "TextLine.h"

#include <list>

//==============================================================================
/** The last few lines laid out, so that a widget that draws the same names
    on every paint (a selector, its list) shapes each only once. Message
    thread only.
*/
class TextLineCache
{
public:
    explicit TextLineCache (size_t capacityToUse = 16)
        : capacity (juce::jmax<size_t> (1, capacityToUse))
    {
    }

    /** The line for a text in a font, laid out now or earlier. The reference
        holds until the next call. */
    const TextLine& get (const juce::String& text, const juce::Font& font);

private:
    //==============================================================================
    struct Entry
    {
        juce::String text;
        juce::Font font;
        TextLine line;
    };

    size_t capacity;
    std::list<Entry> entries; // most recently used first

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextLineCache)
};
