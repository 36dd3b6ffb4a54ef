#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A read-only, word-wrapping text display in the regular face. Its text is
    white, or grey when built grey; setEmphasisedText shows one part of the
    text in white whatever the editor's own text colour. It takes no keyboard
    focus; screen readers read it as static text.
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

    //==============================================================================
    juce::TextEditor editor;
    int fontHeight;

private:
    //==============================================================================
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BoldTextEditor)
};
