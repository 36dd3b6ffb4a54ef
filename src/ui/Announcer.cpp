#include "Announcer.h"

#include <utility>

void Announcer::announceChange (const juce::String& text)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (text == lastText)
        return;

    lastText = text;

    if (text.isNotEmpty())
        announce (text);
}

void Announcer::announce (const juce::String& text)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (auto& hear = listener())
        hear (text);
    else
        juce::AccessibilityHandler::postAnnouncement (text, juce::AccessibilityHandler::AnnouncementPriority::medium);
}

std::function<void (const juce::String&)>& Announcer::listener()
{
    static std::function<void (const juce::String&)> instance;
    return instance;
}

//==============================================================================
Announcer::ScopedListener::ScopedListener (std::function<void (const juce::String&)> newListener)
    : previous (std::exchange (listener(), std::move (newListener)))
{
}

Announcer::ScopedListener::~ScopedListener()
{
    listener() = std::move (previous);
}
