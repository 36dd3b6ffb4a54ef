#include "common/AppConstants.h"
#include "app/MainComponent.h"
#include "app/MainWindow.h"
#include "common/SharedFlags.h"
#include "service/ServiceConstants.h"
#include "support/MessageLoop.h"
#include "support/SkipOrFail.h"
#include "support/TestHttpsServer.h"

#include <gtest/gtest.h>

namespace
{
//==============================================================================
/** Points the service client at a server of the test's own while it
        lives: the home and updates pages check the service as soon as they
        are shown. Declared before the main component, it outlives the pages'
        workers. */
struct LocalService
{
    LocalService()
    {
        server.serve ("POST", "/status-check/v1.0", TestHttpResponse::json (R"({"status_code": 200, "return_code": 0})"));
        server.start();
        ServiceConstants::setServiceBaseAddressForTesting (server.getOrigin());
    }

    ~LocalService()
    {
        server.stop();
        ServiceConstants::setServiceBaseAddressForTesting (previousAddress);
    }

    const juce::String previousAddress { ServiceConstants::serviceBaseAddress() };
    TestHttpsServer server { TestHttpsServer::isAvailable() ? TestHttpsServer::Certificate::testCa
                                                            : TestHttpsServer::Certificate::selfSigned };
};

//==============================================================================
/** A fresh data folder per test, removed afterwards. */
struct DataFolder
{
    DataFolder() { folder.createDirectory(); }
    ~DataFolder() { folder.deleteRecursively(); }

    juce::File folder { juce::File::createTempFile ("auralis-main") };
};

juce::var statusReply()
{
    auto* object = new juce::DynamicObject();
    object->setProperty ("status_code", 200);
    object->setProperty ("timestamp", "2026-12-09T10:00:00Z");
    return juce::var (object);
}

/** Writes a bank with the given profiles, and the selection when it is set. */
void writeBank (const juce::File& folder, const juce::StringArray& names, std::optional<int> selected = {})
{
    PresetStore store (folder.getChildFile ("Presets"));

    for (auto& name : names)
        store.mergeStatusReply (name, statusReply());

    if (selected.has_value())
    {
        store.setLastSelectedPreset (*selected);
        store.save();
    }
}

juce::Image pngBytes (int width, int height)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    image.clear (image.getBounds(), juce::Colours::red);
    return image;
}

/** The pages that are children of the main component. */
std::vector<juce::Component*> shownPages (MainComponent& main)
{
    std::vector<juce::Component*> pages;

    for (auto* child : main.getChildren())
        pages.push_back (child);

    return pages;
}

void expectOnlyPage (MainComponent& main, juce::Component& page)
{
    const auto pages = shownPages (main);
    ASSERT_EQ (pages.size(), 1u);
    EXPECT_EQ (pages.front(), &page);
    EXPECT_TRUE (page.isVisible());
    EXPECT_EQ (main.getCurrentPage(), &page);
}
}

//==============================================================================
TEST (MainComponentStart, WithoutABankShowsTheStartPageOnItsFirstRun)
{
    LocalService service;
    DataFolder data;
    MainComponent main (data.folder);

    expectOnlyPage (main, main.getStartPage());
    EXPECT_TRUE (main.getStartPage().firstRun);
    EXPECT_FALSE (main.getHomePage().isVisible());
    EXPECT_EQ (main.getWidth(), 540);
    EXPECT_EQ (main.getHeight(), 565);
    EXPECT_FALSE (data.folder.getChildFile ("Presets").exists());
}

TEST (MainComponentStart, ShowsTheHomePageWithTheLastSelectedProfile)
{
    LocalService service;
    DataFolder data;
    writeBank (data.folder, { "Ann", "Bob", "Cy" }, 2);
    MainComponent main (data.folder);

    expectOnlyPage (main, main.getHomePage());
    EXPECT_EQ (main.getHomePage().profileName, "Cy");
    EXPECT_FALSE (main.getStartPage().firstRun);
}

TEST (MainComponentStart, FallsBackToTheFirstProfileForAnOutOfRangeSelection)
{
    for (auto selection : { std::optional<int> (7), std::optional<int> (-1), std::optional<int> (3), std::optional<int>() })
    {
        LocalService service;
        DataFolder data;
        writeBank (data.folder, { "Ann", "Bob", "Cy" }, selection);
        MainComponent main (data.folder);

        expectOnlyPage (main, main.getHomePage());
        EXPECT_EQ (main.getHomePage().profileName, "Ann");
    }
}

TEST (MainComponentStart, ComputesTheSharedDataFolderBelowTheCommonApplicationDataFolder)
{
    const auto common = juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
    const auto expected = common.getChildFile ("Common Files").getChildFile ("Vantora").getChildFile ("Korvane").getFullPathName()
                          + juce::File::getSeparatorString();

    EXPECT_EQ (MainComponent::computeDataFolder(), expected);

#if JUCE_LINUX
    // The Debian package's post-install step creates this folder for every user.
    EXPECT_EQ (MainComponent::computeDataFolder(), juce::String (AURALIS_LINUX_DATA_FOLDER) + "/");
#endif
}

//==============================================================================
TEST (MainComponentNavigation, StartPageGoesHomeOrOnToThePersonalisePage)
{
    LocalService service;
    DataFolder data;
    MainComponent main (data.folder);
    auto& start = main.getStartPage();

    start.onNavigate ("Ann", View::HomePage, {});
    expectOnlyPage (main, main.getHomePage());
    EXPECT_FALSE (start.isVisible());
    EXPECT_EQ (main.getHomePage().profileName, "Ann");

    for (auto view : { View::StartPage, View::PersonalizeYourAudio, View::Updates })
    {
        main.getHomePage().onNavigate ("Ann", View::StartPage, {});
        expectOnlyPage (main, start);

        main.getPersonalizePage().newProfile = false;
        start.onNavigate ("Ann", view, pngBytes (172, 172));
        expectOnlyPage (main, main.getPersonalizePage());
        EXPECT_TRUE (main.getPersonalizePage().newProfile);
        EXPECT_EQ (main.getPersonalizePage().qrImage.getWidth(), 172);
        EXPECT_EQ (main.getPersonalizePage().profileName, "Ann");
        main.getPersonalizePage().onNavigate ("Ann", View::HomePage, {});
    }
}

TEST (MainComponentNavigation, AnInvalidQrCodeImageReplacesThePreviousOne)
{
    LocalService service;
    DataFolder data;
    MainComponent main (data.folder);

    main.getStartPage().onNavigate ("Ann", View::StartPage, pngBytes (10, 10));
    EXPECT_TRUE (main.getPersonalizePage().qrImage.isValid());

    main.getPersonalizePage().onNavigate ("Ann", View::HomePage, {});
    main.getHomePage().onNavigate ("Ann", View::PersonalizeYourAudio, {});
    expectOnlyPage (main, main.getPersonalizePage());
    EXPECT_FALSE (main.getPersonalizePage().qrImage.isValid());
    EXPECT_FALSE (main.getPersonalizePage().newProfile);
}

TEST (MainComponentNavigation, PersonalisePageGoesHomeOrToTheProfileLoadedPage)
{
    LocalService service;
    DataFolder data;
    MainComponent main (data.folder);
    auto& personalise = main.getPersonalizePage();

    for (auto view : { View::StartPage, View::PersonalizeYourAudio, View::Updates })
    {
        main.getStartPage().onNavigate ("Ann", View::StartPage, {});
        personalise.onNavigate ("Ann", view, {});
        expectOnlyPage (main, main.getProfileLoadedPage());
        EXPECT_EQ (main.getProfileLoadedPage().profileName, "Ann");

        main.getProfileLoadedPage().onNavigate ("Ann", view, {});
        expectOnlyPage (main, main.getHomePage());
        main.getHomePage().onNavigate ("Ann", View::StartPage, {});
    }

    main.getStartPage().onNavigate ("Ann", View::StartPage, {});
    personalise.onNavigate ("Ann", View::HomePage, {});
    expectOnlyPage (main, main.getHomePage());
}

TEST (MainComponentNavigation, HomePageReadsEveryRequest)
{
    LocalService service;
    DataFolder data;
    writeBank (data.folder, { "Ann" });
    MainComponent main (data.folder);
    auto& home = main.getHomePage();

    home.onNavigate ("Ann", View::Updates, {});
    expectOnlyPage (main, main.getUpdatesPage());
    EXPECT_EQ (main.getUpdatesPage().profileName, "Ann");

    for (auto view : { View::StartPage, View::PersonalizeYourAudio, View::HomePage, View::Updates })
    {
        main.getUpdatesPage().onNavigate ("Ann", view, {});
        expectOnlyPage (main, home);
    }

    home.onNavigate ("Ann", View::PersonalizeYourAudio, pngBytes (20, 20));
    expectOnlyPage (main, main.getPersonalizePage());
    EXPECT_FALSE (main.getPersonalizePage().newProfile);
    EXPECT_EQ (main.getPersonalizePage().qrImage.getWidth(), 20);

    main.getPersonalizePage().onNavigate ("Ann", View::HomePage, {});
    main.getStartPage().firstRun = true;
    home.onNavigate ("Ann", View::HomePage, {});
    expectOnlyPage (main, main.getStartPage());
    EXPECT_FALSE (main.getStartPage().firstRun);
    EXPECT_EQ (main.getStartPage().profileName, "Ann");
}

//==============================================================================
TEST (MainWindowClose, IsRefusedWhileAnOperationRunsThenSavesAndQuitsWithoutWaitingForTheNetwork)
{
    // The plug-in's picture never arrives: the profile-loaded page holds the
    // window open until its deadline, then lets a close through while its
    // download still waits (for 30 s without a stop).
    if (! TestHttpsServer::isAvailable())
        SKIP_OR_FAIL_UNDER_CI (TestHttpsServer::unavailableReason());

    LocalService service;
    service.server.stall ("GET", "/picture.png");
    const auto previousScreenshotAddress = AppConstants::getScreenshotAddress();
    AppConstants::setScreenshotAddressForTesting (service.server.urlFor ("/picture.png"));

    DataFolder data;
    writeBank (data.folder, { "Ann" });
    const auto presets = data.folder.getChildFile ("Presets");

    {
        MainWindow window ("Auralis with VST Spherion", data.folder);
        int quits = 0;
        window.onQuitRequested = [&quits]
        { ++quits; };

        EXPECT_EQ (window.getContentComponent()->getWidth(), 540);
        EXPECT_EQ (window.getContentComponent()->getHeight(), 565);
        EXPECT_FALSE (window.isResizable());

        auto& main = window.getMainComponent();
        EXPECT_TRUE (runMessageLoopUntil ([]
                                          { return canQuit.isOpen(); }));
        main.getHomePage().onNavigate ("Ann", View::PersonalizeYourAudio, {});
        main.getPersonalizePage().onNavigate ("Ann", View::PersonalizeYourAudio, {});
        auto& page = main.getProfileLoadedPage();
        expectOnlyPage (main, page);
        EXPECT_TRUE (runMessageLoopUntil ([&]
                                          { return service.server.countRequests ("/picture.png") == 1; }));

        presets.deleteFile();
        window.closeButtonPressed();
        EXPECT_EQ (quits, 0);
        EXPECT_FALSE (presets.exists());

        for (int tick = 0; tick < 6; ++tick)
            page.timerCallback();

        ASSERT_TRUE (canQuit.isOpen());
        ASSERT_TRUE (page.getScreenshotWorker().isThreadRunning());

        const auto started = juce::Time::getMillisecondCounterHiRes();
        window.closeButtonPressed();
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 5000.0);
        EXPECT_EQ (quits, 1);
        EXPECT_TRUE (presets.existsAsFile());
        EXPECT_FALSE (page.getScreenshotWorker().isThreadRunning());
    }

    AppConstants::setScreenshotAddressForTesting (previousScreenshotAddress);
}

TEST (MainWindowClose, WritesNoBankWhenThereIsNoProfile)
{
    LocalService service;
    DataFolder data;
    MainWindow window ("Auralis with VST Spherion", data.folder);
    int quits = 0;
    window.onQuitRequested = [&quits]
    { ++quits; };

    // The first start's software check holds the close gate until the
    // stand-in has answered it.
    ASSERT_TRUE (runMessageLoopUntil ([]
                                      { return canQuit.isOpen(); }));
    window.closeButtonPressed();
    EXPECT_EQ (quits, 1);
    EXPECT_FALSE (data.folder.getChildFile ("Presets").exists());
    EXPECT_FALSE (data.folder.getChildFile ("Presets_").exists());
}
