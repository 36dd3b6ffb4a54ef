#include "SharedFlag.h"

SharedFlag& SharedFlag::operator= (bool newValue)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (value.exchange (newValue) != newValue)
        listeners.call ([this] (Listener& l)
                        { l.sharedFlagChanged (*this); });

    return *this;
}

void SharedFlag::addListener (Listener* listener)
{
    JUCE_ASSERT_MESSAGE_THREAD
    listeners.add (listener);
}

void SharedFlag::removeListener (Listener* listener)
{
    JUCE_ASSERT_MESSAGE_THREAD
    listeners.remove (listener);
}
