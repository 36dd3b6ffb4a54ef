#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** An alert without buttons, no icon, centred over the page it is shown for.
    It closes only with Escape or a close request from the system (result 0).
*/
class MissingComponentsWindow : public juce::AlertWindow
{
public:
    MissingComponentsWindow (const juce::String& title, const juce::String& message, juce::Component* page);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MissingComponentsWindow)
};
