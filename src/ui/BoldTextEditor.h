#pragma once

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
