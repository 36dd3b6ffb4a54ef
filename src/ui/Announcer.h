#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

//==============================================================================
/** Tells a screen reader about a status text that has changed: a verdict, a
    result that changes a page. A page keeps one announcer per status text and
    hands it the text wherever the text is set, however often that is (some
    pages set their status texts on every paint): only a change is spoken, and
    an empty text is noted but not spoken.

    On Windows the announcement reaches Narrator through UI Automation; on
    Linux the framework has no screen-reader bridge and it goes nowhere.

    Use on the message thread only.
*/
class Announcer
{
public:
    Announcer() = default;

    /** Announces the text if it differs from the one handed over last. */
    void announceChange (const juce::String& text);

    /** Announces the text at once. */
    static void announce (const juce::String& text);

    //==============================================================================
    /** Hears every announcement instead of the screen reader while it exists.
        For tests. */
    class ScopedListener
    {
    public:
        explicit ScopedListener (std::function<void (const juce::String&)> listener);
        ~ScopedListener();

    private:
        std::function<void (const juce::String&)> previous;

        JUCE_DECLARE_NON_COPYABLE (ScopedListener)
    };

private:
    //==============================================================================
    static std::function<void (const juce::String&)>& listener();

    juce::String lastText;

    JUCE_DECLARE_NON_COPYABLE (Announcer)
};
