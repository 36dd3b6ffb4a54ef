#include "AccessibleCaption.h"

AccessibleCaption::AccessibleCaption (const juce::String& text)
    : AccessibleCaption (text, juce::AccessibilityRole::staticText)
{
}

AccessibleCaption::AccessibleCaption (const juce::String& text, juce::AccessibilityRole roleToUse)
    : role (roleToUse)
{
    setTitle (text);
    setInterceptsMouseClicks (false, false);
}

juce::Rectangle<int> AccessibleCaption::textArea (const TextRow& row)
{
    const auto width = juce::jmin ((float) row.area.getWidth(), row.font.getStringWidthFloat (row.text));
    const auto height = juce::jmin ((float) row.area.getHeight(), row.font.getHeight());

    return juce::Justification (row.justification)
        .appliedToRectangle (juce::Rectangle<float> (width, height), row.area.toFloat())
        .getSmallestIntegerContainer();
}

std::unique_ptr<juce::AccessibilityHandler> AccessibleCaption::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this, role);
}
