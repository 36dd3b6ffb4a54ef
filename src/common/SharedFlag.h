#pragma once

#include <juce_events/juce_events.h>

#include <atomic>

//==============================================================================
/** A process-wide flag through which pages and the window coordinate while a
    service operation runs (busy, statusCheckBusy).

    It is written on the message thread only, by the operation that sets it
    and lets go of it, and may be read on any thread. Whoever draws what the
    flag shows (the busy overlay) listens instead of looking at it while
    painting; listeners hear of each change on the message thread.
*/
class SharedFlag
{
public:
    SharedFlag() = default;

    /** Sets the flag; listeners hear of it when the value changed. Message
        thread only. */
    SharedFlag& operator= (bool newValue);

    bool load() const noexcept { return value.load(); }
    operator bool() const noexcept { return load(); }

    //==============================================================================
    struct Listener
    {
        virtual ~Listener() = default;

        /** The flag has just changed; called on the message thread. */
        virtual void sharedFlagChanged (const SharedFlag& flag) = 0;
    };

    /** Message thread only. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

private:
    //==============================================================================
    std::atomic<bool> value { false };
    juce::ListenerList<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE (SharedFlag)
};
