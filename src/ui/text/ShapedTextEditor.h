#pragma once

#include "TextLine.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A one-line text entry that shows its text as it is written, in any
    script.

    It is the framework's text editor, which keeps everything it does well:
    typing, the clipboard, undo, the input methods that compose Han, Kana or
    Hangul on Windows (it is the framework's text-input target), and what
    screen readers are told. While the framework draws the text as written
    (TextLine::frameworkDrawsAsWritten), the editor draws exactly as the
    framework's does. Otherwise the framework's own view of the text, its
    selection and caret is hidden (its caret's visibility stays, and this
    editor's caret follows it) and this editor draws them from a
    TextLine instead, and takes over what depends on where the characters
    stand: where a click puts the caret, Left and Right (which move on the
    screen, through right-to-left runs too), Backspace and Delete (which
    remove a whole grapheme cluster before or after the caret), and the caret
    and character positions that input methods and screen readers ask for.
    Home and End go to the start and end of the text in reading order, as
    the framework's do.

    The text is left-aligned and scrolls to keep the caret in view, like the
    framework's. Message thread only.
*/
class ShapedTextEditor : public juce::TextEditor, private juce::TextEditor::Listener, private juce::Timer
{
public:
    ShapedTextEditor();
    ~ShapedTextEditor() override;

    /** Sets the text as the framework's editor does, then lays it out. */
    void setText (const juce::String& newText, bool sendTextChangeMessage = true);

    /** True while this editor, not the framework, draws the text. */
    bool drawsTextItself() const noexcept { return ownDrawing; }

    /** The laid-out text (empty while the framework draws it). */
    const TextLine& getLine() const noexcept { return line; }

    //==============================================================================
    void insertTextAtCaret (const juce::String& textToInsert) override;
    void setHighlightedRegion (const juce::Range<int>& newSelection) override;
    juce::Rectangle<int> getCaretRectangleForCharIndex (int index) const override;
    int getCharIndexForPoint (juce::Point<int> point) const override;
    juce::RectangleList<int> getTextBounds (juce::Range<int> textRange) const override;
    void setTemporaryUnderlining (const juce::Array<juce::Range<int>>& underlinedRegions) override;

    void paintOverChildren (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void focusGained (FocusChangeType) override;
    void focusLost (FocusChangeType) override;
    void resized() override;

private:
    //==============================================================================
    void textEditorTextChanged (juce::TextEditor&) override;
    void timerCallback() override;

    /** Lays the text out again when it changed, and hands the drawing to the
        framework or takes it over. */
    void refresh();
    void useOwnDrawing (bool shouldDrawItself);

    /** Where the line starts and where its baseline lies, in this
        component's coordinates, before scrolling. */
    juce::Point<float> lineOrigin() const;
    juce::Rectangle<int> textArea() const;
    int caretIndex() const;
    void selectTo (int index, bool extend);
    void keepCaretInView();
    void restartCaretBlink();

    TextLine line;
    bool ownDrawing = false;
    float scroll = 0.0f;
    int anchor = 0, caret = 0; // while this editor draws: the selection's two ends
    bool caretShown = true;
    juce::Array<juce::Range<int>> composingRanges; // an input method's text being composed

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ShapedTextEditor)
};
