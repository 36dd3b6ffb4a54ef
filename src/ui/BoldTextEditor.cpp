#include "BoldTextEditor.h"

#include "Fonts.h"
#include "Palette.h"

BoldTextEditor::BoldTextEditor (const Options& options)
    : BoldTextEditor (options.width, options.height, options.fontHeight, options.grey, options.leftJustified)
{
}

BoldTextEditor::BoldTextEditor (int width, int height, int fontHeightToUse, bool grey, bool leftJustified)
    : fontHeight (fontHeightToUse)
    , textColour (Palette::colour (grey ? Palette::greyText : Palette::white))
    , centred (! leftJustified)
{
    setSize (width, height);

    editor.setReadOnly (true);

    // Read by screen readers as text, but no stop for Tab.
    editor.setWantsKeyboardFocus (false);
    editor.setMultiLine (true, true);
    editor.setLineSpacing (1.0f);
    editor.setColour (juce::TextEditor::textColourId, textColour);
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
    const auto font = regularFont ((float) fontHeight);

    // Text the framework cannot draw as written is drawn by this display;
    // the framework's drawing of it is made invisible.
    ownDrawing = namesInAnyScript && ! TextLine::frameworkDrawsAsWritten (prefix + emphasised + suffix, font);
    prefixLine = ownDrawing ? TextLine (prefix, font) : TextLine();
    emphasisedLine = ownDrawing ? TextLine (emphasised, font) : TextLine();
    suffixLine = ownDrawing ? TextLine (suffix, font) : TextLine();
    editor.setColour (juce::TextEditor::textColourId, ownDrawing ? juce::Colours::transparentBlack : textColour);
    editor.setColour (juce::TextEditor::highlightedTextColourId, ownDrawing ? juce::Colours::transparentBlack : Palette::colour (Palette::white));

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

void BoldTextEditor::paintOverChildren (juce::Graphics& g)
{
    if (! ownDrawing)
        return;

    // Where the framework's editor puts its first line: its left indent and
    // border, and, centred, the middle of the width it wraps at.
    const auto border = editor.getBorder();
    const auto left = (float) (editor.getX() + editor.getLeftIndent() + border.getLeft());
    const auto available = (float) (editor.getWidth() - border.getLeftAndRight() - editor.getLeftIndent() - 2);
    const auto width = prefixLine.getWidth() + emphasisedLine.getWidth() + suffixLine.getWidth();
    auto x = centred ? left + juce::jmax (0.0f, (available - width) * 0.5f) : left;
    const auto baseline = (float) (editor.getY() + editor.getCaretRectangleForCharIndex (0).getY()) + prefixLine.getAscent();

    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (editor.getBounds());

    prefixLine.draw (g, x, baseline, textColour);
    x += prefixLine.getWidth();
    emphasisedLine.draw (g, x, baseline, Palette::colour (Palette::white));
    x += emphasisedLine.getWidth();
    suffixLine.draw (g, x, baseline, textColour);
}
