#pragma once

#include <juce_core/juce_core.h>

#include <functional>

//==============================================================================
/** The two things the program asks of the world outside its window: opening a
    web address in the default browser and quitting the application. Every
    browser launch and every quit request of the alerts and pages goes through
    here, so that both happen in one place and tests can watch them instead.

    Use on the message thread only.
*/
class ExternalActions
{
public:
    using BrowserLauncher = std::function<void (const juce::String& address)>;
    using QuitRequester = std::function<void()>;

    /** Opens the address in the default browser. Only http and https addresses
        with a host are opened, as toBrowserAddress writes them; an empty or
        any other address opens nothing. Returns true when the launch was
        handed on. */
    static bool openInBrowser (const juce::String& address);

    /** Asks the running application to quit (the same as the system's own
        quit request); does nothing when there is no application object. */
    static void requestQuit();

    /** True for the addresses openInBrowser will open. */
    static bool isOpenableWebAddress (const juce::String& address);

    /** The address as the browser receives it: every character but the
        unreserved and reserved ones (less '$') percent-encoded as UTF-8, so
        that no shell or system launcher reads anything in it but an address.
        Escapes it already holds stay as they are. */
    static juce::String toBrowserAddress (const juce::String& address);

    //==============================================================================
    /** Replaces the browser launch and the quit request while it exists, then
        puts back what was there before. For tests. */
    class ScopedOverride
    {
    public:
        ScopedOverride (BrowserLauncher launcher, QuitRequester quitRequester);
        ~ScopedOverride();

    private:
        BrowserLauncher previousLauncher;
        QuitRequester previousQuitRequester;

        JUCE_DECLARE_NON_COPYABLE (ScopedOverride)
    };

private:
    //==============================================================================
    static void launchInDefaultBrowser (const juce::String& address);
    static void quitApplication();

    static BrowserLauncher& launcher();
    static QuitRequester& quitRequester();
};
