#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** Orders a page's components as they are read: line by line from the top,
    and from left to right within a line. A component belongs to the line of
    the components above it when its top edge lies above the middle of that
    line's first component, so a small control beside a taller caption (the
    back arrow beside the header's text, the refresh icon beside the profile
    selector) is read on the caption's line, not before or after it. Children
    follow their parent.

    For the keyboard it gives the Tab order of the components that take the
    focus (enabled ones only); for screen readers, every visible component,
    disabled ones too, so that a button that does nothing yet is still read,
    but not the parts inside one that is read as a whole (a text entry's
    caret, say).

    A page's main information (a caption, a status line) can hold the focus
    when the page appears without joining the Tab order: Tab then goes on to
    the control that follows it in reading order, and nothing comes back to
    it (see focusOnArrivalOnly).
*/
class ReadingOrderTraverser : public juce::ComponentTraverser
{
public:
    enum class Purpose
    {
        keyboard,
        accessibility
    };

    explicit ReadingOrderTraverser (Purpose purpose);

    juce::Component* getDefaultComponent (juce::Component* parent) override;
    juce::Component* getNextComponent (juce::Component* current) override;
    juce::Component* getPreviousComponent (juce::Component* current) override;
    std::vector<juce::Component*> getAllComponents (juce::Component* parent) override;

    /** The components in reading order by their bounds (which must be in the
        same coordinate space). */
    static std::vector<juce::Component*> inReadingOrder (std::vector<juce::Component*> components);

    /** Lets a component that is no control (it does nothing with keys) take
        the keyboard focus, so that it is what a screen reader reads first,
        while it stays out of the Tab order. */
    static void focusOnArrivalOnly (juce::Component& component);

    static bool isFocusedOnArrivalOnly (const juce::Component& component);

private:
    //==============================================================================
    juce::Component* findContainer (juce::Component& component) const;
    bool isContainer (const juce::Component& component) const;
    bool counts (const juce::Component& component, const juce::Component& container, const juce::Component* alsoCounting) const;
    bool isReadAsAWhole (juce::Component& component) const;
    void addInReadingOrder (juce::Component& parent, std::vector<juce::Component*>& result) const;
    std::vector<juce::Component*> componentsIn (juce::Component* parent, const juce::Component* alsoCounting) const;
    juce::Component* step (juce::Component* current, int direction);

    Purpose purpose;
};
