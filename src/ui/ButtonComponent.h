#pragma once

#include "OptionsRecord.h"

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
    //==============================================================================
    /** How a button looks, each setting named where the button is made:

            ButtonComponent (caption, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder())

        A setting left out is off, and the caption is standardFontHeight high.
    */
    struct Options
    {
        /** Corners of radius 4 instead of 16. */
        [[nodiscard]] Options withSmallCorners (bool shouldUse = true) const { return withMember (*this, &Options::smallCorners, shouldUse); }

        /** The caption's height. */
        [[nodiscard]] Options withFontHeight (float newFontHeight) const { return withMember (*this, &Options::fontHeight, newFontHeight); }

        /** The light grey fills instead of the dark ones. */
        [[nodiscard]] Options withAlternateColours (bool shouldUse = true) const { return withMember (*this, &Options::alternateColours, shouldUse); }

        /** The grey border instead of the red one. */
        [[nodiscard]] Options withGreyBorder (bool shouldUse = true) const { return withMember (*this, &Options::greyBorder, shouldUse); }

        /** No fill at rest, whatever the colours. */
        [[nodiscard]] Options withTransparentFill (bool shouldUse = true) const { return withMember (*this, &Options::transparentFill, shouldUse); }

        static constexpr float standardFontHeight = 18.0f;

        bool smallCorners = false;
        float fontHeight = standardFontHeight;
        bool alternateColours = false;
        bool greyBorder = false;
        bool transparentFill = false;
    };

    //==============================================================================
    /** A button with the caption and the look the options name. */
    ButtonComponent (const juce::String& text, const Options& options);

    /** The same with every setting in its place: see Options. */
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
