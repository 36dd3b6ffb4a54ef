#include "TextEditorComponent.h"

#include "Fonts.h"
#include "KeyboardFocusIndicator.h"
#include "Palette.h"

TextEditorComponent::TextEditorComponent (int width)
    : borderColour (Palette::colour (Palette::entryFrame))
{
    editor.setReadOnly (false);
    editor.setMultiLine (false, true);
    editor.setFont (regularFont (18.0f));
    editor.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
    editor.setColour (juce::TextEditor::outlineColourId, juce::Colours::transparentBlack);
    editor.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colours::transparentBlack);
    editor.setColour (juce::TextEditor::textColourId, Palette::colour (Palette::entryText));
    editor.setColour (juce::TextEditor::highlightedTextColourId, Palette::colour (Palette::entryText));
    editor.setColour (juce::TextEditor::highlightColourId, Palette::colour (Palette::entryFrame));

    editor.onTextChange = [this]
    {
        borderColour = Palette::colour (Palette::entryFrameChanged);
        repaint();
        markEdited();
    };
    editor.onReturnKey = [this]
    {
        markEdited();

        if (onReturn)
            onReturn();
    };
    editor.onEscapeKey = [this]
    { markEdited(); };
    editor.onFocusLost = [this]
    {
        // A focus the page gave and the user never took up leaves the entry
        // unedited.
        if (focusTakenUp)
            markEdited();

        focusTakenUp = false;
    };

    editor.addMouseListener (&clickWatcher, false);

    addAndMakeVisible (editor);
    editor.setBounds (2, 2, juce::jmax (0, width - 16), 30);

    setSize (width, 30);
}

//==============================================================================
void TextEditorComponent::markEdited()
{
    edited = true;

    if (onEdit)
        onEdit();
}

void TextEditorComponent::showBorder (const char* argb)
{
    borderColour = Palette::colour (argb);
    repaint();
}

void TextEditorComponent::mouseEnter (const juce::MouseEvent&) { showBorder (Palette::entryFramePointed); }
void TextEditorComponent::mouseExit (const juce::MouseEvent&) { showBorder (Palette::entryFrame); }
void TextEditorComponent::mouseDown (const juce::MouseEvent&) { showBorder (Palette::entryFramePointed); }
void TextEditorComponent::mouseUp (const juce::MouseEvent&) { showBorder (Palette::entryFramePointed); }

void TextEditorComponent::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();

    g.setColour (Palette::colour (Palette::entryFill));
    g.fillRoundedRectangle (bounds, 8.0f);

    g.setColour (KeyboardFocusIndicator::isShownOn (editor) ? Palette::colour (Palette::white) : borderColour);
    g.drawRoundedRectangle (bounds.reduced (1.0f), 8.0f, 1.0f);
}

std::unique_ptr<juce::AccessibilityHandler> TextEditorComponent::createAccessibilityHandler()
{
    return createIgnoredAccessibilityHandler (*this);
}

void TextEditorComponent::focusOfChildComponentChanged (FocusChangeType cause)
{
    if (editor.hasKeyboardFocus (false) && cause != focusChangedDirectly)
        focusTakenUp = true;

    repaint();
}
