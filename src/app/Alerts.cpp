#include "Alerts.h"

#include "ExternalActions.h"
#include "LinkAlertWindow.h"
#include "MissingComponentsWindow.h"
#include "StereoAlertWindow.h"
#include "ui/KeyboardFocusIndicator.h"

namespace
{
constexpr float dimmedPageOpacity = 0.7f;
constexpr float alertWindowOpacity = 0.93f;

using PagePointer = juce::Component::SafePointer<juce::Component>;

int runModally (juce::AlertWindow& window)
{
    // Screen readers name the alert by its title; Tab, Shift+Tab and Space
    // work its buttons as on the pages.
    window.setTitle (window.getName());
    KeyboardFocusIndicator::watch (window);

    window.setAlpha (alertWindowOpacity);
    return window.runModalLoop();
}

// The page may have gone while the alert was up (a quit during the loop).
void undimPage (const PagePointer& page)
{
    if (auto* p = page.getComponent())
        p->setAlpha (1.0f);
}
}

//==============================================================================
int showAlert (juce::Component& page, const juce::String& title, const juce::String& message)
{
    JUCE_ASSERT_MESSAGE_THREAD

    const PagePointer safePage (&page);
    page.setAlpha (dimmedPageOpacity);

    StereoAlertWindow window (title, message, &page);
    const auto result = runModally (window);

    undimPage (safePage);
    return result;
}

int showUpdateAlert (juce::Component& page,
                     const juce::String& title,
                     const juce::String& message,
                     const juce::String& downloadUrl)
{
    JUCE_ASSERT_MESSAGE_THREAD

    const PagePointer safePage (&page);
    page.setAlpha (dimmedPageOpacity);

    StereoAlertWindow window (title, message, &page);
    const auto result = runModally (window);

    if (result == 1)
    {
        ExternalActions::openInBrowser (downloadUrl);
        ExternalActions::requestQuit();
    }

    undimPage (safePage);
    return result;
}

int showUpdateAvailable (juce::Component& page,
                         const juce::String& title,
                         const juce::String& message,
                         const juce::String& firstButtonText,
                         const juce::String& secondButtonText)
{
    JUCE_ASSERT_MESSAGE_THREAD

    const PagePointer safePage (&page);
    page.setAlpha (dimmedPageOpacity);

    LinkAlertWindow window (title, message, &page);
    window.addButton (firstButtonText, 1);
    window.addButton (secondButtonText, 2);
    const auto result = runModally (window);

    undimPage (safePage);
    return result;
}

void showMissingComponents (juce::Component& page, const juce::String& title, const juce::String& message)
{
    juce::MessageManager::callAsync ([safePage = PagePointer (&page), title, message]
                                     {
                                         auto* p = safePage.getComponent();

                                         if (p == nullptr)
                                             return;

                                         p->setAlpha (dimmedPageOpacity);

                                         MissingComponentsWindow window (title, message, p);
                                         runModally (window);

                                         undimPage (safePage); });
}
