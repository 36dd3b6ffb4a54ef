#pragma once

#include "text/ShapedTextEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

//==============================================================================
/** A framed one-line text entry, 30 pixels high. The frame lightens while the
    pointer is on the component and turns pale after the text changes; edited
    becomes true on the first change, Return, Escape or focus loss and stays
    true until the page clears it, and onEdit is called each time. Pages use
    editor directly for its text; it shows a name in any script as it is
    written (ShapedTextEditor).

    A focus that the page gave the entry when it appeared, and that the user
    never took up (no click into it, no Tab to it, no key), does not count
    when it is lost: the entry stays unedited, as it was before the page gave
    it the focus. While the keyboard is in use (see KeyboardFocusIndicator)
    the focused entry's frame is white. Return runs onReturn after edited is
    set.
*/
class TextEditorComponent : public juce::Component
{
public:
    explicit TextEditorComponent (int width);

    //==============================================================================
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics& g) override;
    void focusOfChildComponentChanged (FocusChangeType cause) override;

    /** Screen readers see the editor, not its frame. */
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    //==============================================================================
    ShapedTextEditor editor;
    juce::Colour borderColour;
    bool edited = false;

    /** Called after a change of the text, Return, Escape or focus loss. */
    std::function<void()> onEdit;

    /** Run when Return is pressed in the entry, after onEdit; empty until the
        page sets it. */
    std::function<void()> onReturn;

private:
    //==============================================================================
    void markEdited();
    void showBorder (const char* argb);

    /** The user has taken up the focus: clicked into the entry or reached
        it with Tab since it last got the focus. */
    bool focusTakenUp = false;

    /** Notes a click into the editor, which may already have the focus. */
    struct ClickWatcher : public juce::MouseListener
    {
        explicit ClickWatcher (bool& flag)
            : clicked (flag)
        {
        }
        void mouseDown (const juce::MouseEvent&) override { clicked = true; }
        bool& clicked;
    };

    ClickWatcher clickWatcher { focusTakenUp };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextEditorComponent)
};
