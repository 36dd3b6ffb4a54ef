#include "AccountPageFixture.h"

#include "pages/account/AccountTexts.h"
#include "pages/account/UpdatesComponent.h"
#include "ui/BoldTextEditor.h"
#include "ui/ButtonComponent.h"
#include "ui/Palette.h"

#include <atomic>
#include <thread>

namespace
{
const juce::String couldNotSaveMessage { "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n\n Then press Profile Update to try again or contact \n support@auralis-audio.example if the issue persists." };

// A point on the left border of each update button.
const juce::Point<int> profileUpdateBorder { 96, 394 };
const juce::Point<int> softwareUpdateBorder { 290, 394 };

StatusReply withImage()
{
    StatusReply reply;
    reply.hrtfRequested = 2;
    return reply;
}
}

//==============================================================================
class UpdatesPage : public AccountPageFixture
{
protected:
    void TearDown() override
    {
        page.reset();
        AccountPageFixture::TearDown();
    }

    UpdatesComponent& makePage()
    {
        page = std::make_unique<UpdatesComponent> (decoderLogo, partnerLogo, poweredByLogo, backArrow, *store);
        recordNavigation (*page, navigation);
        return *page;
    }

    /** Shows the page for the profile and waits for its check to be handled. */
    void enter (const juce::String& name)
    {
        if (page == nullptr)
            makePage();

        page->setVisible (true);
        page->setCurrentProfile (name);
        ASSERT_TRUE (waitFor ([]
                              { return ! statusCheckBusy.load(); }));
        settle();
    }

    /** Presses "Profile Update" and waits for the download to be handled. */
    void pressProfileUpdate()
    {
        ASSERT_TRUE (click (*page, "Profile Update"));
        ASSERT_TRUE (waitFor ([]
                              { return ! busy.load(); }));
        settle();
    }

    /** Serves a pull whose newest entry is the given HRTF. */
    void servePull (const juce::String& hrtfId, const juce::String& imgId)
    {
        const auto path = "/hrtf/" + hrtfId;
        server.serve ("GET", path, TestHttpResponse::bytes (hrtfBytes));

        auto* reply = new juce::DynamicObject();
        reply->setProperty ("status_code", 200);
        reply->setProperty ("return_code", 0);
        reply->setProperty ("message", "ok");
        reply->setProperty ("urls", juce::Array<juce::var> { idsEntry ("hrtf-old", "img_ann_1", server.urlFor ("/old")), idsEntry (hrtfId, imgId, server.urlFor (path)) });
        serveReply (Endpoints::pullClient, juce::JSON::toString (juce::var (reply)));
    }

    int pullRequests() const { return server.countRequests ("/" + Endpoints::pullClient); }

    /** The label or text box whose top edge is at y, when it is a child. */
    template <typename ComponentType>
    ComponentType* childAt (int y)
    {
        for (auto* child : page->getChildren())
            if (auto* typed = dynamic_cast<ComponentType*> (child); typed != nullptr && child->getY() == y)
                return typed;

        return nullptr;
    }

    juce::String labelTextAt (int y)
    {
        auto* label = childAt<juce::Label> (y);
        return label != nullptr ? label->getText() : "(no label)";
    }

    juce::String boxTextAt (int y)
    {
        auto* box = childAt<BoldTextEditor> (y);
        return box != nullptr ? box->editor.getText() : "(no text box)";
    }

    juce::String statusLine() { return labelTextAt (157); }
    juce::String profileUpdateText() { return boxTextAt (223); }
    juce::String releaseNotes() { return boxTextAt (252); }

    juce::Image paint() { return UiTest::snapshot (*page); }

    static bool hasRedBorder (const juce::Image& snapshot, juce::Point<int> p)
    {
        return UiTest::coloursNear (snapshot.getPixelAt (p.x, p.y), Palette::colour (Palette::redAccent), 8);
    }

    static bool hasGreyBorder (const juce::Image& snapshot, juce::Point<int> p)
    {
        return UiTest::coloursNear (snapshot.getPixelAt (p.x, p.y), Palette::colour (Palette::greyBorder), 8);
    }

    juce::MemoryBlock hrtfBytes { juce::String ("personal HRTF data set").toRawUTF8(), 22 };
    std::unique_ptr<UpdatesComponent> page;
    std::vector<Navigation> navigation;
};

//==============================================================================
TEST_F (UpdatesPage, StatusLineIsEmptyOnEntryThenSaysNoUpdatesAvailable)
{
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    Gate gate;
    serveStatusBehind (gate, withImage());

    makePage();
    page->setVisible (true);
    page->setCurrentProfile ("Ann");
    EXPECT_TRUE (statusCheckBusy.load());
    EXPECT_FALSE (canQuit.isOpen());

    auto first = paint();
    EXPECT_EQ (statusLine(), "");
    EXPECT_TRUE (hasGreyBorder (first, profileUpdateBorder));
    EXPECT_TRUE (hasGreyBorder (first, softwareUpdateBorder));

    gate.open();
    ASSERT_TRUE (waitFor ([]
                          { return ! statusCheckBusy.load(); }));
    EXPECT_TRUE (canQuit.isOpen());

    auto second = paint();
    EXPECT_EQ (statusLine(), "No Updates Available!");
    EXPECT_TRUE (hasGreyBorder (second, profileUpdateBorder));
    EXPECT_EQ (profileUpdateText(), "");
    EXPECT_EQ (releaseNotes(), "");
    EXPECT_TRUE (alertLog.alerts.empty());
    saveSnapshot (second, "updates-none");

    // Neither button does anything.
    EXPECT_TRUE (click (*page, "Profile Update"));
    EXPECT_TRUE (click (*page, "Software Update"));
    settle();
    EXPECT_EQ (pullRequests(), 0);
    EXPECT_TRUE (outside.opened.isEmpty());
    EXPECT_TRUE (navigation.empty());
}

TEST_F (UpdatesPage, EntryNeverWaitsForABankWriteAndChecksTheBankAsSaved)
{
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    serveStatus (withImage());

    // A download records newer ids; its write is held inside itself (bytes
    // taken, files not yet written) until the page has been entered, or until
    // a time-out should the entry be stuck behind it.
    juce::WaitableEvent entered, release;
    std::atomic<bool> heldUntilTimeOut { false }, held { false };
    store->onBankWrite = [&]
    {
        if (held.exchange (true))
            return;

        entered.signal();
        heldUntilTimeOut = ! release.wait (10000);
    };

    std::thread download ([this]
                          { store->updateHrtfIds ("Ann", idsEntry ("hrtf-ann-3", "img_ann_3")); });
    ASSERT_TRUE (entered.wait (10000));

    makePage();
    page->setVisible (true);
    page->setCurrentProfile ("Ann");
    EXPECT_FALSE (heldUntilTimeOut) << "the page waited for the write";

    release.signal();
    download.join();
    ASSERT_TRUE (waitFor ([]
                          { return ! statusCheckBusy.load(); }));

    // The check was made for the ids the write saved.
    const auto body = server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText();
    EXPECT_TRUE (body.contains ("\"current_img_id\": \"img_ann_3\"")) << body;
}

TEST_F (UpdatesPage, UnavailableMessageShowsTheTextButLeavesProfileUpdateInactive)
{
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    auto reply = withImage();
    reply.profileUpdate = StatusReply::ProfileUpdate { 200, 0, "Auralis update unavailable!" };
    serveStatus (reply);
    enter ("Ann");

    EXPECT_EQ (profileUpdateText(), "New profile ready to download.");
    EXPECT_FALSE (page->isProfileUpdateAvailable());

    paint();
    const auto snapshot = paint();
    EXPECT_EQ (statusLine(), "No Updates Available!");
    EXPECT_TRUE (hasGreyBorder (snapshot, profileUpdateBorder));

    EXPECT_TRUE (click (*page, "Profile Update"));
    settle();
    EXPECT_EQ (pullRequests(), 0);
    EXPECT_FALSE (busy.load());
}

TEST_F (UpdatesPage, UpToDateProfileOffersNoProfileUpdate)
{
    // Return code 4: the profile already holds the newest HRTF data; a pull
    // would fetch the same HRTF again and use up a download.
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    auto reply = withImage();
    reply.profileUpdate = StatusReply::ProfileUpdate { 200, 4, "Your personalised HRTF data is up to date." };
    serveStatus (reply);
    enter ("Ann");

    EXPECT_EQ (profileUpdateText(), "");
    EXPECT_FALSE (page->isProfileUpdateAvailable());

    paint();
    const auto snapshot = paint();
    EXPECT_EQ (statusLine(), "No Updates Available!");
    EXPECT_TRUE (hasGreyBorder (snapshot, profileUpdateBorder));

    EXPECT_TRUE (click (*page, "Profile Update"));
    settle();
    EXPECT_EQ (pullRequests(), 0);
    EXPECT_FALSE (busy.load());
    EXPECT_TRUE (alertLog.alerts.empty());
}

TEST_F (UpdatesPage, PendingHrtfIsAlwaysOfferedAndDownloaded)
{
    // No image yet and one HRTF requested; the service sends no profile
    // update section at all.
    StatusReply reply;
    reply.hrtfRequested = 1;
    seedProfile ("Ann", reply);
    serveStatus (reply);
    servePull ("hrtf-ann-1", "img_ann_1");
    enter ("Ann");

    EXPECT_TRUE (page->isProfileUpdateAvailable());
    EXPECT_EQ (profileUpdateText(), "New profile ready to download.");

    const auto snapshot = paint();
    EXPECT_EQ (statusLine(), "Updates Available!");
    EXPECT_TRUE (hasRedBorder (snapshot, profileUpdateBorder));
    EXPECT_TRUE (hasGreyBorder (snapshot, softwareUpdateBorder));
    saveSnapshot (snapshot, "updates-profile-update");

    pressProfileUpdate();

    EXPECT_TRUE (alertLog.alerts.empty());
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::HomePage);
    EXPECT_EQ (navigation[0].profile, "Ann");
    EXPECT_TRUE (canQuit.isOpen());

    juce::MemoryBlock written;
    ASSERT_TRUE (dataFolder.getChildFile ("hrtf-ann-1").loadFileAsData (written));
    EXPECT_EQ (written, hrtfBytes);
    ProfileRecord ann;
    ASSERT_TRUE (store->findProfile ("Ann", ann));
    EXPECT_EQ (ann.hrtf_id, "hrtf-ann-1");
    EXPECT_EQ (ann.img_id, "img_ann_1");
}

TEST_F (UpdatesPage, SoftwareUpdateShowsTheNotesAndOpensTheAddress)
{
    seedProfile ("Ann");
    seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
    auto reply = withImage();
    reply.software = StatusReply::Software {};
    reply.profileUpdate = StatusReply::ProfileUpdate { 200, 0 };
    serveStatus (reply);
    enter ("Ann");

    EXPECT_EQ (releaseNotes(), "Version 0.0.11 is available\nFaster downloads.");
    EXPECT_TRUE (page->isSoftwareUpdateAvailable());

    const auto snapshot = paint();
    EXPECT_EQ (statusLine(), "Updates Available!");
    EXPECT_TRUE (hasRedBorder (snapshot, profileUpdateBorder));
    EXPECT_TRUE (hasRedBorder (snapshot, softwareUpdateBorder));
    saveSnapshot (snapshot, "updates-both");

    ASSERT_TRUE (click (*page, "Software Update"));
    EXPECT_EQ (outside.opened, juce::StringArray ("https://downloads.example/auralis-0.0.11.exe"));
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::HomePage);
    EXPECT_EQ (outside.quitRequests, 0);
}

//==============================================================================
TEST_F (UpdatesPage, UnreachableCheckLeavesBothButtonsInactive)
{
    // What is stored would offer both updates.
    StatusReply stored;
    stored.hrtfRequested = 1;
    stored.software = StatusReply::Software {};
    seedProfile ("Ann", stored);
    server.stop();

    enter ("Ann");

    ASSERT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_EQ (alertLog.lastTitle(), "Error!");
    EXPECT_EQ (alertLog.lastMessage(), "Thank you for using Auralis.  Please check your internet connection to continue.");
    EXPECT_TRUE (canQuit.isOpen());

    EXPECT_TRUE (click (*page, "Profile Update"));
    EXPECT_TRUE (click (*page, "Software Update"));
    settle();
    EXPECT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_FALSE (busy.load());
    EXPECT_TRUE (outside.opened.isEmpty());
    EXPECT_TRUE (navigation.empty());
}

TEST_F (UpdatesPage, CheckAnsweredOtherThanOkMakesProfileUpdateSayItCouldNotLoad)
{
    StatusReply stored;
    stored.hrtfRequested = 1;
    seedProfile ("Ann", stored);
    serveReply (Endpoints::statusCheck, R"({"status_code": 500, "return_code": 2, "message": "Server busy, try later."})");

    enter ("Ann");
    ASSERT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_EQ (alertLog.lastTitle(), "Error!");
    EXPECT_EQ (alertLog.lastMessage(), "Server busy, try later.");

    EXPECT_TRUE (click (*page, "Profile Update"));
    ASSERT_EQ (alertLog.alerts.size(), 2u);
    EXPECT_EQ (alertLog.lastTitle(), "Error!");
    EXPECT_EQ (alertLog.lastMessage(), "Could not load your Profile. Please try again.");
    settle();
    EXPECT_EQ (pullRequests(), 0);
    EXPECT_TRUE (navigation.empty());
}

//==============================================================================
class UpdatesPagePull : public UpdatesPage
{
protected:
    void SetUp() override
    {
        UpdatesPage::SetUp();

        if (IsSkipped())
            return;

        seedProfile ("Ann");
        seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
        auto reply = withImage();
        reply.profileUpdate = StatusReply::ProfileUpdate { 200, 0 };
        serveStatus (reply);
        enter ("Ann");
        ASSERT_TRUE (page->isProfileUpdateAvailable());
    }

    void expectAlert (const juce::String& title, const juce::String& message)
    {
        ASSERT_EQ (alertLog.alerts.size(), 1u);
        EXPECT_EQ (alertLog.lastTitle(), title);
        EXPECT_EQ (alertLog.lastMessage(), message);
        EXPECT_FALSE (busy.load());
        EXPECT_TRUE (canQuit.isOpen());
    }
};

TEST_F (UpdatesPagePull, UnreachableServiceStaysOnThePage)
{
    serveReply (Endpoints::pullClient, "not a reply");
    pressProfileUpdate();
    expectAlert ("Error!", "Please check your internet connection and press Profile Update to continue.");
    EXPECT_TRUE (navigation.empty());
}

TEST_F (UpdatesPagePull, DownloadsUsedUpGoesHomeHoweverTheAlertIsDismissed)
{
    serveReply (Endpoints::pullClient, R"({"status_code": 403, "return_code": 3, "message": "Pull limit reached"})");
    pressProfileUpdate();
    expectAlert ("Error!", "You have reached the maximum number of downloads for this profile, please add a new user or contact support@auralis-audio.example.");
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::HomePage);

    alertLog.dismissWithEscape = true;
    alertLog.alerts.clear();
    pressProfileUpdate();
    EXPECT_EQ (alertLog.alerts.size(), 1u);
    EXPECT_EQ (navigation.size(), 2u);
}

TEST_F (UpdatesPagePull, OtherRefusalShowsTheServiceMessageThenGoesHome)
{
    serveReply (Endpoints::pullClient, R"({"status_code": 403, "return_code": 2, "message": "Profile suspended."})");
    pressProfileUpdate();
    expectAlert ("Error!", "Profile suspended.");
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::HomePage);
}

TEST_F (UpdatesPagePull, SameHrtfAgainCouldNotBeSaved)
{
    servePull ("hrtf-ann-2", "img_ann_2");
    pressProfileUpdate();
    expectAlert ("Your profile could not be saved.", couldNotSaveMessage);
    EXPECT_TRUE (navigation.empty());
    EXPECT_EQ (pullRequests(), 1);
}

TEST_F (UpdatesPagePull, DownloadThatCannotBeWrittenCouldNotBeSaved)
{
    servePull ("hrtf-ann-3", "img_ann_3");
    server.serve ("GET", "/hrtf/hrtf-ann-3", TestHttpResponse::bytes (hrtfBytes).withAnnouncedLength (1000));
    pressProfileUpdate();
    expectAlert ("Your profile could not be saved.", couldNotSaveMessage);
    EXPECT_TRUE (navigation.empty());
    EXPECT_FALSE (dataFolder.getChildFile ("hrtf-ann-3").exists());

    ProfileRecord ann;
    ASSERT_TRUE (store->findProfile ("Ann", ann));
    EXPECT_EQ (ann.hrtf_id, "hrtf-ann-2");
}

TEST_F (UpdatesPagePull, NewHrtfIsDownloadedAndGoesHome)
{
    servePull ("hrtf-ann-3", "img_ann_3");
    pressProfileUpdate();
    EXPECT_TRUE (alertLog.alerts.empty());
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::HomePage);
    EXPECT_TRUE (dataFolder.getChildFile ("hrtf-ann-3").existsAsFile());
    EXPECT_TRUE (dataFolder.getChildFile ("hrtf-ann-3_").existsAsFile());
}

TEST_F (UpdatesPagePull, NothingLeavesWhileTheDownloadRuns)
{
    Gate gate;
    server.on ("POST", "/" + Endpoints::pullClient, [opened = gate.opened] (const TestHttpRequest&)
               {
                   opened->wait (20000);
                   return TestHttpResponse::json (R"({"status_code": 403, "return_code": 2, "message": "No."})"); });

    ASSERT_TRUE (click (*page, "Profile Update"));
    ASSERT_TRUE (waitFor ([this]
                          { return pullRequests() == 1; }));
    EXPECT_TRUE (busy.load());
    EXPECT_FALSE (canQuit.isOpen());
    EXPECT_EQ (page->overlayMessage, "Downloading Personalized HRTF ...");

    for (auto name : { "Back", "Profile Update", "Software Update" })
        EXPECT_TRUE (click (*page, name)) << name;

    settle (200);
    EXPECT_TRUE (navigation.empty());
    EXPECT_EQ (pullRequests(), 1);

    gate.open();
    ASSERT_TRUE (waitFor ([]
                          { return ! busy.load(); }));
    settle();
    EXPECT_EQ (navigation.size(), 1u);
}

TEST_F (UpdatesPage, BackTakesClicksAllOverTheArrowAndDoesNothingWhileTheCheckRuns)
{
    seedProfile ("Ann");
    Gate gate;
    serveStatusBehind (gate, withImage());

    makePage();
    page->setVisible (true);

    // Nothing laid over the arrow (the status line runs across it) takes
    // the pointer from it.
    for (int y = 155; y < 181; ++y)
        for (int x = 80; x < 106; ++x)
            if (auto* under = page->getComponentAt (x, y); under == nullptr || under->getName() != "Back")
                FAIL() << "the arrow's point " << x << ", " << y << " goes to " << (under != nullptr ? under->getName() : "nothing");

    page->setCurrentProfile ("Ann");
    EXPECT_TRUE (click (*page, "Back"));
    EXPECT_TRUE (navigation.empty());

    gate.open();
    ASSERT_TRUE (waitFor ([]
                          { return ! statusCheckBusy.load(); }));
    EXPECT_TRUE (click (*page, "Back"));
    ASSERT_EQ (navigation.size(), 1u);
    EXPECT_EQ (navigation[0].view, View::HomePage);
    EXPECT_EQ (navigation[0].profile, "Ann");
}
