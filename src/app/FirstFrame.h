#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** Puts a window's first frame on the screen as soon as it is ready.

    The framework paints a window on its next refresh tick: on Linux a timer
    at the display's rate, started when the window is put on the desktop. A
    window whose start-up work is done shortly after that would otherwise
    stay empty for up to a whole refresh interval. This paints what the
    window has pending at once and, on Linux, sends it to the display
    instead of leaving it in Xlib's output buffer until the next event is
    read. Later frames come on the refresh ticks as before.
*/
struct FirstFrame
{
    /** Paints the window's pending area now; false when the window is not
        on the screen, and then nothing is done. Message thread only. */
    static bool paintNow (juce::Component& window);
};
