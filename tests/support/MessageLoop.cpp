#include "MessageLoop.h"

#include <juce_events/juce_events.h>

bool runMessageLoopUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return condition();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    return true;
}

void runMessageLoopFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
