#pragma once

#include "OptionsRecord.h"
#include "text/TextLine.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A read-only, word-wrapping text display in the regular face. Its text is
    white, or grey when built grey; setEmphasisedText shows one part of the
    text in white whatever the editor's own text colour. It takes no keyboard
    focus; screen readers read it as static text.

    A display whose emphasised part is a name (namesInAnyScript) shows it as
    its owner wrote it: when the framework cannot draw the text as written,
    the display draws it itself as one line (TextLine), the parts side by
    side and each laid out on its own, so that a name's direction cannot
    reorder the text around it.
*/
class BoldTextEditor : public juce::Component
{
public:
    //==============================================================================
    /** The display's size and look, each setting named where it is made:

            BoldTextEditor (BoldTextEditor::Options {}.withSize (282, 35).withFontHeight (19).withGreyText())

        A setting left out is off (white text, centred at the top), and the
        text is standardFontHeight high in a display of no size.
    */
    struct Options
    {
        /** The display's width and height. */
        [[nodiscard]] Options withSize (int newWidth, int newHeight) const { return withMember (withMember (*this, &Options::width, newWidth), &Options::height, newHeight); }

        /** The text's height. */
        [[nodiscard]] Options withFontHeight (int newFontHeight) const { return withMember (*this, &Options::fontHeight, newFontHeight); }

        /** Grey text instead of white (the emphasised part stays white). */
        [[nodiscard]] Options withGreyText (bool shouldUse = true) const { return withMember (*this, &Options::grey, shouldUse); }

        /** Text on the left instead of centred at the top. */
        [[nodiscard]] Options withLeftJustifiedText (bool shouldUse = true) const { return withMember (*this, &Options::leftJustified, shouldUse); }

        static constexpr int standardFontHeight = 18;

        int width = 0;
        int height = 0;
        int fontHeight = standardFontHeight;
        bool grey = false;
        bool leftJustified = false;
    };

    //==============================================================================
    /** A display of the size and look the options name. */
    explicit BoldTextEditor (const Options& options);

    /** The same with every setting in its place: see Options. */
    BoldTextEditor (int width, int height, int fontHeight, bool grey, bool leftJustified);

    /** Shows prefix + emphasised + suffix, with the emphasised part in white.
        Three empty strings clear the display. */
    void setEmphasisedText (const juce::String& prefix,
                            const juce::String& emphasised,
                            const juce::String& suffix);

    /** Screen readers see the editor's text, not this holder of it. */
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    void paintOverChildren (juce::Graphics&) override;

    //==============================================================================
    juce::TextEditor editor;
    int fontHeight;

    /** Set by a page whose emphasised part is a name. */
    bool namesInAnyScript = false;

private:
    //==============================================================================
    juce::Colour textColour;
    bool centred;
    bool ownDrawing = false;
    TextLine prefixLine, emphasisedLine, suffixLine;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BoldTextEditor)
};
