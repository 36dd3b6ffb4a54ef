#pragma once

#include "Announcer.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A label that holds a page's main information (a status line) and may take
    the keyboard focus as the page appears, so that a screen reader reads it
    first. Tab and Shift+Tab go on from it in the page's own reading order,
    not in the order the framework's label would follow.

    Each change of its text is announced to screen readers once, wherever the
    page sets it (an empty text is not spoken; see Announcer).
*/
class StatusLabel : public juce::Label
{
public:
    StatusLabel() = default;

    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

protected:
    void textWasChanged() override;

private:
    //==============================================================================
    Announcer announcer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StatusLabel)
};
