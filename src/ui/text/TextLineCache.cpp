#include "TextLineCache.h"

#include <algorithm>

const TextLine& TextLineCache::get (const juce::String& text, const juce::Font& font)
{
    JUCE_ASSERT_MESSAGE_THREAD

    const auto found = std::find_if (entries.begin(), entries.end(), [&] (const Entry& e)
                                     { return e.font == font && e.text == text; });

    if (found != entries.end())
    {
        entries.splice (entries.begin(), entries, found);
        return entries.front().line;
    }

    if (entries.size() >= capacity)
        entries.pop_back();

    entries.push_front ({ text, font, TextLine (text, font) });
    return entries.front().line;
}
