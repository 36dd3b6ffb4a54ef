#include "ButtonComponent.h"

#include "Fonts.h"
#include "KeyboardFocusIndicator.h"
#include "Palette.h"

namespace
{
// A button to screen readers: named by its title, or else its caption, and
// pressed as a click.
class ButtonComponentAccessibility : public juce::AccessibilityHandler
{
public:
    ButtonComponentAccessibility (ButtonComponent& buttonToWrap, std::function<void()> press)
        : juce::AccessibilityHandler (buttonToWrap,
                                      juce::AccessibilityRole::button,
                                      juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, std::move (press)))
        , button (buttonToWrap)
    {
    }

    juce::String getTitle() const override
    {
        const auto title = juce::AccessibilityHandler::getTitle();
        return title.isNotEmpty() ? title : button.text;
    }

private:
    ButtonComponent& button;
};
}

ButtonComponent::ButtonComponent (const juce::String& textToShow, const Options& options)
    : ButtonComponent (textToShow,
                       options.smallCorners,
                       options.fontHeight,
                       options.alternateColours,
                       options.greyBorder,
                       options.transparentFill)
{
}

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

    // A mouse click leaves the keyboard focus where it is, as before the
    // button took the focus at all.
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (false);
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

    click();

    if (safeThis != nullptr)
        showFill (getActiveColour());
}

void ButtonComponent::click()
{
    if (onClick)
        onClick();
}

//==============================================================================
bool ButtonComponent::keyPressed (const juce::KeyPress& key)
{
    if (! KeyboardFocusIndicator::isClickKey (key))
        return false;

    KeyboardFocusIndicator::setKeyboardInUse (true);
    click();
    return true;
}

void ButtonComponent::focusGained (FocusChangeType)
{
    repaint();
}

void ButtonComponent::focusLost (FocusChangeType)
{
    repaint();
}

std::unique_ptr<juce::AccessibilityHandler> ButtonComponent::createAccessibilityHandler()
{
    return std::make_unique<ButtonComponentAccessibility> (*this, [this]
                                                           { click(); });
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
    const auto focusShown = KeyboardFocusIndicator::isShownOn (*this);

    g.setColour (focusShown ? getActiveColour() : fillColour);
    g.fillRoundedRectangle (frame, cornerSize);

    g.setColour (outline);
    g.drawRoundedRectangle (frame, cornerSize, 2.0f);

    if (focusShown)
        KeyboardFocusIndicator::drawFocusFrame (g, frame.reduced (1.0f), cornerSize - 1.0f);

    g.setColour (Palette::colour (Palette::white));
    g.setFont (regularFont (fontHeight));
    g.drawText (text, area, juce::Justification::centred, false);
}
