#include "StereoAlertWindow.h"

#include "common/AppConstants.h"

StereoAlertWindow::StereoAlertWindow (const juce::String& title, const juce::String& message, juce::Component* page)
    : juce::AlertWindow (title, message, juce::MessageBoxIconType::NoIcon, page)
{
    addButton (AppConstants::okButtonText, 1);
}
