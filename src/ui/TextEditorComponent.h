#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A framed one-line text entry, 30 pixels high. The frame lightens while the
    pointer is on the component and turns pale after the text changes; edited
    becomes true on the first change, Return, Escape or focus loss and stays
    true until the page clears it, and onEdit is called each time. Pages use
    editor directly for its text.
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

    //==============================================================================
    juce::TextEditor editor;
    juce::Colour borderColour;
    bool edited = false;

    /** Called after a change of the text, Return, Escape or focus loss. */
    std::function<void()> onEdit;

private:
    //==============================================================================
    void markEdited();
    void showBorder (const char* argb);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextEditorComponent)
};
