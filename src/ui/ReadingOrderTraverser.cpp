#include "ReadingOrderTraverser.h"

#include <algorithm>

namespace
{
const juce::Identifier focusOnArrivalOnlyProperty { "focusOnArrivalOnly" };
}

ReadingOrderTraverser::ReadingOrderTraverser (Purpose purposeToServe)
    : purpose (purposeToServe)
{
}

//==============================================================================
std::vector<juce::Component*> ReadingOrderTraverser::inReadingOrder (std::vector<juce::Component*> components)
{
    std::stable_sort (components.begin(), components.end(), [] (const juce::Component* a, const juce::Component* b)
                      { return a->getY() < b->getY(); });

    std::vector<juce::Component*> result;
    auto lineStart = components.begin();

    while (lineStart != components.end())
    {
        // A line holds at least its first component: one at most a pixel high
        // has its middle on its top edge, and would otherwise start an empty
        // line over and over.
        const auto lineMiddle = (*lineStart)->getBounds().getCentreY();
        const auto lineEnd = std::find_if (std::next (lineStart), components.end(), [lineMiddle] (const juce::Component* c)
                                           { return c->getY() >= lineMiddle; });

        std::vector<juce::Component*> line (lineStart, lineEnd);
        std::stable_sort (line.begin(), line.end(), [] (const juce::Component* a, const juce::Component* b)
                          { return a->getX() < b->getX(); });
        result.insert (result.end(), line.begin(), line.end());

        lineStart = lineEnd;
    }

    return result;
}

//==============================================================================
bool ReadingOrderTraverser::isContainer (const juce::Component& component) const
{
    return purpose == Purpose::keyboard ? component.isKeyboardFocusContainer() : component.isFocusContainer();
}

juce::Component* ReadingOrderTraverser::findContainer (juce::Component& component) const
{
    return purpose == Purpose::keyboard ? component.findKeyboardFocusContainer() : component.findFocusContainer();
}

void ReadingOrderTraverser::focusOnArrivalOnly (juce::Component& component)
{
    component.getProperties().set (focusOnArrivalOnlyProperty, true);
    component.setWantsKeyboardFocus (true);
}

bool ReadingOrderTraverser::isFocusedOnArrivalOnly (const juce::Component& component)
{
    return component.getProperties().contains (focusOnArrivalOnlyProperty);
}

bool ReadingOrderTraverser::counts (const juce::Component& component, const juce::Component& container, const juce::Component* alsoCounting) const
{
    if (purpose == Purpose::accessibility)
        return true;

    if (isFocusedOnArrivalOnly (component) && &component != alsoCounting)
        return false;

    return component.getWantsKeyboardFocus() && component.isEnabled() && container.isParentOf (&component);
}

bool ReadingOrderTraverser::isReadAsAWhole (juce::Component& component) const
{
    if (purpose != Purpose::accessibility)
        return false;

    const auto* handler = component.getAccessibilityHandler();

    if (handler == nullptr)
        return false;

    const auto role = handler->getRole();
    return role != juce::AccessibilityRole::ignored && role != juce::AccessibilityRole::unspecified
           && role != juce::AccessibilityRole::group;
}

void ReadingOrderTraverser::addInReadingOrder (juce::Component& parent, std::vector<juce::Component*>& result) const
{
    std::vector<juce::Component*> children;

    for (auto* child : parent.getChildren())
        if (child->isVisible() && (purpose == Purpose::accessibility || child->isEnabled()))
            children.push_back (child);

    for (auto* child : inReadingOrder (children))
    {
        result.push_back (child);

        if (! isContainer (*child) && ! isReadAsAWhole (*child))
            addInReadingOrder (*child, result);
    }
}

std::vector<juce::Component*> ReadingOrderTraverser::componentsIn (juce::Component* parent, const juce::Component* alsoCounting) const
{
    std::vector<juce::Component*> result;

    if (parent == nullptr)
        return result;

    addInReadingOrder (*parent, result);
    result.erase (std::remove_if (result.begin(), result.end(), [this, parent, alsoCounting] (const juce::Component* c)
                                  { return ! counts (*c, *parent, alsoCounting); }),
                  result.end());
    return result;
}

std::vector<juce::Component*> ReadingOrderTraverser::getAllComponents (juce::Component* parent)
{
    return componentsIn (parent, nullptr);
}

juce::Component* ReadingOrderTraverser::getDefaultComponent (juce::Component* parent)
{
    const auto all = getAllComponents (parent);
    return all.empty() ? nullptr : all.front();
}

juce::Component* ReadingOrderTraverser::step (juce::Component* current, int direction)
{
    if (current == nullptr)
        return nullptr;

    // A component that holds the focus outside the Tab order is placed
    // among the others by where it is read, so Tab goes on from there.
    const auto all = componentsIn (findContainer (*current), current);
    const auto here = std::find (all.begin(), all.end(), current);

    if (here == all.end())
        return nullptr;

    const auto index = std::distance (all.begin(), here) + direction;
    return index >= 0 && index < (std::ptrdiff_t) all.size() ? all[(size_t) index] : nullptr;
}

juce::Component* ReadingOrderTraverser::getNextComponent (juce::Component* current)
{
    return step (current, 1);
}

juce::Component* ReadingOrderTraverser::getPreviousComponent (juce::Component* current)
{
    return step (current, -1);
}
