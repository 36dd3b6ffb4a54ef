#include "OnboardingTestSupport.h"

#include "common/AppConstants.h"
#include "pages/onboarding/StartPageComponent.h"
#include "service/PictureDecoder.h"
#include "support/TestPictures.h"
#include "ui/Palette.h"

#include <limits>
#include <thread>
#include <utility>

using namespace OnboardingTest;

namespace
{
struct Navigation
{
    juce::String name;
    View view;
    juce::Image data;
};

// Pixels that tell the page's looks apart.
const juce::Point<int> iconDisc { 444, 352 }; // inside both icons' discs, outside their glyphs
const juce::Point<int> exclamationHole { 452, 349 }; // inside the exclamation bar
const juce::Point<int> beginBorder { 82, 418 }; // on Begin's left border
const juce::Point<int> overlayBox { 126, 236 }; // inside the busy overlay's box

juce::Colour colourOf (const char* argb) { return Palette::colour (argb); }

/** True when the pixel is nearer the first colour than the second. */
bool nearerTo (juce::Colour pixel, juce::Colour first, juce::Colour second)
{
    const auto distance = [pixel] (juce::Colour c)
    {
        return std::abs (pixel.getRed() - c.getRed()) + std::abs (pixel.getGreen() - c.getGreen()) + std::abs (pixel.getBlue() - c.getBlue());
    };

    return distance (first) < distance (second);
}

/** True when some pixel of the area is nearly black. */
bool hasDarkText (const juce::Image& image, juce::Rectangle<int> area)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getBrightness() < 0.2f)
                return true;

    return false;
}

/** True when some pixel of the area is drawn in the verdict's red. */
bool hasRedText (const juce::Image& image, juce::Rectangle<int> area)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (const auto p = image.getPixelAt (x, y); p.getRed() > 180 && p.getGreen() < 80 && p.getBlue() < 80)
                return true;

    return false;
}

const juce::Rectangle<int> verdictArea { 80, 370, 350, 24 };

/** The page, counting the paints asked of it: by its window, and by tests
    that take a snapshot. */
struct CountingStartPage : public StartPageComponent
{
    using StartPageComponent::StartPageComponent;

    void paint (juce::Graphics& g) override
    {
        ++paints;
        StartPageComponent::paint (g);
    }

    int paints = 0;
};
}

//==============================================================================
class StartPage : public PageFixture
{
protected:
    void SetUp() override
    {
        PageFixture::SetUp();

        if (IsSkipped())
            return;

        makeStore();
        page = std::make_unique<CountingStartPage> (decoderLogo, partnerLogo, poweredByLogo, backArrow, *store);
        page->onNavigate = [this] (const juce::String& name, View view, const juce::Image& data)
        { navigations.push_back ({ name, view, data }); };
    }

    void destroyPage() override { page.reset(); }

    void addProfile (const juce::String& name)
    {
        store->mergeStatusReply (name, juce::JSON::parse (StatusReply().toJson()));
    }

    void show (bool firstRun = false)
    {
        page->setVisible (false);
        page->firstRun = firstRun;
        page->setVisible (true);
    }

    /** Types a name as the user would (the change arrives asynchronously),
        then paints twice: once to judge it, once more for the icon. */
    juce::Image typeName (const juce::String& name)
    {
        auto& entry = page->getUserNameEditor();
        entry.editor.setText (name + "x", true);
        entry.editor.setText (name, true);
        EXPECT_TRUE (waitFor ([&]
                              { return entry.edited; }));
        UiTest::pumpMessages (10);
        paint();
        return paint();
    }

    juce::Image paint() { return UiTest::snapshot (*page); }

    void pressBegin()
    {
        auto& button = page->getBeginButton();
        button.mouseUp (UiTest::mouseEventOn (button));
    }

    void pressBack() { page->getBackButton().onClick(); }

    /** Types a valid name and presses Begin. */
    void registerName (const juce::String& name)
    {
        typeName (name);
        ASSERT_TRUE (page->getBeginButton().paintOnParent);
        pressBegin();
    }

    /** Waits until the page has settled after an attempt: no operation runs
        and the expected alerts have been answered, or it navigated. */
    bool waitForOutcome (size_t expectedAlerts)
    {
        return waitFor ([&]
                        { return (alerts.size() >= expectedAlerts || ! navigations.empty()) && ! busy && ! statusCheckBusy && canQuit.isOpen(); });
    }

    juce::StringArray namesOnDisk() const
    {
        PresetStore fromDisk (dataFolder.getChildFile ("Presets"));
        return fromDisk.getProfileNames();
    }

    void expectAlert (const juce::String& title, const juce::String& message)
    {
        ASSERT_EQ (alerts.size(), 1u);
        EXPECT_EQ (alerts.last().title, title);
        EXPECT_EQ (alerts.last().message, message);
    }

    void serveStatus (const StatusReply& reply) { serveReply (Endpoints::statusCheck, reply.toJson()); }

    /** A QR reply naming a picture on the test server. */
    void serveQrCode (const juce::MemoryBlock& picture)
    {
        server.serve ("GET", "/qr/bob.png", TestHttpResponse::bytes (picture, "image/png"));
        serveReply (Endpoints::qrCode, R"({"exec_id": "q1", "status_code": 200, "return_code": 0, "message": "ok", "qr_image_url": ")" + server.urlFor ("/qr/bob.png") + "\"}");
    }

    /** Does something to the page shown in a window, waits until the window
        repaints it (as it must for whatever changes the look), then reads
        one snapshot: the icon, the verdict (its text and whether its red is
        drawn) and Begin's border and state. */
    juce::String lookAfter (const std::function<void()>& action)
    {
        const auto paintsBefore = page->paints;
        action();
        EXPECT_TRUE (runMessageLoopUntil ([&]
                                          { return page->paints > paintsBefore; },
                                          5000));
        UiTest::pumpMessages (50);

        const auto image = paint();
        const auto icon = image.getPixelAt (iconDisc.x, iconDisc.y);
        const auto& begin = page->getBeginButton();
        const auto beginRed = nearerTo (image.getPixelAt (beginBorder.x, beginBorder.y), colourOf (Palette::redAccent), colourOf (Palette::greyBorder));

        return juce::String ("icon ")
               + (UiTest::coloursNear (icon, colourOf (Palette::redMark), 24) ? "error" : UiTest::coloursNear (icon, colourOf (Palette::greenMark), 24) ? "valid"
                                                                                                                                                        : "none")
               + ", verdict '" + page->getUserNameError().getText() + "'" + (hasRedText (image, verdictArea) ? " shown" : "")
               + ", Begin " + (beginRed ? "red" : "grey") + (begin.isEnabled() ? " enabled" : " disabled");
    }

    /** Types into the entry as the user would, and lets the change (which
        the entry posts) arrive. */
    void type (const juce::String& text)
    {
        page->getUserNameEditor().editor.setText (text, true);
        UiTest::pumpMessages (50);
    }

    std::unique_ptr<CountingStartPage> page;
    std::vector<Navigation> navigations;
};

//==============================================================================
TEST_F (StartPage, TheLookFollowsEditsTheStoreAndResultsAndAStillPageIsNotRepainted)
{
    const juce::String none ("icon none, verdict '', Begin grey disabled");
    const juce::String empty ("icon error, verdict 'Not a valid Username, please try again!' shown, Begin grey disabled");
    const juce::String taken ("icon error, verdict 'This Username is already registered on your device!' shown, Begin grey disabled");
    const juce::String valid ("icon valid, verdict '', Begin red enabled");

    startServer();
    addProfile ("Ann");
    page->addToDesktop (0);

    EXPECT_EQ (lookAfter ([&]
                          { show(); }),
               none);
    saveSnapshot (paint(), "start-page-fresh");

    // The header band's black outline is one row taller than the band: its
    // lower edge darkens the row below the band (the panel every framed page
    // draws).
    const auto fresh = paint();

    for (int x : { 150, 300, 440 })
        EXPECT_LT (fresh.getPixelAt (x, 199).getBrightness(), 0.8f * fresh.getPixelAt (x, 204).getBrightness()) << x;

    // Escape in the entry counts as an edit, even without typing.
    EXPECT_EQ (lookAfter ([&]
                          { page->getUserNameEditor().editor.onEscapeKey(); }),
               empty);
    saveSnapshot (paint(), "start-page-name-empty");

    EXPECT_EQ (lookAfter ([&]
                          { type ("Ann"); }),
               taken);
    saveSnapshot (paint(), "start-page-name-registered");

    // Names differing only in case are different names.
    EXPECT_EQ (lookAfter ([&]
                          { type ("ann"); }),
               valid);
    saveSnapshot (paint(), "start-page-name-valid");

    // The verdict follows the store, whichever thread changes it.
    EXPECT_EQ (lookAfter ([&]
                          { std::thread ([&]
                                         { addProfile ("ann"); })
                                .join(); }),
               taken);
    EXPECT_EQ (lookAfter ([&]
                          { store->removeProfile ("ann"); }),
               valid);

    // After a result the entry counts as unedited: the icon and Begin show
    // whether a name was accepted, until the next edit.
    const auto afterRegistering = [&] (const juce::String& name, size_t alertsBefore)
    {
        return lookAfter ([&]
                          {
                              type (name);
                              ASSERT_TRUE (waitFor ([&]
                                                    { return page->getBeginButton().paintOnParent; }));
                              pressBegin();
                              ASSERT_TRUE (waitForOutcome (alertsBefore + 1)); });
    };

    server.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::text ("down for maintenance", "text/plain", 503));
    EXPECT_EQ (afterRegistering ("Bob", 0), none) << "no reply to the status check";

    serveReply (Endpoints::statusCheck, refusal (409, 1, "Please choose another name"));
    EXPECT_EQ (afterRegistering ("Cid", 1), none) << "status check refused";

    serveStatus ({});
    server.serve ("POST", "/" + Endpoints::qrCode, TestHttpResponse::text ("down for maintenance", "text/plain", 503));
    EXPECT_EQ (afterRegistering ("Dan", 2), valid) << "no reply to the QR code request";

    serveStatus ({ 200, "ok", 2, 1, 2, 0 });
    server.serve ("POST", "/" + Endpoints::pullClient, TestHttpResponse::text ("down for maintenance", "text/plain", 503));
    EXPECT_EQ (afterRegistering ("Eve", 3), valid) << "no reply to the HRTF download";
    EXPECT_EQ (alerts.size(), 4u);

    EXPECT_EQ (lookAfter ([&]
                          { type ("Ann"); }),
               taken);

    // A still page is not painted again and again.
    UiTest::pumpMessages (200);
    const auto paintsBefore = page->paints;
    UiTest::pumpMessages (1000);
    EXPECT_LT (page->paints - paintsBefore, 5);

    // Showing the page again starts afresh.
    EXPECT_EQ (lookAfter ([&]
                          { show(); }),
               none);
    EXPECT_TRUE (page->getUserNameEditor().editor.getText().isEmpty());
}

TEST_F (StartPage, BeginAndBackAreRefusedWhileAnOperationRuns)
{
    serveStatus ({});
    startServer();
    addProfile ("Ann");
    page->setCurrentProfile ("Ann");
    show();
    typeName ("Bob");

    for (auto* flag : { &busy, &statusCheckBusy })
    {
        *flag = true;
        pressBegin();
        pressBack();
        UiTest::pumpMessages (200);
        EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 0);
        EXPECT_TRUE (navigations.empty());
        EXPECT_TRUE (page->getUserNameEditor().isEnabled());
        *flag = false;
    }

    pressBack();
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].name, "Ann");
    EXPECT_EQ (navigations[0].view, View::HomePage);

    // Without any profile there is no home page to go back to.
    store->removeProfile ("Ann");
    pressBack();
    EXPECT_EQ (navigations.size(), 1u);
}

TEST_F (StartPage, WhileTheNameIsCheckedTheEntryIsLockedAndBeginIgnored)
{
    server.on ("POST", "/" + Endpoints::statusCheck, [this] (const TestHttpRequest&)
               {
                   gate.wait();
                   return TestHttpResponse::json (refusal (409, 1, "Name taken")); });
    startServer();
    show();
    registerName ("Bob");

    ASSERT_TRUE (waitFor ([&]
                          { return server.countRequests ("/" + Endpoints::statusCheck) == 1; }));
    EXPECT_TRUE (statusCheckBusy);
    EXPECT_FALSE (canQuit.isOpen());
    EXPECT_FALSE (page->getUserNameEditor().isEnabled());

    // The entry is no longer edited, so the page follows the (unset) accepted flag.
    paint();
    EXPECT_FALSE (page->isShowingValidIcon());
    EXPECT_FALSE (page->getBeginButton().isEnabled());
    pressBegin();

    gate.open();
    ASSERT_TRUE (waitForOutcome (1));
    EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 1);
    EXPECT_TRUE (page->getUserNameEditor().isEnabled());
}

//==============================================================================
TEST_F (StartPage, FirstRunChecksForSoftwareBeforeAnythingElse)
{
    server.on ("POST", "/" + Endpoints::statusCheck, [this] (const TestHttpRequest&)
               {
                   gate.wait();
                   return TestHttpResponse::json (R"({"status_code": 200, "return_code": 0, "message": "ok",
                       "software_update_info": {"status_code": 200, "return_code": 1, "message": "Version 0.0.11 is available",
                       "release_notes": "Faster downloads.", "download_url": "https://downloads.example/auralis.exe", "force_update": 0}})"); });
    startServer();
    alerts.answer = [] (juce::AlertWindow& window, const SeenAlert&)
    { UiTest::clickButton (window, "Download Now!"); };

    show (true);
    EXPECT_TRUE (statusCheckBusy);
    EXPECT_FALSE (canQuit.isOpen());

    // No back arrow on the first run, and Begin waits for the result.
    typeName ("Bob");
    EXPECT_FALSE (page->getChildren().contains (&page->getBackButton()));
    pressBegin();
    UiTest::pumpMessages (100);

    gate.open();
    ASSERT_TRUE (waitForOutcome (1));
    expectAlert ("Version 0.0.11 is available", "Faster downloads.");
    EXPECT_EQ (alerts.last().numButtons, 2);
    EXPECT_EQ (outside.opened, juce::StringArray ("https://downloads.example/auralis.exe"));
    EXPECT_EQ (outside.quitRequests, 0);

    ASSERT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 1);
    const auto body = server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText();
    EXPECT_TRUE (body.contains ("\"software_update_check\""));
    EXPECT_FALSE (body.contains ("\"user_hrtf_info_fetch\""));
    EXPECT_TRUE (store->getProfileNames().isEmpty());
}

TEST_F (StartPage, FirstRunNoticesFollowTheSoftwareCheck)
{
    startServer();

    struct Case
    {
        juce::String reply;
        juce::String title, message;
        int quits;
    };

    const juce::String url ("https://downloads.example/auralis.exe");
    const std::vector<Case> cases {
        { {}, "Error!", connectionMessage, 0 },
        { R"({"status_code": 200, "software_update_info": {"status_code": 200, "return_code": 1, "force_update": 1, "download_url": ")" + url + "\"}}",
          "Update Now!",
          "Your Auralis software is out of date. Please update now for the best experience.",
          1 },
        { R"({"status_code": 200, "software_update_info": {"status_code": 403, "return_code": 1, "download_url": ")" + url + "\"}}",
          "Update Now!",
          "This Auralis version is no longer supported. Please update now for the best experience.",
          1 },
        { R"({"status_code": 200, "software_update_info": {"status_code": 200, "return_code": 0}})", {}, {}, 0 },
    };

    for (const auto& c : cases)
    {
        alerts.alerts.clear();
        outside.quitRequests = 0;

        if (c.reply.isEmpty())
            server.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::text ("down for maintenance", "text/plain", 503));
        else
            serveReply (Endpoints::statusCheck, c.reply);

        const auto requestsBefore = server.countRequests ("/" + Endpoints::statusCheck);
        show (true);
        ASSERT_TRUE (waitFor ([&]
                              { return ! statusCheckBusy; }));
        EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), requestsBefore + 1);
        EXPECT_TRUE (canQuit.isOpen());

        if (c.title.isEmpty())
        {
            UiTest::pumpMessages (100);
            EXPECT_EQ (alerts.size(), 0u);
        }
        else
        {
            expectAlert (c.title, c.message);
        }

        EXPECT_EQ (outside.quitRequests, c.quits) << c.title;
    }
}

TEST_F (StartPage, AFirstStartReadsRepliesCarryingWideIntegers)
{
    // Services add members of their own, such as nanosecond time stamps:
    // integers of 19 and 20 digits are read, not taken for a broken reply.
    const juce::String wide (R"("served_at_ns": 1733740000123456789, "trace": 18446744073709551615, )");
    const auto picture = pngBytes (172, 172, juce::Colours::blue);
    serveReply (Endpoints::statusCheck, "{" + wide + R"("status_code": 200, "return_code": 0, "message": "ok",
        "software_update_info": {"status_code": 200, "return_code": 0},
        "user_hrtf_info": {)" + wide + R"("status_code": 200, "return_code": 0, "hrtf_allowed": 2, "hrtf_requested": 0, "pull_allowed": 2, "pull_requested": 0}})");
    server.serve ("GET", "/qr/bob.png", TestHttpResponse::bytes (picture, "image/png"));
    startServer();
    serveReply (Endpoints::qrCode, "{" + wide + R"("status_code": 200, "return_code": 0, "message": "ok", "qr_image_url": ")" + server.urlFor ("/qr/bob.png") + "\"}");

    show (true);
    ASSERT_TRUE (waitFor ([&]
                          { return ! statusCheckBusy; }));
    UiTest::pumpMessages (100);
    EXPECT_EQ (alerts.size(), 0u);

    registerName ("Bob");
    ASSERT_TRUE (waitForOutcome (0));
    EXPECT_EQ (alerts.size(), 0u);
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].view, View::StartPage);
    EXPECT_TRUE (TestPictures::shows (navigations[0].data, picture));
}

//==============================================================================
TEST_F (StartPage, NoReplyToTheStatusCheckLeavesNothingBehind)
{
    startServer();
    show();
    registerName ("Bob");

    ASSERT_TRUE (waitForOutcome (1));
    expectAlert ("Error!", connectionMessage);
    EXPECT_TRUE (store->getProfileNames().isEmpty());
    EXPECT_FALSE (dataFolder.getChildFile ("Presets").exists());

    // The name was never accepted: no icon, Begin grey until it is edited.
    paint();
    EXPECT_FALSE (page->isProfileAccepted());
    EXPECT_FALSE (page->isShowingValidIcon());
    EXPECT_FALSE (page->getBeginButton().isEnabled());
    EXPECT_EQ (page->getUserNameEditor().editor.getText(), "Bob");
}

TEST_F (StartPage, ARefusedNameIsRemovedAgain)
{
    serveReply (Endpoints::statusCheck, refusal (409, 1, "Please choose another name"));
    startServer();
    addProfile ("Ann");
    show();
    registerName ("Bob");

    ASSERT_TRUE (waitForOutcome (1));
    expectAlert ("Please register again!", "Please choose another name");
    EXPECT_EQ (store->getProfileNames(), juce::StringArray ("Ann"));
    EXPECT_EQ (namesOnDisk(), juce::StringArray ("Ann"));
}

TEST_F (StartPage, ReturnInTheNameEntryBeginsOnlyWhenBeginWould)
{
    serveReply (Endpoints::statusCheck, refusal (409, 1, "Please choose another name"));
    startServer();
    addProfile ("Ann");
    show();

    const auto pressReturn = [this]
    {
        page->getUserNameEditor().editor.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        UiTest::pumpMessages();
    };

    // Names Begin refuses: a profile's own, and none at all.
    for (auto name : { "Ann", "" })
    {
        typeName (name);
        pressReturn();
        EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 0) << name;
    }

    typeName ("Bob");
    pressReturn();
    ASSERT_TRUE (waitForOutcome (1));
    EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 1);
    expectAlert ("Please register again!", "Please choose another name");
}

TEST_F (StartPage, AProfileWithoutDownloadsLeftIsRemoved)
{
    startServer();

    // The second pair's difference overflows an int.
    for (const auto& counters : { std::pair { 2, 2 }, std::pair { std::numeric_limits<int>::min(), 1 } })
    {
        alerts.alerts.clear();
        serveStatus ({ 200, "ok", 2, 1, counters.first, counters.second });
        show();
        registerName ("Bob");

        ASSERT_TRUE (waitForOutcome (1));
        expectAlert ("Error!", "You have reached the maximum number of downloads for this profile, please contact " + supportAddress);
        EXPECT_TRUE (store->getProfileNames().isEmpty());
        EXPECT_FALSE (dataFolder.getChildFile ("Presets").exists());
        EXPECT_EQ (server.countRequests ("/" + Endpoints::pullClient), 0);
        EXPECT_EQ (server.countRequests ("/" + Endpoints::qrCode), 0);
    }
}

TEST_F (StartPage, QrCodeFailuresRemoveTheProfile)
{
    startServer();

    struct Case
    {
        std::function<void()> serve;
        juce::String title, message;
    };

    std::vector<Case> cases {
        { [this]
          { server.serve ("POST", "/" + Endpoints::qrCode, TestHttpResponse::text ("bad gateway", "text/html", 502)); },
          "Error!",
          connectionMessage },
        { [this]
          { serveReply (Endpoints::qrCode, refusal (403, 2, "No more QR codes today")); },
          "Error!",
          "No more QR codes today" },
        { [this]
          { serveReply (Endpoints::qrCode, R"({"status_code": 200, "return_code": 0, "message": "ok"})"); },
          "Error!",
          "QR Code generation failed. Please try again." },
        // A picture that does not decode is no picture either.
        { [this]
          { serveQrCode (juce::MemoryBlock ("not a picture", 13)); },
          "Error!",
          "QR Code generation failed. Please try again." },
    };

    // Hostile pictures are refused on the worker: no picture, the same alert.
    for (const auto& hostile : TestPictures::hostileTable (PictureDecoder::largestSizeFor (AppConstants::qrCodeArea)))
        cases.push_back ({ [this, bytes = hostile.bytes]
                           { serveQrCode (bytes); },
                           "Error!",
                           "QR Code generation failed. Please try again." });

    serveStatus ({});
    addProfile ("Ann");

    for (const auto& c : cases)
    {
        alerts.alerts.clear();
        c.serve();
        show();
        registerName ("Bob");

        ASSERT_TRUE (waitForOutcome (1));
        expectAlert (c.title, c.message);
        EXPECT_EQ (store->getProfileNames(), juce::StringArray ("Ann"));
        EXPECT_EQ (namesOnDisk(), juce::StringArray ("Ann"));
        EXPECT_TRUE (navigations.empty());

        // A failed QR result still leaves the name accepted: valid icon and a
        // red, enabled Begin until the name is edited again.
        const auto image = paint();
        EXPECT_TRUE (page->isShowingValidIcon());
        EXPECT_TRUE (page->getBeginButton().isEnabled());
        EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (iconDisc.x, iconDisc.y), colourOf (Palette::greenMark)));
    }
}

TEST_F (StartPage, HrtfDownloadFailuresRemoveTheProfile)
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
          { server.serve ("POST", "/" + Endpoints::pullClient, TestHttpResponse::status (500)); },
          "Error!",
          connectionMessage },
        { [this]
          { serveReply (Endpoints::pullClient, refusal (403, 3, "limit")); },
          "Error!",
          "You have reached the maximum number of downloads for this profile, please add a new user or contact " + supportAddress + "." },
        { [this]
          { serveReply (Endpoints::pullClient, refusal (500, 1, "Server busy")); },
          "Error!",
          "Server busy" },
        // The data arrives without an announced length, so it is not written.
        { [this]
          { serveReply (Endpoints::pullClient, pullReply ("h_1", server.urlFor ("/hrtf/unsized"), "img_1")); },
          "Your profile could not be saved.",
          "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n\n Then press Begin to try again or contact \n "
              + supportAddress + " if the issue persists." },
    };

    serveStatus ({ 200, "ok", 2, 1, 2, 1 });

    for (const auto& c : cases)
    {
        alerts.alerts.clear();
        c.serve();
        show();
        registerName ("Bob");

        ASSERT_TRUE (waitForOutcome (1));
        expectAlert (c.title, c.message);
        EXPECT_TRUE (store->getProfileNames().isEmpty());
        EXPECT_FALSE (dataFolder.getChildFile ("Presets").exists());
        EXPECT_FALSE (dataFolder.getChildFile ("h_1").exists());
        EXPECT_FALSE (dataFolder.getChildFile ("h_1_").exists());
        EXPECT_TRUE (navigations.empty());
        EXPECT_TRUE (page->isProfileAccepted());
    }
}

TEST_F (StartPage, AFailedBankWriteAsksForAReinstall)
{
    // "Presets" is a folder, so the bank cannot be written.
    page.reset();
    store.reset();
    ASSERT_TRUE (dataFolder.getChildFile ("Presets").getChildFile ("inside").create());
    makeStore();
    page = std::make_unique<CountingStartPage> (decoderLogo, partnerLogo, poweredByLogo, backArrow, *store);
    page->onNavigate = [this] (const juce::String& name, View view, const juce::Image& data)
    { navigations.push_back ({ name, view, data }); };

    serveReply (Endpoints::statusCheck, refusal (409, 1, "Name taken"));
    startServer();
    show();
    registerName ("Bob");

    ASSERT_TRUE (waitForOutcome (2));
    ASSERT_GE (alerts.size(), 2u);

    const auto notice = std::find_if (alerts.alerts.begin(), alerts.alerts.end(), [] (const SeenAlert& a)
                                      { return a.title == "Missing Critical Components!"; });
    ASSERT_NE (notice, alerts.alerts.end());
    EXPECT_EQ (notice->message, "Please reinstall the application to continue.");
    EXPECT_EQ (notice->numButtons, 0);

    // The page keeps working.
    EXPECT_TRUE (page->getUserNameEditor().isEnabled());
}

//==============================================================================
TEST_F (StartPage, ANewNameGoesOnToTheQrCode)
{
    const auto picture = pngBytes (172, 172, juce::Colours::blue);
    serveStatus ({});
    server.on ("POST", "/" + Endpoints::qrCode, [this] (const TestHttpRequest&)
               {
                   gate.wait();
                   return TestHttpResponse::json (R"({"status_code": 200, "return_code": 0, "message": "ok", "qr_image_url": ")" + server.urlFor ("/qr/bob.png") + "\"}"); });
    server.serve ("GET", "/qr/bob.png", TestHttpResponse::bytes (picture, "image/png"));
    startServer();
    show();
    registerName ("Bob");

    ASSERT_TRUE (waitFor ([&]
                          { return busy.load(); }));
    EXPECT_FALSE (statusCheckBusy);
    EXPECT_FALSE (canQuit.isOpen());
    EXPECT_EQ (page->overlayMessage, "Generating QR Code ...");

    const auto image = paint();
    saveSnapshot (image, "start-page-generating-qr-code");
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (overlayBox.x, overlayBox.y), colourOf (Palette::overlayBox), 20));
    EXPECT_TRUE (hasDarkText (image, { 120, 270, 300, 19 }));

    // A second Begin while busy does nothing.
    pressBegin();
    gate.open();

    ASSERT_TRUE (waitForOutcome (0));
    EXPECT_EQ (alerts.size(), 0u);
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].name, "Bob");
    EXPECT_EQ (navigations[0].view, View::StartPage);
    EXPECT_TRUE (TestPictures::shows (navigations[0].data, picture));
    EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 1);
    EXPECT_EQ (namesOnDisk(), juce::StringArray ("Bob"));

    // Without busy, the overlay is gone.
    const auto after = paint();
    EXPECT_FALSE (UiTest::coloursNear (after.getPixelAt (overlayBox.x, overlayBox.y), colourOf (Palette::overlayBox), 20));
}

TEST_F (StartPage, AnHrtfTheServiceHoldsIsDownloadedAndLeadsHome)
{
    const auto data = hrtfBytes (20000);
    serveStatus ({ 200, "ok", 2, 1, 2, 1 });
    server.serve ("GET", "/hrtf/1", TestHttpResponse::bytes (data));
    server.on ("POST", "/" + Endpoints::pullClient, [this] (const TestHttpRequest&)
               {
                   gate.wait();
                   return TestHttpResponse::json (pullReply ("h_1", server.urlFor ("/hrtf/1"), "img_1")); });
    startServer();
    show();
    registerName ("Bob");

    ASSERT_TRUE (waitFor ([&]
                          { return busy.load(); }));
    EXPECT_EQ (page->overlayMessage, "Downloading Personalized HRTF ...");
    EXPECT_FALSE (page->getUserNameEditor().isEnabled());
    saveSnapshot (paint(), "start-page-downloading-hrtf");
    gate.open();

    ASSERT_TRUE (waitForOutcome (0));
    EXPECT_EQ (alerts.size(), 0u);
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].name, "Bob");
    EXPECT_EQ (navigations[0].view, View::HomePage);
    EXPECT_FALSE (navigations[0].data.isValid());
    EXPECT_EQ (server.countRequests ("/" + Endpoints::qrCode), 0);

    juce::MemoryBlock written, backup;
    EXPECT_TRUE (dataFolder.getChildFile ("h_1").loadFileAsData (written));
    EXPECT_TRUE (dataFolder.getChildFile ("h_1_").loadFileAsData (backup));
    EXPECT_EQ (written, data);
    EXPECT_EQ (backup, data);

    PresetStore fromDisk (dataFolder.getChildFile ("Presets"));
    ProfileRecord record;
    ASSERT_TRUE (fromDisk.findProfile ("Bob", record));
    EXPECT_EQ (record.hrtf_id, "h_1");
    EXPECT_EQ (record.img_id, "img_1");
}
