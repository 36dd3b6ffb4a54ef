#include "IMAlertWindowLNF.h"

#include "ui/Fonts.h"
#include "ui/KeyboardFocusIndicator.h"
#include "ui/Palette.h"

namespace
{
constexpr int alertButtonHeight = 34;

// The alert's text always starts this far from the top of the box.
constexpr int alertTextTop = 30;
}

IMAlertWindowLNF::IMAlertWindowLNF()
{
    setColour (juce::AlertWindow::textColourId, Palette::colour (Palette::black));
}

//==============================================================================
void IMAlertWindowLNF::drawButtonBackground (juce::Graphics& g,
                                             juce::Button& button,
                                             const juce::Colour&,
                                             bool shouldDrawButtonAsHighlighted,
                                             bool shouldDrawButtonAsDown)
{
    const auto focusShown = KeyboardFocusIndicator::isShownOn (button);
    const auto active = button.isEnabled() && (shouldDrawButtonAsHighlighted || shouldDrawButtonAsDown || focusShown);
    const auto frame = button.getLocalBounds().toFloat().reduced (2.0f);

    g.setColour (Palette::colour (active ? Palette::raisedSurface : Palette::darkSurface));
    g.fillRoundedRectangle (frame, 4.0f);

    g.setColour (Palette::colour (Palette::redAccent));
    g.drawRoundedRectangle (frame, 4.0f, 2.0f);

    if (focusShown)
        KeyboardFocusIndicator::drawFocusFrame (g, frame.reduced (1.0f), 3.0f);
}

juce::Font IMAlertWindowLNF::getTextButtonFont (juce::TextButton&, int)
{
    return regularFont (20.0f);
}

void IMAlertWindowLNF::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    // The framework's text-button layout, with the caption in white, or white
    // at a quarter opacity while the button is disabled.
    const auto font = getTextButtonFont (button, button.getHeight());
    g.setFont (font);
    g.setColour (Palette::colour (button.isEnabled() ? Palette::white : Palette::disabledButtonText));

    const auto yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const auto cornerSize = juce::jmin (button.getHeight(), button.getWidth()) / 2;
    const auto fontHeight = juce::roundToInt (font.getHeight() * 0.6f);
    const auto leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const auto rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const auto textWidth = button.getWidth() - leftIndent - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(),
                          leftIndent,
                          yIndent,
                          textWidth,
                          button.getHeight() - yIndent * 2,
                          juce::Justification::centred,
                          2);
}

//==============================================================================
void IMAlertWindowLNF::drawAlertBox (juce::Graphics& g,
                                     juce::AlertWindow& alert,
                                     const juce::Rectangle<int>&,
                                     juce::TextLayout& textLayout)
{
    const auto innerWidth = juce::jmax (alert.getWidth() - 2, 0);
    const auto innerHeight = juce::jmax (alert.getHeight() - 2, 0);
    const juce::Rectangle<float> box (1.0f, 1.0f, (float) innerWidth, (float) innerHeight);

    g.setColour (Palette::colour (Palette::overlayBox));
    g.fillRect (box);

    juce::Path frame;
    frame.addRectangle (box);
    g.setColour (Palette::colour (Palette::white));
    g.strokePath (frame, juce::PathStrokeType (3.0f));

    // The framework's own text area is not used: the text starts at a fixed
    // distance from the top and stops above the buttons.
    textLayout.draw (g,
                     juce::Rectangle<float> (1.0f,
                                             (float) alertTextTop,
                                             (float) innerWidth,
                                             (float) juce::jmax (innerHeight - alertButtonHeight - 20, 0)));
}

int IMAlertWindowLNF::getAlertWindowButtonHeight()
{
    return alertButtonHeight;
}

juce::Font IMAlertWindowLNF::getAlertWindowTitleFont()
{
    return mediumFont (20.0f);
}

juce::Font IMAlertWindowLNF::getAlertWindowMessageFont()
{
    return regularFont (18.0f);
}

juce::Font IMAlertWindowLNF::getAlertWindowFont()
{
    return regularFont (18.0f);
}
