#pragma once

#include <juce_events/juce_events.h>

//==============================================================================
/** Wakes the framework's main loop after a quit request, so that it sees it.

    On Linux the framework's main loop can miss a quit asked for while a modal
    alert's result is handled ("OK" on "Update Now!"): the alert's nested loop
    leaves the outer loop believing it dispatched nothing, so it goes back to
    sleep with the quit already received. Once a quit is posted the framework
    drops every further message, so no timer or message can end that sleep;
    only a window-system event does, which on an idle page may never come.
    wake() makes a pipe of its own readable, which the loop watches beside its
    message and display connections, so the loop's next wait returns at once.
    Elsewhere it does nothing.

    Use on the message thread.
*/
class MainLoopWakeUp
{
public:
    MainLoopWakeUp() = default;
    ~MainLoopWakeUp();

    /** Makes the main loop's next wait (or the one under way) return. */
    void wake();

private:
    //==============================================================================
#if JUCE_LINUX
    bool openPipe();

    int readEnd = -1, writeEnd = -1;
#endif

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainLoopWakeUp)
};
