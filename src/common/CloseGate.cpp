#include "CloseGate.h"

bool CloseGate::isOpen() const
{
    const juce::ScopedLock sl (lock);
    return holders.isEmpty();
}

void CloseGate::hold (const void* holder)
{
    const juce::ScopedLock sl (lock);
    holders.addIfNotAlreadyThere (holder);
}

void CloseGate::release (const void* holder)
{
    const juce::ScopedLock sl (lock);
    holders.removeFirstMatchingValue (holder);
}
