#include "OnboardingTestSupport.h"

#include "pages/onboarding/PersonalizeYourAudioComponent.h"
#include "ui/AccessibleCaption.h"
#include "ui/Palette.h"

using namespace OnboardingTest;

namespace
{
struct Navigation
{
    juce::String name;
    View view;
};

const juce::Point<int> iconDisc { 442, 168 }; // inside the status icon's disc, outside its glyph
const juce::Point<int> qrCentre { 161, 314 };
const juce::Point<int> overlayBox { 126, 236 };
const juce::String notDetectedFirstLine { "We haven't detected your ear image yet." };

/** The largest brightness among the area's pixels. */
float brightest (const juce::Image& image, juce::Rectangle<int> area)
{
    float result = 0.0f;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            result = juce::jmax (result, image.getPixelAt (x, y).getBrightness());

    return result;
}

const juce::String pullConnectionMessage { "Please check your internet connection and press DONE to continue." };
const juce::String notSavedMessage { "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n \n Then press DONE to try again or contact \n "
                                     + supportAddress + " if the issue persists." };
}

//==============================================================================
class PersonalisePage : public PageFixture
{
protected:
    void SetUp() override
    {
        PageFixture::SetUp();

        if (IsSkipped())
            return;

        makeStore().mergeStatusReply ("Ann", juce::JSON::parse (StatusReply().toJson()));
        page = std::make_unique<PersonalizeYourAudioComponent> (decoderLogo, partnerLogo, poweredByLogo, backArrow, *store);
        page->onNavigate = [this] (const juce::String& name, View view, const juce::Image&)
        { navigations.push_back ({ name, view }); };

        const auto qr = pngBytes (172, 172, juce::Colours::blue);
        page->setQrImage (juce::ImageFileFormat::loadFrom (qr.getData(), qr.getSize()));
        page->setCurrentProfile ("Ann");
    }

    void destroyPage() override { page.reset(); }

    /** Shows the page; the test then drives the ticks itself, so the real
        timer is pushed far out (it still counts as running). */
    void show (bool newProfile = true)
    {
        page->setVisible (false);
        page->newProfile = newProfile;
        page->setVisible (true);
        page->startTimer (3600 * 1000);
    }

    void tick (int count = 1)
    {
        for (int i = 0; i < count; ++i)
            page->timerCallback();
    }

    /** Ticks until the page has been visible for `seconds` ticks. */
    void tickTo (int seconds)
    {
        while (page->getSecondsVisible() < seconds)
            tick();
    }

    bool waitForIdle()
    {
        return waitFor ([&]
                        { return ! page->isCheckRunning() && ! busy && canQuit.isOpen(); });
    }

    void pressNext()
    {
        auto& button = page->getNextButton();
        button.mouseUp (UiTest::mouseEventOn (button));
    }

    void pressWatchNow()
    {
        auto& button = page->getWatchNowButton();
        button.mouseUp (UiTest::mouseEventOn (button));
    }

    void pressBack() { page->getBackButton().onClick(); }

    int statusChecks() const { return server.countRequests ("/" + Endpoints::statusCheck); }
    int pulls() const { return server.countRequests ("/" + Endpoints::pullClient); }

    void serveStatus (const StatusReply& reply) { serveReply (Endpoints::statusCheck, reply.toJson()); }

    void serveHrtf (const juce::String& hrtfId, const juce::String& imgId)
    {
        server.serve ("GET", "/hrtf/" + hrtfId, TestHttpResponse::bytes (hrtfBytes (8000)));
        serveReply (Endpoints::pullClient, pullReply (hrtfId, server.urlFor ("/hrtf/" + hrtfId), imgId));
    }

    /** Records a downloaded HRTF for the profile, as an earlier pull would. */
    void recordHrtf (const juce::String& hrtfId, const juce::String& imgId)
    {
        store->updateHrtfIds ("Ann", juce::JSON::parse (R"({"hrtf_id": ")" + hrtfId + R"(", "hrtf_url": "https://x/", "img_id": ")" + imgId + R"(", "auralis_id": "a"})"));
    }

    void expectAlert (const juce::String& title, const juce::String& message)
    {
        ASSERT_EQ (alerts.size(), 1u);
        EXPECT_EQ (alerts.last().title, title);
        EXPECT_EQ (alerts.last().message, message);
    }

    juce::Image paint() { return UiTest::snapshot (*page); }

    /** Whether screen readers find the page's caption with that text. */
    bool isCaptionShown (const juce::String& text) const
    {
        for (auto* child : page->getChildren())
            if (dynamic_cast<AccessibleCaption*> (child) != nullptr && child->getTitle() == text)
                return child->isVisible();

        return false;
    }

    std::unique_ptr<PersonalizeYourAudioComponent> page;
    std::vector<Navigation> navigations;
};

//==============================================================================
TEST_F (PersonalisePage, ChecksFromTick60EveryTwentyOneIdleTicksUntilTick239)
{
    // The first check is held for eleven ticks, which do not count towards
    // the next one.
    auto firstRequest = std::make_shared<std::atomic<bool>> (true);
    server.on ("POST", "/" + Endpoints::statusCheck, [this, firstRequest] (const TestHttpRequest&)
               {
                   if (firstRequest->exchange (false))
                       gate.wait();

                   return TestHttpResponse::json (StatusReply().toJson()); });
    startServer();
    show();

    auto image = paint();
    saveSnapshot (image, "personalise-page-waiting");
    EXPECT_TRUE (page->getChildren().contains (const_cast<BoldTextEditor*> (&page->getLoggedInAs())));
    EXPECT_EQ (page->getLoggedInAs().editor.getText(), "Logged in as  Ann");
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (iconDisc.x, iconDisc.y), Palette::colour (Palette::greenMark)));
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (qrCentre.x, qrCentre.y), juce::Colours::blue));

    tick (59);
    UiTest::pumpMessages (50);
    EXPECT_EQ (statusChecks(), 0);
    EXPECT_FALSE (page->isShowingNotDetected());

    std::vector<int> startTicks;

    for (int t = 60; t <= 242; ++t)
    {
        tick();
        ASSERT_EQ (page->getSecondsVisible(), t);

        if (page->isCheckRunning())
        {
            startTicks.push_back (t);

            if (t == 60)
            {
                tick (11);
                t += 11;
                gate.open();
            }

            ASSERT_TRUE (waitForIdle());
        }

        if (t == 241)
        {
            EXPECT_TRUE (page->isTimerRunning());
        }
    }

    EXPECT_EQ (startTicks, (std::vector<int> { 60, 92, 113, 134, 155, 176, 197, 218, 239 }));
    EXPECT_EQ (statusChecks(), 9);
    EXPECT_FALSE (page->isTimerRunning());
    EXPECT_EQ (alerts.size(), 0u);

    // From tick 60 the band says that no image has been found.
    image = paint();
    saveSnapshot (image, "personalise-page-not-detected");
    EXPECT_TRUE (page->isShowingNotDetected());
    EXPECT_FALSE (page->getChildren().contains (const_cast<BoldTextEditor*> (&page->getLoggedInAs())));
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (iconDisc.x, iconDisc.y), Palette::colour (Palette::redMark)));
    EXPECT_GT (brightest (image, { 131, 149, 290, 40 }), 0.9f);

    // Each request carries the profile's ids; this one has none yet.
    const auto body = server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText();
    EXPECT_TRUE (body.contains ("\"user_hrtf_info_fetch\""));
    EXPECT_FALSE (body.contains ("\"auralis_update_check\""));
}

TEST_F (PersonalisePage, OnlyACheckAfterNextReportsThatNoImageWasFound)
{
    serveStatus ({});
    startServer();
    show();

    tickTo (60);
    ASSERT_TRUE (waitForIdle());
    EXPECT_EQ (statusChecks(), 1);
    EXPECT_EQ (alerts.size(), 0u);
    EXPECT_TRUE (page->isTimerRunning());

    pressNext();
    ASSERT_TRUE (waitForIdle());
    expectAlert ("No image detected.", "Please scan this QR Code on your mobile device");
    EXPECT_FALSE (page->isTimerRunning());
    EXPECT_EQ (statusChecks(), 2);

    // Next still checks once the automatic checks have ended.
    pressNext();
    ASSERT_TRUE (waitForIdle());
    EXPECT_EQ (statusChecks(), 3);
    EXPECT_EQ (alerts.size(), 2u);
}

TEST_F (PersonalisePage, QuotasAreJudgedOnlyForAProfileFromTheHomePage)
{
    startServer();
    serveHrtf ("h_1", "img_1");

    serveStatus ({ 200, "ok", 2, 3, 2, 0 });
    show (false);
    pressNext();
    ASSERT_TRUE (waitForIdle());
    expectAlert ("Error!", "Maximum HRTFs reached.");
    EXPECT_EQ (pulls(), 0);
    EXPECT_TRUE (page->isTimerRunning());

    // The alert leaves the check counted as one started with Next: a later
    // automatic check that fails is reported as such and ends the automatic
    // checks.
    alerts.alerts.clear();
    serveReply (Endpoints::statusCheck, refusal (503, 1, "Service busy"));
    tickTo (60);
    ASSERT_TRUE (waitForIdle());
    expectAlert ("Service busy", "Press DONE to try again!");
    EXPECT_FALSE (page->isTimerRunning());

    alerts.alerts.clear();
    serveStatus ({ 200, "ok", 5, 3, 1, 2 });
    pressNext();
    ASSERT_TRUE (waitForIdle());
    expectAlert ("Error!", "Maximum pulls reached.");
    EXPECT_EQ (pulls(), 0);

    // The same numbers for a new profile raise nothing and start the download.
    alerts.alerts.clear();
    serveStatus ({ 200, "ok", 2, 3, 2, 0 });
    show (true);
    pressNext();
    ASSERT_TRUE (waitFor ([&]
                          { return ! navigations.empty(); }));
    EXPECT_EQ (alerts.size(), 0u);
    EXPECT_EQ (pulls(), 1);
}

TEST_F (PersonalisePage, ASubmissionIsNewWhenItsNumberExceedsTheImageIdsLast)
{
    startServer();
    serveHrtf ("h_3", "img_3");
    recordHrtf ("h_2", "ann_2");

    serveStatus ({ 200, "ok", 5, 2, 5, 1 });
    show (false);
    pressNext();
    ASSERT_TRUE (waitForIdle());
    expectAlert ("No image detected.", "Please scan this QR Code on your mobile device");
    EXPECT_EQ (page->getLastImageNumber(), 2);
    EXPECT_EQ (pulls(), 0);

    // The check sent the profile's current ids.
    const auto body = server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText();
    EXPECT_TRUE (body.contains ("\"auralis_update_check\""));
    EXPECT_TRUE (body.contains ("\"ann_2\""));

    serveStatus ({ 200, "ok", 5, 3, 5, 1 });
    pressNext();
    ASSERT_TRUE (waitFor ([&]
                          { return ! navigations.empty(); }));
    EXPECT_EQ (pulls(), 1);
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].name, "Ann");
    EXPECT_EQ (navigations[0].view, View::StartPage);

    ProfileRecord record;
    PresetStore fromDisk (dataFolder.getChildFile ("Presets"));
    ASSERT_TRUE (fromDisk.findProfile ("Ann", record));
    EXPECT_EQ (record.hrtf_id, "h_3");
    EXPECT_EQ (record.img_id, "img_3");
    EXPECT_TRUE (dataFolder.getChildFile ("h_3").existsAsFile());
    EXPECT_TRUE (dataFolder.getChildFile ("h_3_").existsAsFile());
}

TEST_F (PersonalisePage, AProcessedImageFoundAutomaticallyIsDownloaded)
{
    const auto data = hrtfBytes (8000);
    serveStatus ({ 200, "ok", 2, 1, 2, 0 });
    server.serve ("GET", "/hrtf/h_1", TestHttpResponse::bytes (data));
    server.on ("POST", "/" + Endpoints::pullClient, [this] (const TestHttpRequest&)
               {
                   gate.wait();
                   return TestHttpResponse::json (pullReply ("h_1", server.urlFor ("/hrtf/h_1"), "img_1")); });
    startServer();
    show();

    tickTo (60);
    ASSERT_TRUE (waitFor ([&]
                          { return busy.load(); }));
    EXPECT_EQ (page->overlayMessage, "Downloading Personalized HRTF ...");
    EXPECT_FALSE (canQuit.isOpen());

    const auto image = paint();
    saveSnapshot (image, "personalise-page-downloading");
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (overlayBox.x, overlayBox.y), Palette::colour (Palette::overlayBox), 20));

    // While the download runs nothing else starts, whatever the schedule says.
    pressNext();
    pressBack();
    pressWatchNow();
    tick (60);
    UiTest::pumpMessages (100);
    EXPECT_EQ (statusChecks(), 1);
    EXPECT_TRUE (navigations.empty());
    EXPECT_TRUE (outside.opened.isEmpty());

    gate.open();
    ASSERT_TRUE (waitFor ([&]
                          { return ! navigations.empty(); }));
    EXPECT_FALSE (busy);
    EXPECT_TRUE (canQuit.isOpen());
    EXPECT_EQ (alerts.size(), 0u);
    EXPECT_EQ (navigations[0].view, View::StartPage);

    juce::MemoryBlock written, backup;
    EXPECT_TRUE (dataFolder.getChildFile ("h_1").loadFileAsData (written));
    EXPECT_TRUE (dataFolder.getChildFile ("h_1_").loadFileAsData (backup));
    EXPECT_EQ (written, data);
    EXPECT_EQ (backup, data);
}

TEST_F (PersonalisePage, NextBackAndWatchNowWaitForARunningCheck)
{
    server.on ("POST", "/" + Endpoints::statusCheck, [this] (const TestHttpRequest&)
               {
                   gate.wait();
                   return TestHttpResponse::json (StatusReply().toJson()); });
    startServer();
    show();

    tickTo (60);
    ASSERT_TRUE (page->isCheckRunning());
    EXPECT_FALSE (canQuit.isOpen());

    pressNext();
    pressBack();
    pressWatchNow();
    UiTest::pumpMessages (100);
    EXPECT_TRUE (navigations.empty());
    EXPECT_TRUE (outside.opened.isEmpty());

    gate.open();
    ASSERT_TRUE (waitForIdle());
    EXPECT_EQ (statusChecks(), 1);
    EXPECT_EQ (alerts.size(), 0u);

    pressWatchNow();
    EXPECT_EQ (outside.opened, juce::StringArray ("https://video.example/watch?v=auralis-ear-photo"));

    pressBack();
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].name, "Ann");
    EXPECT_EQ (navigations[0].view, View::HomePage);
}

//==============================================================================
TEST_F (PersonalisePage, CheckFailuresAfterNextEndTheAutomaticChecks)
{
    startServer();

    struct Case
    {
        std::function<void()> serve;
        juce::String title, message;
    };

    const std::vector<Case> cases {
        { [this]
          { server.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::status (404)); },
          "Error!",
          connectionMessage },
        { [this]
          { serveReply (Endpoints::statusCheck, refusal (500, 1, "Service unavailable")); },
          "Service unavailable",
          "Press DONE to try again!" },
    };

    for (const auto& c : cases)
    {
        alerts.alerts.clear();
        c.serve();
        show();
        pressNext();
        ASSERT_TRUE (waitForIdle());
        expectAlert (c.title, c.message);
        EXPECT_FALSE (page->isTimerRunning()) << c.title;
        EXPECT_EQ (store->getProfileNames(), juce::StringArray ("Ann"));
    }
}

TEST_F (PersonalisePage, AutomaticCheckFailuresAreReportedAndTheChecksGoOn)
{
    startServer();

    struct Case
    {
        std::function<void()> serve;
        juce::String title, message;
    };

    const std::vector<Case> cases {
        { [this]
          { server.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::status (404)); },
          "Error!",
          connectionMessage },
        { [this]
          { serveReply (Endpoints::statusCheck, refusal (500, 1, "Service unavailable")); },
          "Service unavailable",
          "Trying Again!" },
    };

    for (const auto& c : cases)
    {
        alerts.alerts.clear();
        c.serve();
        show();

        // While the alert is up the timer goes on ticking; no second check
        // starts until the alert is closed.
        int requestsWhileAlertShown = -1;
        alerts.answer = [&] (juce::AlertWindow& window, const SeenAlert&)
        {
            tick (30);
            UiTest::pumpMessages (50);
            requestsWhileAlertShown = statusChecks();
            UiTest::pressKey (window, juce::KeyPress::returnKey);
        };

        const auto before = statusChecks();
        tickTo (60);
        ASSERT_TRUE (waitForIdle());
        expectAlert (c.title, c.message);
        EXPECT_EQ (requestsWhileAlertShown, before + 1);
        EXPECT_TRUE (page->isTimerRunning()) << c.title;

        // The ticks while the check (and its alert) ran do not count.
        alerts.answer = nullptr;
        tick (20);
        EXPECT_FALSE (page->isCheckRunning()) << c.title;
        tick();
        EXPECT_TRUE (page->isCheckRunning()) << c.title;
        ASSERT_TRUE (waitForIdle());
        EXPECT_EQ (statusChecks(), before + 2);
    }
}

TEST_F (PersonalisePage, DownloadFailuresEndTheAutomaticChecksAndKeepTheProfile)
{
    server.serve ("GET", "/hrtf/unsized", TestHttpResponse::bytes (hrtfBytes (4000)).withChunkedBody());
    startServer();

    struct Case
    {
        std::function<void()> serve;
        juce::String title, message;
    };

    const std::vector<Case> cases {
        { [this]
          { server.serve ("POST", "/" + Endpoints::pullClient, TestHttpResponse::status (502)); },
          "Error!",
          pullConnectionMessage },
        { [this]
          { serveReply (Endpoints::pullClient, refusal (403, 3, "limit")); },
          "Error!",
          "You have reached the maximum number of downloads for this profile, please contact " + supportAddress },
        { [this]
          { serveReply (Endpoints::pullClient, refusal (500, 1, "Server busy")); },
          "Error!",
          "Server busy" },
        { [this]
          { serveReply (Endpoints::pullClient, pullReply ("h_1", server.urlFor ("/hrtf/unsized"), "img_1")); },
          "Your profile could not be saved.",
          notSavedMessage },
    };

    serveStatus ({ 200, "ok", 2, 1, 2, 0 });

    for (size_t i = 0; i < cases.size(); ++i)
    {
        const auto& c = cases[i];
        alerts.alerts.clear();
        c.serve();
        show();

        // Alternately after Next and after an automatic check.
        if (i % 2 == 0)
            pressNext();
        else
            tickTo (60);

        ASSERT_TRUE (waitFor ([&]
                              { return alerts.size() == 1 && ! busy && ! page->isCheckRunning(); }));
        expectAlert (c.title, c.message);
        EXPECT_FALSE (page->isTimerRunning()) << c.title;
        EXPECT_TRUE (navigations.empty());
        EXPECT_TRUE (canQuit.isOpen());

        ProfileRecord record;
        EXPECT_TRUE (store->findProfile ("Ann", record));
        EXPECT_TRUE (record.hrtf_id.isEmpty());
        EXPECT_EQ (PresetStore (dataFolder.getChildFile ("Presets")).getProfileNames(), juce::StringArray ("Ann"));
        EXPECT_FALSE (dataFolder.getChildFile ("h_1").exists());
        EXPECT_FALSE (dataFolder.getChildFile ("h_1_").exists());
    }
}

TEST_F (PersonalisePage, ShowingThePageAgainStartsTheWaitAfresh)
{
    serveStatus ({});
    startServer();
    show();

    tickTo (70);
    ASSERT_TRUE (waitForIdle());
    EXPECT_TRUE (page->isShowingNotDetected());
    EXPECT_TRUE (isCaptionShown (notDetectedFirstLine)) << "without a paint";

    page->setVisible (false);
    EXPECT_FALSE (page->isTimerRunning());

    show();
    EXPECT_EQ (page->getSecondsVisible(), 0);
    EXPECT_FALSE (page->isShowingNotDetected());
    EXPECT_FALSE (isCaptionShown (notDetectedFirstLine));
    EXPECT_TRUE (page->isTimerRunning());

    tick (59);
    UiTest::pumpMessages (50);
    EXPECT_EQ (statusChecks(), 1);
    tick();
    EXPECT_TRUE (page->isCheckRunning());
    ASSERT_TRUE (waitForIdle());
}
