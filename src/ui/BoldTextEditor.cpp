#include "BoldTextEditor.h"

#include "Fonts.h"
#include "Palette.h"

BoldTextEditor::BoldTextEditor (int width, int height, int fontHeightToUse, bool grey, bool leftJustified)
    : fontHeight (fontHeightToUse)
{
    setSize (width, height);

    editor.setReadOnly (true);

    // Read by screen readers as text, but no stop for Tab.
    editor.setWantsKeyboardFocus (false);
    editor.setMultiLine (true, true);
    editor.setLineSpacing (1.0f);
    editor.setColour (juce::TextEditor::textColourId, Palette::colour (grey ? Palette::greyText : Palette::white));
    editor.setColour (juce::TextEditor::highlightedTextColourId, Palette::colour (Palette::white));
    editor.setColour (juce::TextEditor::highlightColourId, juce::Colours::transparentBlack);
    editor.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
    editor.setColour (juce::TextEditor::outlineColourId, juce::Colours::transparentBlack);
    editor.setFont (regularFont ((float) fontHeight));
    editor.setJustification (leftJustified ? juce::Justification::left
                                           : juce::Justification (juce::Justification::horizontallyCentred
                                                                  | juce::Justification::top));

    addAndMakeVisible (editor);
    editor.setBounds (0, 0, width, height);
}

std::unique_ptr<juce::AccessibilityHandler> BoldTextEditor::createAccessibilityHandler()
{
    return createIgnoredAccessibilityHandler (*this);
}

void BoldTextEditor::setEmphasisedText (const juce::String& prefix,
                                        const juce::String& emphasised,
                                        const juce::String& suffix)
{
    const auto start = prefix.length();
    const juce::Range<int> emphasisedRange (start, juce::jmax (start, start + emphasised.length()));

    editor.setText (prefix + emphasised + suffix, true);
    editor.setTitle (editor.getText()); // what screen readers read

    // Replacing the selection with the same text in the display's font and
    // leaving it selected draws it in the highlighted-text colour (white) on
    // an invisible highlight.
    editor.setHighlightedRegion (emphasisedRange);
    editor.setFont (regularFont ((float) fontHeight));
    editor.insertTextAtCaret (emphasised);

    editor.setHighlightedRegion (emphasisedRange);
    editor.setLineSpacing (1.0f);
}
