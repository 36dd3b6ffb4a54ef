#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** The window's close gate: shut while a service operation started by a page
    runs, open otherwise. The main window's close does nothing while it is
    shut.

    Each operation holds the gate under its own name (its worker, by address)
    from its start until its result has been handled, and only that
    operation lets go again. So the gate opens only once every operation has
    ended, whichever page started it and in whatever order they end.
    Holding twice under one name counts once. Safe on any thread.
*/
class CloseGate
{
public:
    CloseGate() = default;

    /** True when no operation holds the gate: a close may pass. */
    bool isOpen() const;

    /** Shuts the gate until release is called with the same holder. */
    void hold (const void* holder);

    /** Lets go of the holder's hold; the gate opens when no hold is left. */
    void release (const void* holder);

private:
    //==============================================================================
    juce::CriticalSection lock;
    juce::Array<const void*> holders;

    JUCE_DECLARE_NON_COPYABLE (CloseGate)
};
