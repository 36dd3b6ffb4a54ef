#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A plain alert with a single "OK" button (result 1), no icon, centred over
    the page it is shown for. Return presses "OK"; Escape dismisses it with 0.
*/
class StereoAlertWindow : public juce::AlertWindow
{
public:
    StereoAlertWindow (const juce::String& title, const juce::String& message, juce::Component* page);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StereoAlertWindow)
};
