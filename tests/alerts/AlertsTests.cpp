#include "alerts/Alerts.h"
#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "support/MessageLoop.h"
#include "support/UiTestHelpers.h"
#include "ui/GradientBackgroundComponent.h"

#include <memory>

namespace
{
struct Page : public GradientBackgroundComponent
{
    Page()
        : GradientBackgroundComponent (nullptr, nullptr, nullptr)
    {
    }
};

// Watches the browser and quit requests instead of acting on them.
struct Outside
{
    juce::StringArray opened;
    int quitRequests = 0;
    ExternalActions::ScopedOverride hooks { [this] (const juce::String& a)
                                            { opened.add (a); },
                                            [this]
                                            { ++quitRequests; } };
};

// Runs an action on the alert once it is up, noting what the page and the
// alert looked like at that moment.
struct Seen
{
    float pageAlpha = -1.0f;
    float alertAlpha = -1.0f;
    juce::String title;
};

UiTest::ModalDriver drive (Page& page, Seen& seen, std::function<void (juce::Component&)> action)
{
    return UiTest::ModalDriver ([&page, &seen, action] (juce::Component& modal)
                                {
                                    seen.pageAlpha = page.getAlpha();
                                    seen.alertAlpha = modal.getAlpha();
                                    seen.title = modal.getName();
                                    action (modal); });
}

const auto escape = [] (juce::Component& m)
{ UiTest::pressKey (m, juce::KeyPress::escapeKey); };
const auto enter = [] (juce::Component& m)
{ UiTest::pressKey (m, juce::KeyPress::returnKey); };

std::function<void (juce::Component&)> click (const juce::String& caption)
{
    return [caption] (juce::Component& m)
    { EXPECT_TRUE (UiTest::clickButton (m, caption)) << caption; };
}
}

TEST (Alerts, ShowAlertDimsThePageAndReturnsTheAnswer)
{
    Page page;
    Seen seen;

    {
        auto driver = drive (page, seen, escape);
        EXPECT_EQ (showAlert (page, AppConstants::errorTitle, AppConstants::connectionMessage), 0);
    }

    EXPECT_NEAR (seen.pageAlpha, 0.7f, 0.005f);
    EXPECT_NEAR (seen.alertAlpha, 0.93f, 0.005f);
    EXPECT_EQ (seen.title, AppConstants::errorTitle);
    EXPECT_FLOAT_EQ (page.getAlpha(), 1.0f);

    {
        auto driver = drive (page, seen, enter);
        EXPECT_EQ (showAlert (page, AppConstants::errorTitle, "Return presses OK."), 1);
    }

    EXPECT_FLOAT_EQ (page.getAlpha(), 1.0f);

    {
        auto driver = drive (page, seen, click (AppConstants::okButtonText));
        EXPECT_EQ (showAlert (page, "Done", {}), 1);
    }
}

TEST (Alerts, UpdateAlertOpensTheAddressAndQuitsOnlyOnOk)
{
    Page page;
    Seen seen;
    Outside outside;
    const juce::String url ("https://downloads.example/auralis-0.0.11.exe");

    {
        auto driver = drive (page, seen, escape);
        EXPECT_EQ (showUpdateAlert (page, AppConstants::updateNowTitle, AppConstants::outOfDateMessage, url), 0);
    }

    EXPECT_TRUE (outside.opened.isEmpty());
    EXPECT_EQ (outside.quitRequests, 0);

    {
        auto driver = drive (page, seen, enter);
        EXPECT_EQ (showUpdateAlert (page, AppConstants::updateNowTitle, AppConstants::outOfDateMessage, url), 1);
    }

    EXPECT_NEAR (seen.pageAlpha, 0.7f, 0.005f);
    EXPECT_FLOAT_EQ (page.getAlpha(), 1.0f);
    EXPECT_EQ (outside.opened, juce::StringArray (url));
    EXPECT_EQ (outside.quitRequests, 1);

    // No address: nothing to open, but "OK" still quits.
    {
        auto driver = drive (page, seen, enter);
        EXPECT_EQ (showUpdateAlert (page, AppConstants::updateNowTitle, AppConstants::outOfDateMessage, {}), 1);
    }

    EXPECT_EQ (outside.opened.size(), 1);
    EXPECT_EQ (outside.quitRequests, 2);
}

TEST (Alerts, UpdateAvailableReturnsTheButtonPressed)
{
    Page page;
    Seen seen;
    Outside outside;

    const auto ask = [&]
    {
        return showUpdateAvailable (page, "Version 0.0.11 is available", "Faster downloads.", AppConstants::remindMeLaterText, AppConstants::downloadNowText);
    };

    {
        auto driver = drive (page, seen, click (AppConstants::remindMeLaterText));
        EXPECT_EQ (ask(), 1);
    }

    EXPECT_NEAR (seen.pageAlpha, 0.7f, 0.005f);
    EXPECT_EQ (seen.title, "Version 0.0.11 is available");

    {
        auto driver = drive (page, seen, click (AppConstants::downloadNowText));
        EXPECT_EQ (ask(), 2);
    }

    {
        // Two buttons: Return chooses neither; Escape then dismisses.
        auto driver = drive (page, seen, [] (juce::Component& m)
                             {
                                 EXPECT_FALSE (m.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
                                 UiTest::pressKey (m, juce::KeyPress::escapeKey); });
        EXPECT_EQ (ask(), 0);
    }

    // The function itself opens nothing.
    EXPECT_TRUE (outside.opened.isEmpty());
    EXPECT_EQ (outside.quitRequests, 0);
    EXPECT_FLOAT_EQ (page.getAlpha(), 1.0f);
}

TEST (Alerts, MissingComponentsIsPostedFromAnyThread)
{
    Page page;
    Seen seen;
    bool windowHadButtons = true;

    auto driver = drive (page, seen, [&] (juce::Component& m)
                         {
                             windowHadButtons = (UiTest::clickButton (m, AppConstants::okButtonText));
                             UiTest::pressKey (m, juce::KeyPress::escapeKey); });

    juce::WaitableEvent posted;
    juce::Thread::launch ([&]
                          {
                              showMissingComponents (page, AppConstants::missingComponentsTitle, AppConstants::missingComponentsMessage);
                              posted.signal(); });
    ASSERT_TRUE (posted.wait (5000));

    // Nothing is shown until the message thread gets to it.
    EXPECT_EQ (driver.modalsSeen, 0);
    EXPECT_FLOAT_EQ (page.getAlpha(), 1.0f);

    for (int i = 0; i < 100 && driver.modalsSeen == 0; ++i)
        UiTest::pumpMessages (20);

    EXPECT_EQ (driver.modalsSeen, 1);
    EXPECT_EQ (seen.title, AppConstants::missingComponentsTitle);
    EXPECT_FALSE (windowHadButtons);
    EXPECT_NEAR (seen.pageAlpha, 0.7f, 0.005f);
    EXPECT_NEAR (seen.alertAlpha, 0.93f, 0.005f);
    EXPECT_FLOAT_EQ (page.getAlpha(), 1.0f);
}

TEST (Alerts, MissingComponentsForAPageThatIsGoneShowsNothing)
{
    auto page = std::make_unique<Page>();
    UiTest::ModalDriver driver (escape);

    showMissingComponents (*page, AppConstants::missingComponentsTitle, AppConstants::missingComponentsMessage);
    page.reset();

    UiTest::pumpMessages (200);
    EXPECT_EQ (driver.modalsSeen, 0);
}

TEST (Alerts, AreReadAsDialogsNamedByTheirTitlesWithTheirButtons)
{
    Page page;
    Outside outside;

    struct Case
    {
        juce::String title, message;
        std::function<void()> show;
        juce::StringArray buttons;
    };

    const std::vector<Case> cases {
        { "Error!", "No connection.", [&]
          { showAlert (page, "Error!", "No connection."); },
          { "OK" } },
        { "Update Now!", "Out of date.", [&]
          { showUpdateAlert (page, "Update Now!", "Out of date.", "https://example.com/"); },
          { "OK" } },
        { "A new version", "Notes.", [&]
          { showUpdateAvailable (page, "A new version", "Notes.", "Remind Me Later", "Download Now!"); },
          { "Remind Me Later", "Download Now!" } },
        { "Missing Critical Components!", "Please reinstall.", [&]
          { showMissingComponents (page, "Missing Critical Components!", "Please reinstall."); },
          {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.title);
        juce::String dialogTitle, text;
        juce::StringArray buttons;
        auto role = juce::AccessibilityRole::unspecified;

        UiTest::ModalDriver driver ([&] (juce::Component& alert)
                                    {
                                        if (auto* handler = alert.getAccessibilityHandler())
                                        {
                                            role = handler->getRole();
                                            dialogTitle = handler->getTitle();
                                        }

                                        for (auto* element : UiTest::readAccessibilityTree (alert))
                                        {
                                            if (element->getRole() == juce::AccessibilityRole::button)
                                            {
                                                buttons.add (element->getTitle());
                                                EXPECT_TRUE (element->getComponent().getWantsKeyboardFocus()) << element->getTitle();
                                            }
                                            else
                                            {
                                                text << element->getTitle();
                                            }
                                        }

                                        UiTest::pressKey (alert, juce::KeyPress::escapeKey); });
        c.show();
        ASSERT_TRUE (runMessageLoopUntil ([&]
                                          { return driver.modalsSeen == 1 && juce::Component::getCurrentlyModalComponent() == nullptr; }));

        EXPECT_EQ (role, juce::AccessibilityRole::dialogWindow);
        EXPECT_EQ (dialogTitle, c.title);
        EXPECT_TRUE (text.contains (c.message)) << text;
        EXPECT_EQ (buttons, c.buttons);
    }
}
