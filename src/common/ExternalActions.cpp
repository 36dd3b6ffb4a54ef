#include "ExternalActions.h"

#include <juce_events/juce_events.h>

#include <cstring>
#include <utility>

namespace
{
// Characters an address may carry as they are: the unreserved and reserved
// ones, less '$'. The framework hands the address to a shell inside double
// quotes on Linux, where '$', '`', '"' and '\' are live, and to ShellExecute
// on Windows, whose handlers' command lines quote it the same way; anything
// else is percent-encoded, which browsers read back as the same address.
constexpr const char* charactersKeptAsTheyAre = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                                "-._~:/?#[]@!&'()*+,;=";

bool isHexDigit (char c)
{
    return juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (juce::uint8) c) >= 0;
}
}

//==============================================================================
bool ExternalActions::isOpenableWebAddress (const juce::String& address)
{
    if (! (address.startsWithIgnoreCase ("https://") || address.startsWithIgnoreCase ("http://")))
        return false;

    // A host must follow the scheme, after any user name and before any port.
    const auto authority = address.fromFirstOccurrenceOf ("://", false, false)
                               .upToFirstOccurrenceOf ("/", false, false)
                               .upToFirstOccurrenceOf ("?", false, false)
                               .upToFirstOccurrenceOf ("#", false, false);

    return authority.fromLastOccurrenceOf ("@", false, false)
        .upToFirstOccurrenceOf (":", false, false)
        .isNotEmpty();
}

juce::String ExternalActions::toBrowserAddress (const juce::String& address)
{
    const auto* bytes = address.toRawUTF8();
    const auto numBytes = address.getNumBytesAsUTF8();

    juce::MemoryOutputStream encoded (numBytes * 3);

    for (size_t i = 0; i < numBytes; ++i)
    {
        const auto c = bytes[i];

        // An escape the address already has stays one: encoding its '%'
        // again would change the address.
        const bool isEscape = c == '%' && i + 2 < numBytes && isHexDigit (bytes[i + 1]) && isHexDigit (bytes[i + 2]);

        if (isEscape || ((juce::uint8) c < 128 && c != 0 && std::strchr (charactersKeptAsTheyAre, c) != nullptr))
        {
            encoded.writeByte (c);
        }
        else
        {
            const auto byte = (juce::uint8) c;
            encoded.writeByte ('%');
            encoded.writeByte ("0123456789ABCDEF"[byte >> 4]);
            encoded.writeByte ("0123456789ABCDEF"[byte & 15]);
        }
    }

    return encoded.toString();
}

bool ExternalActions::openInBrowser (const juce::String& address)
{
    JUCE_ASSERT_MESSAGE_THREAD

    JUCE_ASSERT_MESSAGE_THREAD

    if (! isOpenableWebAddress (address))
        return false;

    if (auto& launch = launcher())
        launch (toBrowserAddress (address));

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
    // Unparsed: parsing would decode the query and fragment and encode them
    // again in the framework's own way.
    juce::URL::createWithoutParsing (address).launchInDefaultBrowser();
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
