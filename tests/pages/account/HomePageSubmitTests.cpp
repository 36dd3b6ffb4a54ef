#include "HomePageFixture.h"

#include "support/TestPictures.h"

namespace
{
// A profile with its second image processed and quotas left.
StatusReply quotasLeft()
{
    StatusReply reply;
    reply.hrtfAllowed = 5;
    reply.hrtfRequested = 2;
    reply.pullAllowed = 5;
    reply.pullRequested = 2;
    return reply;
}

const juce::String downloadsLimit { "You have reached the maximum number of downloads for this profile, please add a new user or contact support@auralis-audio.example." };
const juce::String submissionsLimit { "You have reached the maximum number of image submissions for this profile, please add a new user or contact support@auralis-audio.example." };
}

//==============================================================================
/** Ann is on the page, her background check done, nothing waiting. */
class HomeSubmit : public HomePageFixture
{
protected:
    void SetUp() override
    {
        HomePageFixture::SetUp();

        if (IsSkipped())
            return;

        seedProfile ("Ann", quotasLeft());
        seedIds ("Ann", "hrtf-ann-2", "img_ann_2");
        serveStatus (quotasLeft());
        serveQrCode();
        enter ("Ann");
        ASSERT_TRUE (alertLog.alerts.empty());
        ASSERT_FALSE (page->areUpdatesAvailable());
    }

    /** The submit check is answered with this reply. */
    void submitWith (const StatusReply& reply)
    {
        serveStatus (reply);
        submit();
    }

    void expectStaysWithAlert (const juce::String& title, const juce::String& message)
    {
        ASSERT_EQ (alertLog.alerts.size(), 1u);
        EXPECT_EQ (alertLog.lastTitle(), title);
        EXPECT_EQ (alertLog.lastMessage(), message);
        EXPECT_TRUE (navigation.empty());
        EXPECT_EQ (qrRequests(), 0);
        EXPECT_TRUE (userBox().isEnabled());
        EXPECT_FALSE (page->isCheckRunning());
        EXPECT_TRUE (canQuit.isOpen());
    }

    void expectWentOnToTheQrCode()
    {
        EXPECT_TRUE (alertLog.alerts.empty());
        EXPECT_EQ (qrRequests(), 1);
        ASSERT_EQ (navigation.size(), 1u);
        EXPECT_EQ (navigation[0].view, View::PersonalizeYourAudio);
        EXPECT_EQ (navigation[0].profile, "Ann");
        EXPECT_TRUE (TestPictures::shows (navigation[0].data, qrPng()));
        EXPECT_FALSE (userBox().isEnabled());
        EXPECT_FALSE (busy.load());
        EXPECT_TRUE (canQuit.isOpen());
    }
};

//==============================================================================
TEST_F (HomeSubmit, UnreachableServiceShowsTheConnectionMessage)
{
    serveReply (Endpoints::statusCheck, "not a reply");
    submit();
    expectStaysWithAlert ("Error!", "Thank you for using Auralis.  Please check your internet connection to continue.");
}

TEST_F (HomeSubmit, AnswerOtherThanOkShowsTheServiceMessage)
{
    auto reply = quotasLeft();
    reply.status = 403;
    reply.message = "This device is not registered.";
    submitWith (reply);
    expectStaysWithAlert ("Error!", "This device is not registered.");
}

TEST_F (HomeSubmit, RuleA_NewerHrtfWaitingAsksForARefreshFirst)
{
    auto reply = quotasLeft();
    reply.profileUpdate = StatusReply::ProfileUpdate { 200, 0 };

    // Even with every quota used up, the waiting data comes first.
    reply.pullRequested = 5;
    reply.hrtfRequested = 5;
    submitWith (reply);

    expectStaysWithAlert ("HRTF info found", "Please press the Refresh button before submitting a new Image!");
    EXPECT_TRUE (page->areUpdatesAvailable());
    EXPECT_EQ (badgeText(), "1");
}

TEST_F (HomeSubmit, RuleA_FirstHrtfWaitingAsksForARefreshFirst)
{
    // A profile without an image whose HRTF has been made: the background
    // check lights the badge, and the submit check finds it waiting too.
    StatusReply waiting;
    waiting.hrtfRequested = 1;
    seedProfile ("Bob", waiting);
    serveStatus (waiting);
    enter ("Bob");
    ASSERT_TRUE (page->areUpdatesAvailable());

    submit();
    expectStaysWithAlert ("HRTF info found", "Please press the Refresh button before submitting a new Image!");
    EXPECT_EQ (badgeText(), "1");
}

TEST_F (HomeSubmit, RuleB_NoImageSubmittedYetGoesOnToTheQrCode)
{
    auto reply = quotasLeft();
    reply.hrtfRequested = 0;
    reply.pullRequested = 5; // no downloads left does not matter yet
    submitWith (reply);
    expectWentOnToTheQrCode();
}

TEST_F (HomeSubmit, RuleC_NoDownloadsLeft)
{
    auto reply = quotasLeft();
    reply.pullRequested = 5;
    reply.hrtfRequested = 5; // no submissions left either: downloads come first
    submitWith (reply);
    expectStaysWithAlert ("Error!", downloadsLimit);
}

TEST_F (HomeSubmit, RuleD_NoImageSubmissionsLeft)
{
    auto reply = quotasLeft();
    reply.hrtfAllowed = 3;
    reply.hrtfRequested = 4;
    submitWith (reply);
    expectStaysWithAlert ("Error!", submissionsLimit);
}

TEST_F (HomeSubmit, RuleE_QuotasLeftGoOnToTheQrCode)
{
    submitWith (quotasLeft());
    expectWentOnToTheQrCode();
}

//==============================================================================
TEST_F (HomeSubmit, QrCodeFailuresAreReportedAndThePageStays)
{
    struct Case
    {
        juce::String qrReply, title, message;
    };

    const Case cases[] = {
        { "not a reply", "Error!", "Thank you for using Auralis.  Please check your internet connection to continue." },
        // A picture comes with the refusal, and is not used.
        { qrReply (403, server.urlFor ("/qr.png")), "Error!", "QR for you" },
        { qrReply (200, ""), "Error!", "QR download failed." },
        { qrReply (200, server.urlFor ("/not-a-picture")), "Error!", "QR download failed." },
    };

    server.serve ("GET", "/not-a-picture", TestHttpResponse::text ("<html>no picture</html>", "text/html"));

    for (const auto& c : cases)
    {
        alertLog.alerts.clear();
        serveReply (Endpoints::qrCode, c.qrReply);
        submitWith (quotasLeft());

        ASSERT_EQ (alertLog.alerts.size(), 1u) << c.qrReply;
        EXPECT_EQ (alertLog.lastTitle(), c.title);
        EXPECT_EQ (alertLog.lastMessage(), c.message);
        EXPECT_TRUE (navigation.empty());
        EXPECT_FALSE (busy.load());
        EXPECT_TRUE (canQuit.isOpen());

        // The user can choose a profile and submit again.
        EXPECT_TRUE (userBox().isEnabled());
    }
}

TEST_F (HomeSubmit, PageIsBusyWhileTheQrCodeIsFetched)
{
    Gate gate;
    server.on ("POST", "/" + Endpoints::qrCode, [opened = gate.opened, json = qrReply (200, server.urlFor ("/qr.png"))] (const TestHttpRequest&)
               {
                   opened->wait (20000);
                   return TestHttpResponse::json (json); });

    serveStatus (quotasLeft());
    ASSERT_TRUE (click (*page, "Submit New Image"));
    ASSERT_TRUE (waitFor ([this]
                          { return qrRequests() == 1; }));

    EXPECT_TRUE (busy.load());
    EXPECT_FALSE (canQuit.isOpen());
    EXPECT_EQ (page->overlayMessage, "Generating QR Code ...");
    EXPECT_FALSE (userBox().isEnabled());

    // Nothing else starts or leaves meanwhile.
    for (auto name : { "+", "Check For Updates", "Submit New Image", "Show" })
        EXPECT_TRUE (click (*page, name)) << name;

    EXPECT_TRUE (navigation.empty());
    EXPECT_NE (findChild<ButtonComponent> (*page, "Show"), nullptr);

    gate.open();
    ASSERT_TRUE (waitFor ([this]
                          { return ! navigation.empty(); }));
    settle();
    EXPECT_EQ (statusRequests(), 2);
    expectWentOnToTheQrCode();
}

TEST_F (HomeSubmit, SecondPressWhileTheCheckRunsDoesNothing)
{
    Gate gate;
    serveStatusBehind (gate, quotasLeft());

    ASSERT_TRUE (click (*page, "Submit New Image"));
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 2; }));
    EXPECT_TRUE (page->isCheckRunning());
    EXPECT_FALSE (userBox().isEnabled());
    EXPECT_FALSE (canQuit.isOpen());

    ASSERT_TRUE (click (*page, "Submit New Image"));
    settle (200);
    EXPECT_EQ (statusRequests(), 2);

    gate.open();
    ASSERT_TRUE (waitFor ([this]
                          { return ! navigation.empty(); }));
    settle();
    EXPECT_EQ (statusRequests(), 2);
    expectWentOnToTheQrCode();
}
