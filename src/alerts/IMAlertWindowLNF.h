#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** The app-wide look: draws every alert box and, as the default look, every
    plain text button. Alert texts are black on a pale box with a white frame;
    buttons are dark with a red outline and a white caption.
*/
class IMAlertWindowLNF : public juce::LookAndFeel_V4
{
public:
    IMAlertWindowLNF();

    //==============================================================================
    void drawButtonBackground (juce::Graphics&,
                               juce::Button&,
                               const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted,
                               bool shouldDrawButtonAsDown) override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawButtonText (juce::Graphics&,
                         juce::TextButton&,
                         bool shouldDrawButtonAsHighlighted,
                         bool shouldDrawButtonAsDown) override;

    //==============================================================================
    void drawAlertBox (juce::Graphics&,
                       juce::AlertWindow&,
                       const juce::Rectangle<int>& textArea,
                       juce::TextLayout&) override;
    int getAlertWindowButtonHeight() override;
    juce::Font getAlertWindowTitleFont() override;
    juce::Font getAlertWindowMessageFont() override;
    juce::Font getAlertWindowFont() override;

private:
    //==============================================================================
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IMAlertWindowLNF)
};
