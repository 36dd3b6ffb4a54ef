#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** The app-wide look: draws every alert box and, as the default look, every
    plain text button. Alert texts are black. */
class IMAlertWindowLNF : public juce::LookAndFeel_V4
{
public:
    IMAlertWindowLNF();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IMAlertWindowLNF)
};
