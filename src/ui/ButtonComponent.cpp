#include "ButtonComponent.h"

#include "Fonts.h"
#include "Palette.h"

ButtonComponent::ButtonComponent (const juce::String& textToShow,
                                  bool useSmallCorners,
                                  float captionHeight,
                                  bool useAlternateColours,
                                  bool useGreyBorder,
                                  bool useTransparentFill)
    : text (textToShow)
    , smallCorners (useSmallCorners)
    , alternateColours (useAlternateColours)
    , greyBorder (useGreyBorder)
    , transparentFill (useTransparentFill)
    , fontHeight (captionHeight)
{
    fillColour = getRestColour();
}

//==============================================================================
juce::Colour ButtonComponent::getRestColour() const
{
    if (transparentFill)
        return Palette::colour (Palette::transparentFill);

    return Palette::colour (alternateColours ? Palette::alternateFill : Palette::darkSurface);
}

juce::Colour ButtonComponent::getActiveColour() const
{
    return Palette::colour (alternateColours ? Palette::alternateActiveFill : Palette::raisedSurface);
}

void ButtonComponent::showFill (juce::Colour colour)
{
    // The button is not opaque, so this also repaints the page beneath it,
    // which is what shows the new fill while the page draws the button.
    fillColour = colour;
    repaint();
}

//==============================================================================
void ButtonComponent::mouseEnter (const juce::MouseEvent&)
{
    showFill (getActiveColour());
}

void ButtonComponent::mouseExit (const juce::MouseEvent&)
{
    showFill (getRestColour());
}

void ButtonComponent::mouseDown (const juce::MouseEvent&)
{
    showFill (getActiveColour());
}

void ButtonComponent::mouseUp (const juce::MouseEvent&)
{
    // The click may run a modal alert or navigate; the button must still be
    // there to change its fill afterwards.
    juce::Component::SafePointer<ButtonComponent> safeThis (this);

    if (onClick)
        onClick();

    if (safeThis != nullptr)
        showFill (getActiveColour());
}

//==============================================================================
void ButtonComponent::paint (juce::Graphics& g)
{
    if (paintOnParent)
        return;

    drawButton (g,
                getLocalBounds(),
                Palette::colour (greyBorder ? Palette::greyBorder : Palette::redAccent));
}

void ButtonComponent::paintOntoParent (juce::Graphics& parentGraphics) const
{
    drawButton (parentGraphics, getBounds(), Palette::colour (Palette::redAccent));
}

void ButtonComponent::drawButton (juce::Graphics& g, juce::Rectangle<int> area, juce::Colour outline) const
{
    const auto cornerSize = smallCorners ? 4.0f : 16.0f;
    const auto frame = area.toFloat().reduced (2.0f);

    g.setColour (fillColour);
    g.fillRoundedRectangle (frame, cornerSize);

    g.setColour (outline);
    g.drawRoundedRectangle (frame, cornerSize, 2.0f);

    g.setColour (Palette::colour (Palette::white));
    g.setFont (regularFont (fontHeight));
    g.drawText (text, area, juce::Justification::centred, false);
}
