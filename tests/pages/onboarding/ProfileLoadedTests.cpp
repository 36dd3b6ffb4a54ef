#include "OnboardingTestSupport.h"

#include "common/AppConstants.h"
#include "pages/onboarding/ProfileLoadedComponent.h"
#include "service/PictureDecoder.h"
#include "support/PeakMemory.h"
#include "support/TestPictures.h"
#include "ui/Palette.h"

using namespace OnboardingTest;

namespace
{
const juce::Point<int> iconDisc { 100, 168 }; // inside the tick icon's disc, outside the tick
const juce::Point<int> pictureCentre { 270, 354 };
const juce::String picturePath { "/media/plugin-screenshot.png" };
}

//==============================================================================
class ProfileLoadedPage : public PageFixture
{
protected:
    void SetUp() override
    {
        PageFixture::SetUp();

        if (IsSkipped())
            return;

        previousScreenshotAddress = AppConstants::getScreenshotAddress();
        page = std::make_unique<ProfileLoadedComponent> (decoderLogo, partnerLogo, poweredByLogo, makeStore());
        page->setCurrentProfile ("Ann");
        page->onNavigate = [this] (const juce::String& name, View view, const juce::Image&)
        { navigations.push_back ({ name, view }); };
    }

    void TearDown() override
    {
        PageFixture::TearDown();

        if (previousScreenshotAddress.isNotEmpty())
            AppConstants::setScreenshotAddressForTesting (previousScreenshotAddress);
    }

    void destroyPage() override { page.reset(); }

    void startServing()
    {
        startServer();
        AppConstants::setScreenshotAddressForTesting (server.urlFor (picturePath));
    }

    /** Serves the picture once the gate opens. */
    void serveHeldPicture (const juce::MemoryBlock& picture)
    {
        server.on ("GET", picturePath, [this, picture] (const TestHttpRequest&)
                   {
                       gate.wait();
                       return TestHttpResponse::bytes (picture, "image/png"); });
    }

    /** Shows the page; the test drives the ticks itself. */
    void show()
    {
        page->setVisible (false);
        page->setVisible (true);
        page->startTimer (3600 * 1000);
    }

    void tick (int count = 1)
    {
        for (int i = 0; i < count; ++i)
            page->timerCallback();
    }

    void pressHome()
    {
        auto& button = page->getHomeButton();
        button.mouseUp (UiTest::mouseEventOn (button));
    }

    bool waitForPicture()
    {
        return waitFor ([&]
                        { return ! page->isDownloadingScreenshot(); });
    }

    bool showsEmbeddedPicture() const
    {
        return page->getScreenshot() == page->getFallbackScreenshot();
    }

    juce::Image paint() { return UiTest::snapshot (*page); }

    struct Navigation
    {
        juce::String name;
        View view;
    };

    std::unique_ptr<ProfileLoadedComponent> page;
    std::vector<Navigation> navigations;
    juce::String previousScreenshotAddress;
};

//==============================================================================
TEST_F (ProfileLoadedPage, HomeWaitsForThePictureThatArrivesInTime)
{
    serveHeldPicture (pngBytes (554, 563, juce::Colours::green));
    startServing();
    show();

    EXPECT_TRUE (page->isDownloadingScreenshot());
    EXPECT_FALSE (canQuit.isOpen());

    auto image = paint();
    saveSnapshot (image, "profile-loaded-page-fetching");
    EXPECT_FALSE (UiTest::coloursNear (image.getPixelAt (pictureCentre.x, pictureCentre.y), juce::Colours::green, 20));
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (iconDisc.x, iconDisc.y), Palette::colour (Palette::greenMark)));

    tick (5);
    pressHome();
    UiTest::pumpMessages (50);
    EXPECT_TRUE (navigations.empty());

    gate.open();
    ASSERT_TRUE (waitForPicture());
    EXPECT_TRUE (canQuit.isOpen());
    EXPECT_EQ (page->getScreenshot().getWidth(), 554);
    EXPECT_FALSE (showsEmbeddedPicture());
    EXPECT_EQ (alerts.size(), 0u);

    image = paint();
    saveSnapshot (image, "profile-loaded-page-downloaded-picture");
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (pictureCentre.x, pictureCentre.y), juce::Colours::green, 3));

    pressHome();
    ASSERT_EQ (navigations.size(), 1u);
    EXPECT_EQ (navigations[0].name, "Ann");
    EXPECT_EQ (navigations[0].view, View::StartPage);
    EXPECT_EQ (server.countRequests (picturePath), 1);
}

TEST_F (ProfileLoadedPage, AFailedPictureGivesWayToTheEmbeddedOneAtOnce)
{
    startServing();

    // Not found, then a picture that does not decode.
    for (auto serve : { std::function<void()> ([this]
                                               { server.serve ("GET", picturePath, TestHttpResponse::status (404)); }),
                        std::function<void()> ([this]
                                               { server.serve ("GET", picturePath, TestHttpResponse::bytes (juce::MemoryBlock ("garbage", 7), "image/png")); }) })
    {
        serve();
        show();
        ASSERT_TRUE (waitForPicture());
        EXPECT_TRUE (showsEmbeddedPicture());
        EXPECT_EQ (page->getSecondsVisible(), 0);
        EXPECT_TRUE (canQuit.isOpen());
    }

    // Hostile pictures: refused on the worker, within bounded memory, and
    // the embedded picture in their place.
    const auto peakBefore = PeakMemory::residentMegabytes();

    for (const auto& hostile : TestPictures::hostileTable (PictureDecoder::largestSizeFor ({ 169, 254, 202, 201 })))
    {
        SCOPED_TRACE (hostile.what);
        server.serve ("GET", picturePath, TestHttpResponse::bytes (hostile.bytes, "image/png"));
        show();
        ASSERT_TRUE (waitForPicture());
        EXPECT_TRUE (showsEmbeddedPicture());
        EXPECT_TRUE (canQuit.isOpen());
    }

    if (PeakMemory::tellsWhatTheCodeHolds())
    {
        EXPECT_LT (PeakMemory::residentMegabytes() - peakBefore, 64);
    }

    const auto image = paint();
    saveSnapshot (image, "profile-loaded-page-embedded-picture");
    const auto& embedded = page->getFallbackScreenshot();
    EXPECT_EQ (embedded.getWidth(), 554);
    EXPECT_EQ (embedded.getHeight(), 563);
    EXPECT_TRUE (UiTest::coloursNear (image.getPixelAt (pictureCentre.x, pictureCentre.y),
                                      embedded.getPixelAt (embedded.getWidth() / 2, embedded.getHeight() / 2),
                                      40));
    EXPECT_EQ (alerts.size(), 0u);
}

TEST_F (ProfileLoadedPage, APictureNotHereBySixTicksGivesWayToTheEmbeddedOne)
{
    serveHeldPicture (pngBytes (554, 563, juce::Colours::green));
    startServing();
    show();

    tick (5);
    EXPECT_TRUE (page->isDownloadingScreenshot());
    EXPECT_FALSE (canQuit.isOpen());
    pressHome();
    EXPECT_TRUE (navigations.empty());

    // On the sixth tick the embedded picture is shown, and the page can be
    // left and the window closed, though the download still runs.
    tick();
    EXPECT_FALSE (page->isDownloadingScreenshot());
    EXPECT_TRUE (showsEmbeddedPicture());
    EXPECT_TRUE (canQuit.isOpen());

    // The late picture changes nothing.
    gate.open();
    UiTest::pumpMessages (300);
    ASSERT_TRUE (waitFor ([&]
                          { return server.countRequests (picturePath) == 1; }));
    UiTest::pumpMessages (200);
    EXPECT_TRUE (showsEmbeddedPicture());
    EXPECT_TRUE (canQuit.isOpen());

    pressHome();
    ASSERT_EQ (navigations.size(), 1u);
}

TEST_F (ProfileLoadedPage, EachShowingFetchesThePictureAgain)
{
    server.serve ("GET", picturePath, TestHttpResponse::bytes (pngBytes (554, 563, juce::Colours::green), "image/png"));
    startServing();
    show();
    ASSERT_TRUE (waitForPicture());
    tick (3);

    page->setVisible (false);
    EXPECT_FALSE (page->isTimerRunning());

    // The old picture stays until the new result replaces it.
    server.serve ("GET", picturePath, TestHttpResponse::bytes (pngBytes (554, 563, juce::Colours::yellow), "image/png"));
    page->setVisible (true);
    EXPECT_EQ (page->getSecondsVisible(), 0);
    EXPECT_TRUE (page->isDownloadingScreenshot());
    EXPECT_TRUE (page->isTimerRunning());
    EXPECT_EQ (page->getScreenshot().getPixelAt (10, 10), juce::Colours::green);

    ASSERT_TRUE (waitForPicture());
    EXPECT_EQ (page->getScreenshot().getPixelAt (10, 10), juce::Colours::yellow);
    EXPECT_EQ (server.countRequests (picturePath), 2);
}

TEST_F (ProfileLoadedPage, TheLinkOpensTheSetUpVideo)
{
    startServing();

    auto& area = page->getLearnHowArea();
    EXPECT_EQ (area.getBounds(), juce::Rectangle<int> (218, 226, 350, 18));
    EXPECT_EQ (area.learnHowLink.getButtonText(), "Click Here to Learn How!");

    // The link sits centred in its area.
    const auto link = area.learnHowLink.getBounds();
    EXPECT_NEAR (link.getCentreX(), 175, 1);
    EXPECT_GT (link.getWidth(), 0);

    area.learnHowLink.triggerClick();
    ASSERT_TRUE (waitFor ([&]
                          { return ! outside.opened.isEmpty(); }));
    EXPECT_EQ (outside.opened, juce::StringArray ("https://video.example/watch?v=spherion-setup"));
}

TEST_F (ProfileLoadedPage, ShownAgainWhileAnEarlierDownloadRunsItWaitsForThatOne)
{
    serveHeldPicture (pngBytes (554, 563, juce::Colours::green));
    startServing();
    show();
    tick (6);
    ASSERT_FALSE (page->isDownloadingScreenshot());
    pressHome();
    ASSERT_EQ (navigations.size(), 1u);

    // Back on the page before the first download has ended: no second
    // download starts, the running one serves this showing.
    show();
    EXPECT_TRUE (page->isDownloadingScreenshot());
    EXPECT_FALSE (canQuit.isOpen());
    gate.open();
    ASSERT_TRUE (waitForPicture());
    EXPECT_FALSE (showsEmbeddedPicture());
    EXPECT_EQ (page->getScreenshot().getPixelAt (10, 10), juce::Colours::green);
    EXPECT_EQ (server.countRequests (picturePath), 1);
    EXPECT_TRUE (canQuit.isOpen());
}
