#include "PageTour.h"

#include "ui/ReadingOrderTraverser.h"

// A key pressed by habit as a page appears: Return and Space, right after the
// page is shown and again once its own work has answered, neither leave the
// page (least of all a step back) nor start what counts against the
// profile's quotas (an HRTF download, an image submission's QR code), nor
// open the browser or an alert.

namespace
{
const juce::KeyPress returnKey { juce::KeyPress::returnKey };
const juce::KeyPress spaceKey { juce::KeyPress::spaceKey };
}

class FirstFocus : public PageTour
{
protected:
    /** Return, then Space, to whatever holds the focus; then everything
        they started is let to end, and a list they opened is closed. */
    void pressReturnAndSpace()
    {
        window->press (returnKey);
        window->press (spaceKey);
        settle();
        waitUntilIdle();
        juce::PopupMenu::dismissAllActiveMenus();
        settle();
    }

    void expectStillOn (GradientBackgroundComponent& page)
    {
        EXPECT_EQ (main().getCurrentPage(), &page) << "the page was left for " << typeid (currentPage()).name();
    }

    void expectNothingSpent()
    {
        EXPECT_EQ (server.countRequests ("/" + Endpoints::pullClient), 0) << "an HRTF download was started";
        EXPECT_EQ (server.countRequests ("/" + Endpoints::qrCode), 0) << "an image submission was started";
        EXPECT_TRUE (outside.opened.isEmpty()) << outside.opened.joinIntoString (", ");
        EXPECT_TRUE (alertLog.alerts.empty()) << alertLog.lastTitle();
    }

    /** Both updates waiting, so that any update button pressed would spend. */
    static StatusReply withUpdates (StatusReply reply)
    {
        reply.software = StatusReply::Software();
        reply.profileUpdate = StatusReply::ProfileUpdate();
        return reply;
    }
};

TEST_F (FirstFocus, StartPageOnTheFirstStartKeepsTheNameEntry)
{
    show();
    auto& page = main().getStartPage();
    EXPECT_EQ (juce::Component::getCurrentlyFocusedComponent(), &page.getUserNameEditor().editor);

    // Return is Begin, which refuses an empty name; Space types a blank
    // (after which Return would begin: the name is typed).
    pressReturnAndSpace();
    expectStillOn (page);

    expectNothingSpent();
    EXPECT_EQ (statusRequests(), 1) << "only the first start's software check";
    EXPECT_TRUE (main().getStore().getProfileNames().isEmpty());
}

TEST_F (FirstFocus, StartPageReachedFromHomeDoesNotGoBack)
{
    openWithProfile();
    main().getHomePage().onNavigate (profile, View::StartPage, {});
    auto& page = main().getStartPage();
    EXPECT_EQ (juce::Component::getCurrentlyFocusedComponent(), &page.getUserNameEditor().editor);

    pressReturnAndSpace();
    expectStillOn (page);
    expectNothingSpent();
}

TEST_F (FirstFocus, PersonalisePageDoesNotGoBackNorCheckNorDownload)
{
    // The ear image is processed already: a check would download at once.
    auto processed = statusReply;
    processed.hrtfRequested = 2;
    answerStatusWith (processed);
    open();
    main().getStore().mergeStatusReply ("Bea", juce::JSON::parse (statusReply.toJson()));
    const auto checksBefore = statusRequests();

    main().getStartPage().onNavigate ("Bea", View::StartPage, qrCodePng());
    auto& page = main().getPersonalizePage();
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    ASSERT_NE (focused, nullptr);
    EXPECT_EQ (focused->getTitle(), "QR Code");

    pressReturnAndSpace();
    expectStillOn (page);
    pressReturnAndSpace();
    expectStillOn (page);

    expectNothingSpent();
    EXPECT_EQ (statusRequests(), checksBefore) << "no check was asked for";
    EXPECT_TRUE (page.isTimerRunning()) << "the automatic checks go on";
}

TEST_F (FirstFocus, ProfileLoadedPageWaitsForItsPictureThenGoesOnHome)
{
    openWithProfile();
    main().getPersonalizePage().onNavigate (profile, View::StartPage, {});
    auto& page = main().getProfileLoadedPage();
    ASSERT_TRUE (page.isDownloadingScreenshot());

    // HOME has the focus and does nothing while the picture is fetched.
    window->press (returnKey);
    window->press (spaceKey);
    expectStillOn (page);
    waitUntilIdle();
    expectStillOn (page);

    // Once it has settled, Return takes the page's one way: on, home.
    window->press (returnKey);
    EXPECT_EQ (main().getCurrentPage(), &main().getHomePage());
    waitUntilIdle();
    expectNothingSpent();
}

TEST_F (FirstFocus, HomePageOnlyOpensTheProfileList)
{
    seedProfile ("Bea", statusReply);
    seedProfile (profile, statusReply);
    seedIds (profile, "hrtf_0a1b2c3d4e5f", "img_ann_1");
    show();
    auto& page = main().getHomePage();
    auto* selector = findChild<juce::ComboBox> (page, "UserBox");
    ASSERT_NE (selector, nullptr);
    EXPECT_EQ (juce::Component::getCurrentlyFocusedComponent(), selector);
    const auto selected = selector->getText();

    pressReturnAndSpace();
    expectStillOn (page);
    pressReturnAndSpace();
    expectStillOn (page);

    expectNothingSpent();
    EXPECT_EQ (selector->getText(), selected);
}

TEST_F (FirstFocus, UpdatesPageHoldsItsStatusLine)
{
    openWithProfile();
    answerStatusWith (withUpdates (statusReply));
    main().getHomePage().onNavigate (profile, View::Updates, {});
    auto& page = main().getUpdatesPage();
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    ASSERT_NE (focused, nullptr);
    EXPECT_NE (dynamic_cast<juce::Label*> (focused), nullptr) << "the status line";

    pressReturnAndSpace();
    expectStillOn (page);
    ASSERT_TRUE (page.isProfileUpdateAvailable() && page.isSoftwareUpdateAvailable());
    pressReturnAndSpace();
    expectStillOn (page);
    expectNothingSpent();

    // Tab goes on from the status line to the back arrow, as it is read.
    window->press (UiTest::tab);
    EXPECT_EQ (juce::Component::getCurrentlyFocusedComponent()->getName(), "Back");
    EXPECT_TRUE (ReadingOrderTraverser::isFocusedOnArrivalOnly (*focused));
}
