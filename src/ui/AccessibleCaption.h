#pragma once

#include "TextRow.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** What a screen reader reads for something a page paints itself: a caption,
    a picture. It draws nothing and never takes the mouse; it only lies where
    the painted thing is, so that it is read in its place among the page's
    controls, and carries its text (the title) and, for a picture, a
    description.
*/
class AccessibleCaption : public juce::Component
{
public:
    /** Static text read as the given text. */
    explicit AccessibleCaption (const juce::String& text);

    /** The same with another role, e.g. a picture. */
    AccessibleCaption (const juce::String& text, juce::AccessibilityRole role);

    /** The area in which the row's text is drawn, within its row area. */
    static juce::Rectangle<int> textArea (const TextRow& row);

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    juce::AccessibilityRole role;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AccessibleCaption)
};
