#include "Alerts.h"

#include "common/ExternalActions.h"
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

// Dims the page, runs an alert of the given kind over it, acts on the user's
// answer while the page is still dimmed, then lights the page again.
template <typename AlertType>
int runOverDimmedPage (juce::Component& page,
                       const juce::String& title,
                       const juce::String& message,
                       const std::function<void (AlertType&)>& addButtons = {},
                       const std::function<void (int)>& actOnAnswer = {})
{
    const PagePointer safePage (&page);
    page.setAlpha (dimmedPageOpacity);

    AlertType window (title, message, &page);

    if (addButtons != nullptr)
        addButtons (window);

    const auto result = runModally (window);

    if (actOnAnswer != nullptr)
        actOnAnswer (result);

    undimPage (safePage);
    return result;
}
}

//==============================================================================
int showAlert (juce::Component& page, const juce::String& title, const juce::String& message)
{
    JUCE_ASSERT_MESSAGE_THREAD

    JUCE_ASSERT_MESSAGE_THREAD
    return runOverDimmedPage<StereoAlertWindow> (page, title, message);
}

int showUpdateAlert (juce::Component& page,
                     const juce::String& title,
                     const juce::String& message,
                     const juce::String& downloadUrl)
{
    JUCE_ASSERT_MESSAGE_THREAD

    JUCE_ASSERT_MESSAGE_THREAD

    return runOverDimmedPage<StereoAlertWindow> (page, title, message, {}, [&downloadUrl] (int answer)
                                                 {
                                                     if (answer == 1)
                                                     {
                                                         ExternalActions::openInBrowser (downloadUrl);
                                                         ExternalActions::requestQuit();
                                                     } });
}

int showUpdateAvailable (juce::Component& page,
                         const juce::String& title,
                         const juce::String& message,
                         const juce::String& firstButtonText,
                         const juce::String& secondButtonText)
{
    JUCE_ASSERT_MESSAGE_THREAD

    JUCE_ASSERT_MESSAGE_THREAD

    return runOverDimmedPage<LinkAlertWindow> (page, title, message, [&] (LinkAlertWindow& window)
                                               {
                                                   window.addButton (firstButtonText, 1);
                                                   window.addButton (secondButtonText, 2); });
}

void showMissingComponents (juce::Component& page, const juce::String& title, const juce::String& message)
{
    juce::MessageManager::callAsync ([safePage = PagePointer (&page), title, message]
                                     {
                                         if (auto* p = safePage.getComponent())
                                             runOverDimmedPage<MissingComponentsWindow> (*p, title, message); });
}
