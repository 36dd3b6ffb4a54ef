#include "HomePageFixture.h"

#include "common/AppConstants.h"
#include "pages/onboarding/ProfileLoadedComponent.h"

namespace
{
StatusReply withImage()
{
    StatusReply reply;
    reply.hrtfRequested = 2;
    return reply;
}
}

//==============================================================================
using HomeBackgroundCheck = HomePageFixture;

TEST_F (HomeBackgroundCheck, UnreachableServiceShowsTheConnectionMessage)
{
    seedProfile ("Ann");
    server.stop();

    enter ("Ann");

    ASSERT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_EQ (alertLog.lastTitle(), "Error!");
    EXPECT_EQ (alertLog.lastMessage(), "Thank you for using Auralis.  Please check your internet connection to continue.");
    EXPECT_FALSE (page->areUpdatesAvailable());
    EXPECT_EQ (badgeText(), "");
    EXPECT_TRUE (canQuit.isOpen());
    EXPECT_TRUE (userBox().isEnabled());
}

TEST_F (HomeBackgroundCheck, AnswerOtherThanOkShowsNothingAndLeavesTheBadgeOff)
{
    auto reply = withImage();
    reply.status = 500;
    reply.software = StatusReply::Software {};
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    serveStatus (reply);

    enter ("Ann");

    EXPECT_TRUE (alertLog.alerts.empty());
    EXPECT_FALSE (page->areUpdatesAvailable());
    EXPECT_EQ (badgeText(), "");
    EXPECT_TRUE (canQuit.isOpen());
}

TEST_F (HomeBackgroundCheck, WaitingHrtfOrUpdateLightsTheBadge)
{
    seedProfile ("Ann");

    // No image yet and one HRTF requested: it waits for download.
    StatusReply waiting;
    waiting.hrtfRequested = 1;
    serveStatus (waiting);
    enter ("Ann");
    EXPECT_TRUE (page->areUpdatesAvailable());
    EXPECT_EQ (badgeText(), "1");

    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");

    struct Case
    {
        std::optional<StatusReply::Software> software;
        std::optional<StatusReply::ProfileUpdate> profileUpdate;
        bool badge;
    };

    const Case cases[] = {
        { {}, {}, false },
        { StatusReply::Software { 200, 1 }, {}, true },
        { StatusReply::Software { 200, 0 }, {}, false },
        { StatusReply::Software { 403, 1 }, {}, false },
        { {}, StatusReply::ProfileUpdate { 200, 0 }, true },
        { {}, StatusReply::ProfileUpdate { 200, 4, "Auralis update unavailable!" }, false },
    };

    for (const auto& c : cases)
    {
        auto reply = withImage();
        reply.software = c.software;
        reply.profileUpdate = c.profileUpdate;
        serveStatus (reply);

        // Entering again starts from a cleared badge.
        enter ("Ann");
        EXPECT_EQ (page->areUpdatesAvailable(), c.badge) << reply.toJson();
        EXPECT_EQ (badgeText(), c.badge ? "1" : "") << reply.toJson();
    }

    EXPECT_TRUE (alertLog.alerts.empty());
}

TEST_F (HomeBackgroundCheck, MissingHrtfDataIsReportedAndAnUpdateStillLightsTheBadge)
{
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");

    auto reply = withImage();
    reply.hrtfStatus = 401;
    reply.hrtfReturnCode = 1;
    serveStatus (reply);
    enter ("Ann");

    ASSERT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_EQ (alertLog.lastTitle(), "Could not find your HRTF data");
    EXPECT_EQ (alertLog.lastMessage(), "Press Refresh to check for Existing Images or Submit New Image to proceed!");
    EXPECT_FALSE (page->areUpdatesAvailable());

    reply.software = StatusReply::Software {};
    serveStatus (reply);
    enter ("Ann");

    EXPECT_EQ (alertLog.alerts.size(), 2u);
    EXPECT_TRUE (page->areUpdatesAvailable());
    EXPECT_EQ (badgeText(), "1");
    EXPECT_FALSE (page->isCheckRunning());
}

TEST_F (HomeBackgroundCheck, CompulsoryUpdateIsAnnouncedAndKeepsThePageLocked)
{
    seedProfile ("Ann");
    auto reply = withImage();
    reply.software = StatusReply::Software {};
    reply.software->forceUpdate = 1;
    serveStatus (reply);

    makePage();
    page->setVisible (true);
    page->setCurrentProfile ("Ann");
    ASSERT_TRUE (waitFor ([this]
                          { return alertLog.alerts.size() == 1; }));
    settle();

    EXPECT_EQ (alertLog.lastTitle(), "Update Now!");
    EXPECT_EQ (alertLog.lastMessage(), "Your Auralis software is out of date. Please update now for the best experience.");
    EXPECT_EQ (outside.opened, juce::StringArray ("https://downloads.example/auralis-0.0.11.exe"));
    EXPECT_EQ (outside.quitRequests, 1);

    // Entering again, as the main component does, announces it again;
    // dismissed without "OK", nothing opens and the page stays locked.
    alertLog.dismissWithEscape = true;
    page->setVisible (false);
    page->setCurrentProfile ("Ann");
    page->setVisible (true);
    ASSERT_TRUE (waitFor ([this]
                          { return alertLog.alerts.size() == 2; }));
    settle();

    EXPECT_EQ (statusRequests(), 2);
    EXPECT_EQ (outside.opened.size(), 1);
    EXPECT_EQ (outside.quitRequests, 1);
    EXPECT_TRUE (page->isCheckRunning());
    EXPECT_TRUE (canQuit.isOpen());

    EXPECT_TRUE (click (*page, "+"));
    EXPECT_TRUE (click (*page, "Check For Updates"));
    EXPECT_TRUE (navigation.empty());
}

TEST_F (HomeBackgroundCheck, CompulsoryUpdateWithoutAnAddressIsNotAnnounced)
{
    seedProfile ("Ann");
    auto reply = withImage();
    reply.software = StatusReply::Software {};
    reply.software->forceUpdate = 1;
    reply.software->downloadUrl = {};
    serveStatus (reply);

    enter ("Ann");

    EXPECT_TRUE (alertLog.alerts.empty());
    EXPECT_TRUE (page->areUpdatesAvailable());
    EXPECT_FALSE (page->isCheckRunning());
}

//==============================================================================
TEST_F (HomeBackgroundCheck, RefreshesOnceADayNotOnEveryTickAfterIt)
{
    seedProfile ("Ann");
    auto reply = withImage();
    reply.software = StatusReply::Software {};
    serveStatus (reply);
    enter ("Ann");
    ASSERT_EQ (statusRequests(), 1);
    ASSERT_TRUE (page->areUpdatesAvailable());
    page->stopTimer();

    serveStatus (withImage());

    for (int day = 1; day <= 2; ++day)
    {
        for (int i = 0; i < HomePageComponent::secondsPerDay; ++i)
            page->timerCallback();

        settle();
        EXPECT_EQ (statusRequests(), day);

        // The tick after a full day clears the badge and checks again.
        page->timerCallback();
        EXPECT_FALSE (page->areUpdatesAvailable());
        EXPECT_EQ (page->getSecondsVisible(), 0);
        ASSERT_TRUE (waitFor ([this]
                              { return ! page->isCheckRunning(); }));
        EXPECT_EQ (statusRequests(), day + 1);
    }
}

TEST_F (HomeBackgroundCheck, DailyRefreshWaitsForARunningCheck)
{
    seedProfile ("Ann");
    Gate gate;
    serveStatusBehind (gate, withImage());

    makePage();
    page->setVisible (true);
    page->setCurrentProfile ("Ann");
    page->stopTimer();
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 1; }));

    for (int i = 0; i <= HomePageComponent::secondsPerDay + 5; ++i)
        page->timerCallback();

    settle();
    EXPECT_EQ (statusRequests(), 1);
    EXPECT_TRUE (page->isCheckRunning());

    gate.open();
    ASSERT_TRUE (waitFor ([this]
                          { return ! page->isCheckRunning(); }));

    // The refresh that was due runs at the next tick, then counts afresh.
    page->timerCallback();
    EXPECT_EQ (page->getSecondsVisible(), 0);
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 2 && ! page->isCheckRunning(); }));
}

TEST_F (HomeBackgroundCheck, DailyRefreshWaitsWhileAnAlertIsOpen)
{
    seedProfile ("Ann");
    serveReply (Endpoints::statusCheck, "not a reply");

    makePage();
    bool checkStartedDuringAlert = true;
    alertLog.whileOpen = [this, &checkStartedDuringAlert]
    {
        alertLog.whileOpen = nullptr;

        // The ticks are the test's own from here: a real one after the alert
        // has closed would rightly start the refresh before the test looks.
        page->stopTimer();

        for (int i = 0; i <= HomePageComponent::secondsPerDay + 5; ++i)
            page->timerCallback();

        checkStartedDuringAlert = page->isCheckRunning();
    };

    enter ("Ann");
    ASSERT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_FALSE (checkStartedDuringAlert);
    EXPECT_EQ (statusRequests(), 1);

    // Once the alert has been answered, the next tick refreshes.
    page->timerCallback();
    EXPECT_TRUE (page->isCheckRunning());
    ASSERT_TRUE (waitFor ([this]
                          { return alertLog.alerts.size() == 2 && ! page->isCheckRunning(); }));
    EXPECT_EQ (statusRequests(), 2);
}

//==============================================================================
TEST_F (HomeBackgroundCheck, ARunningCheckIsNeverRestartedOrRedirected)
{
    StatusReply bob;
    bob.hrtfAllowed = 5;
    seedProfile ("Ann", bob);
    seedProfile ("Bob", bob);

    Gate gate;
    auto held = withImage();
    held.hrtfAllowed = 9;
    serveStatusBehind (gate, held);

    // The order the main component uses: the profile first, then visibility,
    // which clears checkRunning while the check it started still runs.
    makePage();
    page->setCurrentProfile ("Ann");
    page->setVisible (true);
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 1; }));
    settle();
    EXPECT_FALSE (page->isCheckRunning());

    choose (1);
    EXPECT_EQ (userBox().getText(), "Bob");
    EXPECT_EQ (statusRequests(), 1);

    gate.open();
    ASSERT_TRUE (waitFor ([this]
                          { return canQuit.isOpen(); }));
    settle();

    // The one check ran for the profile it was started for.
    EXPECT_EQ (statusRequests(), 1);
    ProfileRecord ann, bobRecord;
    ASSERT_TRUE (store->findProfile ("Ann", ann));
    ASSERT_TRUE (store->findProfile ("Bob", bobRecord));
    EXPECT_EQ (ann.hrtf_allowed, 9);
    EXPECT_EQ (bobRecord.hrtf_allowed, 5);
    EXPECT_FALSE (page->isCheckRunning());
}

TEST_F (HomeBackgroundCheck, SelectionSurvivesTheCheckReReadingTheBank)
{
    seedProfile ("Ann");
    seedProfile ("Bob");
    serveStatus (withImage());
    enter ("Ann");
    EXPECT_EQ (store->getLastSelectedPreset(), 0);

    choose (1);
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 2 && ! page->isCheckRunning(); }));
    settle();

    EXPECT_EQ (store->getLastSelectedPreset(), 1);
    store->save();
    EXPECT_EQ (PresetStore (dataFolder.getChildFile ("Presets")).getLastSelectedPreset(), 1);
}

TEST_F (HomeBackgroundCheck, ResultArrivingAfterLeavingThePageShowsNoAlert)
{
    seedProfile ("Ann");
    Gate gate;
    server.on ("POST", "/" + Endpoints::statusCheck, [opened = gate.opened] (const TestHttpRequest&)
               {
                   opened->wait (20000);
                   return TestHttpResponse::text ("no reply"); });

    makePage();
    page->setCurrentProfile ("Ann");
    page->setVisible (true);
    settle();
    EXPECT_FALSE (canQuit.isOpen());

    ASSERT_TRUE (click (*page, "+"));
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::StartPage);
    EXPECT_EQ (navigation[0].profile, "Ann");
    page->setVisible (false);

    gate.open();
    ASSERT_TRUE (waitFor ([]
                          { return canQuit.isOpen(); }));
    settle();
    EXPECT_TRUE (alertLog.alerts.empty());
}

TEST_F (HomeBackgroundCheck, ItsResultNeverOpensTheGateWhileAnotherPagesOperationRuns)
{
    // The next page's operation (the plug-in's picture on the profile-loaded
    // page) sets neither busy flag; the check's result must still leave the
    // window closed to the user until that operation lets it go.
    seedProfile ("Ann");
    Gate gate;
    auto reply = withImage();
    reply.software = StatusReply::Software {};
    serveStatusBehind (gate, reply);
    server.stall ("GET", "/picture.png");

    const auto previousScreenshotAddress = AppConstants::getScreenshotAddress();
    AppConstants::setScreenshotAddressForTesting (server.urlFor ("/picture.png"));

    makePage();
    page->setCurrentProfile ("Ann");
    page->setVisible (true);
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 1; }));
    page->setVisible (false);

    {
        ProfileLoadedComponent next ({}, {}, {}, *store);
        next.setVisible (true);
        ASSERT_TRUE (waitFor ([this]
                              { return server.countRequests ("/picture.png") == 1; }));

        gate.open();
        ASSERT_TRUE (waitFor ([this]
                              { return page->areUpdatesAvailable(); }));
        settle();
        EXPECT_FALSE (canQuit.isOpen());

        // At its deadline the page gives up on the picture and lets go.
        for (int tick = 0; tick < 6; ++tick)
            next.timerCallback();

        EXPECT_TRUE (canQuit.isOpen());
    }

    AppConstants::setScreenshotAddressForTesting (previousScreenshotAddress);
}

TEST_F (HomeBackgroundCheck, OverlappingChecksKeepThePageAndTheCloseGateShutUntilBothEnd)
{
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    serveQrCode();

    auto reply = withImage();
    reply.software = StatusReply::Software {};
    Gate first, second;
    server.on ("POST", "/" + Endpoints::statusCheck, [count = std::make_shared<std::atomic<int>>(), firstOpened = first.opened, secondOpened = second.opened, json = reply.toJson()] (const TestHttpRequest&)
               {
                   (++*count == 1 ? firstOpened : secondOpened)->wait (20000);
                   return TestHttpResponse::json (json); });

    // Becoming visible clears checkRunning while the check started on entry
    // runs on, so a submission can start beside it.
    makePage();
    page->setCurrentProfile ("Ann");
    page->setVisible (true);
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 1; }));
    settle();
    ASSERT_TRUE (click (*page, "Submit New Image"));
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 2; }));

    // The background check ends first: the submission still runs.
    first.open();
    ASSERT_TRUE (waitFor ([this]
                          { return page->areUpdatesAvailable(); }));
    settle();
    EXPECT_FALSE (canQuit.isOpen());
    EXPECT_TRUE (page->isCheckRunning());
    EXPECT_FALSE (userBox().isEnabled());

    ASSERT_TRUE (click (*page, "Submit New Image"));
    ASSERT_TRUE (click (*page, "+"));
    EXPECT_TRUE (navigation.empty());

    second.open();
    ASSERT_TRUE (waitFor ([this]
                          { return ! navigation.empty(); }));
    settle();
    EXPECT_EQ (navigation.back().view, View::PersonalizeYourAudio);
    EXPECT_EQ (statusRequests(), 2);
    EXPECT_TRUE (canQuit.isOpen());
    EXPECT_FALSE (page->isCheckRunning());
}
