#include "ExternalActions.h"

#include <juce_events/juce_events.h>

#include <utility>

namespace
{
// Characters a web address may carry, less '$': the address is handed to
// the system's opener, which on some desktops passes it through a shell
// inside double quotes, where '$' would start an expansion.
constexpr const char* addressCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                          "-._~:/?#[]@!&'()*+,;=%";
}

//==============================================================================
bool ExternalActions::isOpenableWebAddress (const juce::String& address)
{
    if (! (address.startsWithIgnoreCase ("https://") || address.startsWithIgnoreCase ("http://")))
        return false;

    if (! address.containsOnly (addressCharacters))
        return false;

    // A host must follow the scheme.
    const auto afterScheme = address.fromFirstOccurrenceOf ("://", false, false);
    return afterScheme.upToFirstOccurrenceOf ("/", false, false)
        .upToFirstOccurrenceOf ("?", false, false)
        .upToFirstOccurrenceOf ("#", false, false)
        .isNotEmpty();
}

bool ExternalActions::openInBrowser (const juce::String& address)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (! isOpenableWebAddress (address))
        return false;

    if (auto& launch = launcher())
        launch (address);

    return true;
}

void ExternalActions::requestQuit()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (auto& quit = quitRequester())
        quit();
}

//==============================================================================
void ExternalActions::launchInDefaultBrowser (const juce::String& address)
{
    juce::URL (address).launchInDefaultBrowser();
}

void ExternalActions::quitApplication()
{
    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
}

ExternalActions::BrowserLauncher& ExternalActions::launcher()
{
    static BrowserLauncher current { launchInDefaultBrowser };
    return current;
}

ExternalActions::QuitRequester& ExternalActions::quitRequester()
{
    static QuitRequester current { quitApplication };
    return current;
}

//==============================================================================
ExternalActions::ScopedOverride::ScopedOverride (BrowserLauncher newLauncher, QuitRequester newQuitRequester)
    : previousLauncher (std::exchange (launcher(), std::move (newLauncher)))
    , previousQuitRequester (std::exchange (quitRequester(), std::move (newQuitRequester)))
{
}

ExternalActions::ScopedOverride::~ScopedOverride()
{
    launcher() = std::move (previousLauncher);
    quitRequester() = std::move (previousQuitRequester);
}
