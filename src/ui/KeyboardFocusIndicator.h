#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** Decides when a control shows that it has the keyboard focus: only while
    the keyboard is in use. The keyboard counts as in use from a Tab or
    Shift+Tab, or a key that clicks a control, until the next mouse press in a
    watched window or until a page appears (a page gives its first input the
    focus without showing it). At rest, with no key pressed, no control looks
    any different from how it looks without the focus.

    A window is watched once (the main component, each alert): the keys and
    mouse presses of its components pass by here. Space on a focused framework
    button clicks it, as Return does.

    Use on the message thread only.
*/
class KeyboardFocusIndicator
{
public:
    /** True when the component has the keyboard focus and the keyboard is in
        use: it then draws its focus indication. */
    static bool isShownOn (const juce::Component& component);

    static bool isKeyboardInUse();

    /** Changes the state and repaints the focused control's surroundings. */
    static void setKeyboardInUse (bool inUse);

    /** Watches the keys and mouse presses that reach the window's components. */
    static void watch (juce::Component& window);

    /** True for the keys that click a focused button: Return and Space. */
    static bool isClickKey (const juce::KeyPress& key);

    /** The focus frame every control draws with its active fill: a white line
        one pixel wide, just inside the area. */
    static void drawFocusFrame (juce::Graphics& g, juce::Rectangle<float> area, float cornerSize);
};
