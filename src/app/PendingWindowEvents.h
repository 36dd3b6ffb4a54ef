#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** Hands the framework the window-system events that have been read but not
    dispatched.

    On Linux the framework dispatches the display's events when its
    connection becomes readable. A call that waits for the display's answer
    outside that dispatch (the framework's own look for finished paints on
    every frame, a focus or pointer query) reads whatever events have arrived
    meanwhile into Xlib's queue, where the connection no longer shows them: a
    key pressed at that moment (the second Tab of a quick Tab, Tab) waits
    there until the next event arrives, which on a still page may be never.
    Once a frame this looks at that queue, without asking the display, and
    when it holds events runs the framework's own dispatch for them.
    Elsewhere it does nothing.

    Made, used and destroyed on the message thread.
*/
class PendingWindowEvents
{
public:
    /** Watches from the frames of the given window, which may be on the
        desktop already or later. */
    explicit PendingWindowEvents (juce::Component& window);

    /** Dispatches the events waiting in the queue, if there are any; returns
        how many were waiting. */
    static int dispatchQueuedEvents();

private:
    //==============================================================================
#if JUCE_LINUX
    juce::VBlankAttachment frames;
#endif

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PendingWindowEvents)
};
