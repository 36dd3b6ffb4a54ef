#include "ShapedTextEditor.h"

namespace
{
/** The framework's caret blinks at this pace; the editor's own does too. */
constexpr int caretBlinkMilliseconds = 380;

/** The framework's editor leaves this much room for the caret at the
    right-hand edge. */
constexpr int rightEdgeSpace = 2;
}

ShapedTextEditor::ShapedTextEditor()
{
    JUCE_ASSERT_MESSAGE_THREAD

    addListener (this);
}

ShapedTextEditor::~ShapedTextEditor()
{
    removeListener (this);
}

void ShapedTextEditor::setText (const juce::String& newText, bool sendTextChangeMessage)
{
    juce::TextEditor::setText (newText, sendTextChangeMessage);
    refresh();
}

//==============================================================================
void ShapedTextEditor::refresh()
{
    const auto text = getText();
    const auto framework = TextLine::frameworkDrawsAsWritten (text, getFont());

    if (! framework && (! ownDrawing || line.getText() != text))
        line = TextLine (text, getFont());

    if (framework)
        line = {};

    useOwnDrawing (! framework);
    caret = anchor = getCaretPosition();
    keepCaretInView();
    repaint();
}

void ShapedTextEditor::useOwnDrawing (bool shouldDrawItself)
{
    if (ownDrawing == shouldDrawItself)
        return;

    ownDrawing = shouldDrawItself;

    // The framework goes on laying the text out for itself, unseen: its view
    // of the text (which holds its text, selection and caret) is hidden, so
    // that a long text costs it no drawing either.
    for (auto* child : getChildren())
        if (dynamic_cast<juce::Viewport*> (child) != nullptr)
            child->setVisible (! ownDrawing);

    setScrollToShowCursor (! ownDrawing);

    if (ownDrawing)
    {
        restartCaretBlink();
    }
    else
    {
        stopTimer();
        scroll = 0.0f;
    }
}

void ShapedTextEditor::textEditorTextChanged (juce::TextEditor&)
{
    refresh();
}

void ShapedTextEditor::insertTextAtCaret (const juce::String& textToInsert)
{
    juce::TextEditor::insertTextAtCaret (textToInsert);
    refresh();
}

void ShapedTextEditor::setHighlightedRegion (const juce::Range<int>& newSelection)
{
    juce::TextEditor::setHighlightedRegion (newSelection);
    anchor = newSelection.getStart();
    caret = newSelection.getEnd();
    keepCaretInView();
    restartCaretBlink();
    repaint();
}

//==============================================================================
juce::Rectangle<int> ShapedTextEditor::textArea() const
{
    return getBorder().subtractedFrom (getLocalBounds());
}

juce::Point<float> ShapedTextEditor::lineOrigin() const
{
    // The framework's first line, whose place does not depend on the glyphs.
    const auto top = (float) juce::TextEditor::getCaretRectangleForCharIndex (0).getY();
    return { (float) (getLeftIndent() + getBorder().getLeft()), top + getFont().getAscent() };
}

int ShapedTextEditor::caretIndex() const
{
    return getHighlightedRegion().isEmpty() ? getCaretPosition() : caret;
}

void ShapedTextEditor::keepCaretInView()
{
    if (! ownDrawing)
        return;

    const auto visible = (float) juce::jmax (1, textArea().getWidth() - getLeftIndent() - rightEdgeSpace);
    const auto x = line.caretX (caretIndex());

    if (line.getWidth() <= visible)
        scroll = 0.0f;
    else if (x - scroll > visible)
        scroll = x - visible;
    else if (x - scroll < 0.0f)
        scroll = x;

    scroll = juce::jlimit (0.0f, juce::jmax (0.0f, line.getWidth() - visible), scroll);
}

void ShapedTextEditor::restartCaretBlink()
{
    caretShown = true;

    if (ownDrawing && hasKeyboardFocus (false))
        startTimer (caretBlinkMilliseconds);
    else
        stopTimer();
}

void ShapedTextEditor::timerCallback()
{
    caretShown = ! caretShown && hasKeyboardFocus (false) && ! isCurrentlyBlockedByAnotherModalComponent();
    repaint (getCaretRectangleForCharIndex (caretIndex()).expanded (1));
}

void ShapedTextEditor::selectTo (int index, bool extend)
{
    if (! extend)
    {
        juce::TextEditor::setCaretPosition (index);
        anchor = caret = index;
    }
    else
    {
        const auto from = getHighlightedRegion().isEmpty() ? getCaretPosition() : anchor;
        juce::TextEditor::setHighlightedRegion ({ juce::jmin (from, index), juce::jmax (from, index) });
        anchor = from;
        caret = index;
    }

    keepCaretInView();
    restartCaretBlink();
    repaint();
}

//==============================================================================
juce::Rectangle<int> ShapedTextEditor::getCaretRectangleForCharIndex (int index) const
{
    if (! ownDrawing)
        return juce::TextEditor::getCaretRectangleForCharIndex (index);

    const auto origin = lineOrigin();
    const auto x = origin.x - scroll + line.caretX (index);

    return juce::Rectangle<float> (x, origin.y - line.getAscent(), 2.0f, line.getHeight()).getSmallestIntegerContainer();
}

int ShapedTextEditor::getCharIndexForPoint (juce::Point<int> point) const
{
    if (! ownDrawing)
        return juce::TextEditor::getCharIndexForPoint (point);

    return line.indexAt ((float) point.x - lineOrigin().x + scroll);
}

juce::RectangleList<int> ShapedTextEditor::getTextBounds (juce::Range<int> textRange) const
{
    if (! ownDrawing)
        return juce::TextEditor::getTextBounds (textRange);

    juce::RectangleList<int> bounds;
    const auto origin = lineOrigin();

    for (const auto& span : line.spansOf (textRange))
        bounds.add (juce::Rectangle<float> (origin.x - scroll + span.getStart(), origin.y - line.getAscent(), span.getLength(), line.getHeight())
                        .getSmallestIntegerContainer());

    return bounds;
}

//==============================================================================
void ShapedTextEditor::paintOverChildren (juce::Graphics& g)
{
    juce::TextEditor::paintOverChildren (g);

    if (! ownDrawing)
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (textArea());

    const auto origin = lineOrigin();
    const auto selected = getHighlightedRegion();

    if (! selected.isEmpty())
    {
        g.setColour (findColour (highlightColourId).withMultipliedAlpha (hasKeyboardFocus (true) ? 1.0f : 0.5f));

        for (const auto& area : getTextBounds (selected))
            g.fillRect (area);
    }

    line.draw (g, origin.x - scroll, origin.y, findColour (textColourId));

    // What an input method is composing, underlined as the framework does.
    g.setColour (findColour (textColourId).withMultipliedAlpha (0.5f));

    for (const auto& composing : composingRanges)
        for (const auto& span : line.spansOf (composing))
            g.fillRect (juce::Rectangle<float> (origin.x - scroll + span.getStart(), origin.y + 2.0f, span.getLength(), 1.0f));

    if (caretShown && isCaretVisible() && hasKeyboardFocus (false) && ! isCurrentlyBlockedByAnotherModalComponent())
    {
        g.setColour (findColour (juce::CaretComponent::caretColourId, true));
        g.fillRect (getCaretRectangleForCharIndex (caretIndex()));
    }
}

void ShapedTextEditor::setTemporaryUnderlining (const juce::Array<juce::Range<int>>& underlinedRegions)
{
    juce::TextEditor::setTemporaryUnderlining (underlinedRegions);
    composingRanges = underlinedRegions;
    repaint();
}

void ShapedTextEditor::mouseDown (const juce::MouseEvent& e)
{
    if (! ownDrawing || e.mods.isPopupMenu())
    {
        juce::TextEditor::mouseDown (e);
        return;
    }

    newTransaction();
    selectTo (getCharIndexForPoint (e.getPosition()), e.mods.isShiftDown());
}

void ShapedTextEditor::mouseDrag (const juce::MouseEvent& e)
{
    if (! ownDrawing || e.mods.isPopupMenu())
    {
        juce::TextEditor::mouseDrag (e);
        return;
    }

    selectTo (getCharIndexForPoint (e.getPosition()), true);
}

void ShapedTextEditor::mouseUp (const juce::MouseEvent& e)
{
    if (! ownDrawing)
        juce::TextEditor::mouseUp (e);
    else
        newTransaction();
}

void ShapedTextEditor::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (! ownDrawing)
    {
        juce::TextEditor::mouseDoubleClick (e);
        return;
    }

    // The word under the pointer: the run of characters between blanks.
    const auto text = getText();
    const auto index = getCharIndexForPoint (e.getPosition());
    auto start = index, end = index;

    while (start > 0 && ! juce::CharacterFunctions::isWhitespace (text[start - 1]))
        --start;

    while (end < text.length() && ! juce::CharacterFunctions::isWhitespace (text[end]))
        ++end;

    setHighlightedRegion ({ start, end });
}

bool ShapedTextEditor::keyPressed (const juce::KeyPress& key)
{
    if (ownDrawing && ! key.getModifiers().isCommandDown() && ! key.getModifiers().isAltDown())
    {
        const auto code = key.getKeyCode();
        const auto extend = key.getModifiers().isShiftDown();

        if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey)
        {
            const auto selected = getHighlightedRegion();

            // Without Shift, a selection collapses to its edge on that side.
            if (! extend && ! selected.isEmpty())
            {
                const auto leftEdge = line.caretX (selected.getStart()) <= line.caretX (selected.getEnd()) ? selected.getStart() : selected.getEnd();
                const auto rightEdge = leftEdge == selected.getStart() ? selected.getEnd() : selected.getStart();
                selectTo (code == juce::KeyPress::leftKey ? leftEdge : rightEdge, false);
                return true;
            }

            selectTo (line.visualNeighbour (caretIndex(), code == juce::KeyPress::rightKey), extend);
            return true;
        }

        if ((code == juce::KeyPress::backspaceKey || code == juce::KeyPress::deleteKey) && ! isReadOnly())
        {
            if (getHighlightedRegion().isEmpty())
            {
                const auto at = getCaretPosition();
                const auto cluster = code == juce::KeyPress::backspaceKey ? juce::Range<int> (line.clusterStartBefore (at), at)
                                                                          : juce::Range<int> (at, line.clusterEndAfter (at));

                if (cluster.isEmpty())
                    return true;

                juce::TextEditor::setHighlightedRegion (cluster);
            }

            newTransaction();
            insertTextAtCaret ({});
            return true;
        }
    }

    const auto handled = juce::TextEditor::keyPressed (key);

    if (ownDrawing)
    {
        const auto selected = getHighlightedRegion();
        caret = getCaretPosition();
        anchor = selected.isEmpty() ? caret : (selected.getStart() == caret ? selected.getEnd() : selected.getStart());
        keepCaretInView();
        restartCaretBlink();
        repaint();
    }

    return handled;
}

void ShapedTextEditor::focusGained (FocusChangeType cause)
{
    juce::TextEditor::focusGained (cause);
    restartCaretBlink();
    repaint();
}

void ShapedTextEditor::focusLost (FocusChangeType cause)
{
    juce::TextEditor::focusLost (cause);
    restartCaretBlink();
    repaint();
}

void ShapedTextEditor::resized()
{
    juce::TextEditor::resized();
    keepCaretInView();
}
