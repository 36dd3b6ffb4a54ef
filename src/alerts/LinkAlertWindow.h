#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** An alert offering two choices, no icon, centred over the page it is shown
    for. Its buttons are added by whoever shows it; Escape dismisses it with 0.
*/
class LinkAlertWindow : public juce::AlertWindow
{
public:
    LinkAlertWindow (const juce::String& title, const juce::String& message, juce::Component* page);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LinkAlertWindow)
};
