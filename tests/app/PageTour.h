#pragma once

#include "common/AppConstants.h"
#include "app/MainWindow.h"
#include "pages/account/AccountPageFixture.h"
#include "pages/account/AccountTexts.h"
#include "support/TestPeer.h"

//==============================================================================
/** The real program window, on a peer of the test's own (see TestPeer), on
    the fixture's data folder and server, led from page to page through the
    main component's own navigation, as the pages themselves ask for it.

    The bank holds "Ann" with her first HRTF and four image submissions left
    unless a test starts on an empty machine; the service answers every status
    check with statusReply, which a test may change before it moves on. A
    picture download for the profile-loaded page fails, so that page shows the
    picture compiled into the program.
*/
class PageTour : public AccountPageFixture
{
protected:
    void SetUp() override
    {
        AccountPageFixture::SetUp();

        if (IsSkipped())
            return;

        previousScreenshotAddress = AppConstants::getScreenshotAddress();
        AppConstants::setScreenshotAddressForTesting (server.urlFor ("/no-such-picture.png"));
        serveStatus (statusReply);
    }

    void TearDown() override
    {
        window.reset();

        if (previousScreenshotAddress.isNotEmpty())
            AppConstants::setScreenshotAddressForTesting (previousScreenshotAddress);

        AccountPageFixture::TearDown();
    }

    //==============================================================================
    /** Opens the program on a bank holding "Ann": the home page. */
    void openWithProfile()
    {
        seedProfile (profile, statusReply);
        seedIds (profile, "hrtf_0a1b2c3d4e5f", "img_ann_1");
        open();
    }

    /** Opens the program on the bank as it is on disk. */
    void open()
    {
        show();
        waitUntilIdle();
    }

    /** The same, returning as soon as the window is on the screen, while
        the first page's own work still runs. */
    void show()
    {
        window = std::make_unique<OnTestPeer<MainWindow>> (AppConstants::applicationName, dataFolder);
        window->setVisible (true);
        window->getPeer()->handleFocusGain(); // the desktop activates the window
    }

    MainComponent& main() { return window->getMainComponent(); }

    GradientBackgroundComponent& currentPage() { return *main().getCurrentPage(); }

    /** The service's answer for a new profile: no ear image submitted yet. */
    StatusReply newProfileReply() const
    {
        auto fresh = statusReply;
        fresh.hrtfRequested = 0;
        fresh.pullRequested = 0;
        return fresh;
    }

    /** Changes the service's answer to status checks from now on. */
    void answerStatusWith (const StatusReply& reply)
    {
        statusReply = reply;
        serveStatus (reply);
    }

    //==============================================================================
    // The ways between the pages, as the pages ask for them.

    void homeToStartPage()
    {
        main().getHomePage().onNavigate (profile, View::StartPage, {});
        waitUntilIdle();
    }

    void startPageToPersonalisePage()
    {
        main().getStartPage().onNavigate (profile, View::StartPage, qrCodePng());
        waitUntilIdle();
    }

    void personalisePageToProfileLoadedPage()
    {
        main().getPersonalizePage().onNavigate (profile, View::StartPage, {});
        waitUntilIdle();
    }

    void profileLoadedPageToHome()
    {
        main().getProfileLoadedPage().onNavigate (profile, View::StartPage, {});
        waitUntilIdle();
    }

    void homeToUpdatesPage()
    {
        main().getHomePage().onNavigate (profile, View::Updates, {});
        waitUntilIdle();
    }

    void updatesPageToHome()
    {
        main().getUpdatesPage().onNavigate (profile, View::HomePage, {});
        waitUntilIdle();
    }

    /** The personalise page after a minute without an ear image, its first
        automatic check answered. */
    void personalisePageWaitsAMinute()
    {
        auto& page = main().getPersonalizePage();

        while (! page.isShowingNotDetected())
            page.timerCallback();

        waitUntilIdle();
    }

    /** Types into the start page's name entry as the user would. */
    void enterName (const juce::String& name)
    {
        auto& entry = main().getStartPage().getUserNameEditor();
        entry.editor.setText (name, true);
        ASSERT_TRUE (waitFor ([&entry]
                              { return entry.edited; }));
        settle();
    }

    /** Waits until no service operation runs and every result is handled
        (the window could then be closed). */
    void waitUntilIdle()
    {
        auto& m = main();
        ASSERT_TRUE (waitFor ([&m]
                              { return canQuit.isOpen() && ! busy.load() && ! statusCheckBusy.load() && ! m.getHomePage().isCheckRunning()
                                       && ! m.getPersonalizePage().isCheckRunning()
                                       && ! m.getProfileLoadedPage().isDownloadingScreenshot(); }));
        settle();
    }

    //==============================================================================
    /** The window's content as the screen shows it once its paints have
        settled (a page may show what it judged in its previous paint), over
        the window's black background. A focused entry's caret, which blinks,
        is left out. */
    juce::Image render()
    {
        auto* focusedEditor = dynamic_cast<juce::TextEditor*> (juce::Component::getCurrentlyFocusedComponent());

        if (focusedEditor != nullptr)
            focusedEditor->setCaretVisible (false);

        auto image = opaqueSnapshot();

        for (int paints = 0; paints < 4; ++paints)
        {
            auto next = opaqueSnapshot();

            if (UiTest::countDifferingPixels (image, next) == 0)
                break;

            image = next;
        }

        if (focusedEditor != nullptr)
            focusedEditor->setCaretVisible (true);

        return image;
    }

    static juce::Image qrCodePng()
    {
        // Square modules like a QR code's, the same every run, at the size the
        // page draws it.
        constexpr int modules = 21, moduleSize = 8, margin = 2;
        juce::Image image (juce::Image::RGB, 172, 172, true);
        image.clear (image.getBounds(), juce::Colours::white);

        for (int y = 0; y < modules; ++y)
            for (int x = 0; x < modules; ++x)
                if ((x * 7 + y * 13) % 5 < 2 || (x < 7 && y < 7))
                    image.clear ({ margin + x * moduleSize, margin + y * moduleSize, moduleSize, moduleSize }, juce::Colours::black);

        return image;
    }

    const juce::String profile { "Ann" };
    StatusReply statusReply;
    std::unique_ptr<OnTestPeer<MainWindow>> window;

private:
    juce::Image opaqueSnapshot()
    {
        auto& content = main();
        juce::Image image (juce::Image::RGB, content.getWidth(), content.getHeight(), true);
        juce::Graphics g (image);
        g.fillAll (juce::Colours::black);
        g.drawImageAt (content.createComponentSnapshot (content.getLocalBounds(), true, 1.0f), 0, 0);
        return image;
    }

    juce::String previousScreenshotAddress;
};
