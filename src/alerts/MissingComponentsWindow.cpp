#include "MissingComponentsWindow.h"

MissingComponentsWindow::MissingComponentsWindow (const juce::String& title, const juce::String& message, juce::Component* page)
    : juce::AlertWindow (title, message, juce::MessageBoxIconType::NoIcon, page)
{
}
