#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

//==============================================================================
/** A push button that draws itself: a rounded fill, a red or grey border and a
    white caption. Entering or pressing it shows the active fill, leaving it the
    fill at rest; releasing the mouse after a press anywhere runs onClick.

    It takes the keyboard focus (while enabled), and Return or Space clicks it
    as a mouse click does. While it has the focus and the keyboard is in use
    (see KeyboardFocusIndicator) it shows the active fill and a thin white
    frame inside its border; at rest it looks as it does without the focus.
    Screen readers read it as a button named by its caption, or by its title
    when the page gives it one (for a caption such as "+").

    It has no disabled look and no toggle state: a disabled button looks and
    reacts to the mouse like an enabled one, so the page's click handler
    decides what a click does.

    A page that wants the button drawn with its red border while the button
    would otherwise show its grey one sets paintOnParent and calls
    paintOntoParent from its own paint; the button then draws nothing itself.
*/
class ButtonComponent : public juce::Component
{
public:
    ButtonComponent (const juce::String& text,
                     bool smallCorners,
                     float fontHeight,
                     bool alternateColours,
                     bool greyBorder,
                     bool transparentFill);

    //==============================================================================
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override;
    void focusLost (FocusChangeType) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    /** Draws the button into its parent's Graphics at the button's own
        position, always with the red border. */
    void paintOntoParent (juce::Graphics& parentGraphics) const;

    /** The fill shown at rest and while pointed at or pressed. */
    juce::Colour getRestColour() const;
    juce::Colour getActiveColour() const;

    //==============================================================================
    juce::String text;
    juce::Colour fillColour;
    bool smallCorners;
    bool alternateColours;
    bool greyBorder;
    bool transparentFill;
    float fontHeight;
    std::function<void()> onClick;

    /** Set by a page that paints the button into its own Graphics. */
    bool paintOnParent = false;

private:
    //==============================================================================
    void drawButton (juce::Graphics& g, juce::Rectangle<int> area, juce::Colour outline) const;
    void showFill (juce::Colour colour);
    void click();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ButtonComponent)
};
