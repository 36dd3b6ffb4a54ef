#include "HomePageFixture.h"

#include "ui/AccessibleCaption.h"
#include "ui/Palette.h"

namespace
{
const juce::Colour filledDot = Palette::colour (Palette::redAccent);
const juce::Colour badgeRed = Palette::colour (Palette::badgeRed);

// The centre of dot i, and a point of the badge beside its digit.
juce::Point<int> dotCentre (int i) { return { 298 + 28 * i + 8, 298 }; }
const juce::Point<int> badgePoint { 467, 157 };

int countFilledDots (const juce::Image& snapshot)
{
    int filled = 0;

    for (int i = 0; i < 5; ++i)
        if (UiTest::coloursNear (snapshot.getPixelAt (dotCentre (i).x, dotCentre (i).y), filledDot, 6))
            ++filled;

    return filled;
}

// What a screen reader reads for the dots.
juce::String dotsCaption (juce::Component& page)
{
    const juce::Rectangle<int> dots (298, 290, 129, 17);

    for (auto* child : page.getChildren())
        if (dynamic_cast<AccessibleCaption*> (child) != nullptr && child->getBounds() == dots)
            return child->getTitle();

    return "(no caption)";
}
}

//==============================================================================
using HomeDisplay = HomePageFixture;

TEST_F (HomeDisplay, DotsShowTheImageSubmissionsLeftAtMostFive)
{
    struct Case
    {
        juce::String imgId;
        int allowed;
        int dots;
    };

    const Case cases[] = {
        { "", 0, 5 }, // no image yet: five
        { "img_ann_3", 5, 2 },
        { "img_ann_5", 5, 0 }, // none left
        { "img_ann_7", 5, 0 }, // more used than allowed
        { "img_ann_1", 9, 5 }, // more than five left
        { "7", 8, 1 }, // no "_": the whole id is the number
        { "img_ann_x", 4, 4 }, // unreadable: counts as none used
        { "img_ann_-2147483648", 2147483647, 5 }, // far apart, still five
        { "img_ann_2147483647", -2147483647, 0 },
    };

    int n = 0;

    for (const auto& c : cases)
    {
        const auto name = "User " + juce::String (++n);
        StatusReply reply;
        reply.hrtfAllowed = c.allowed;
        reply.hrtfRequested = 2;
        seedProfile (name, reply);

        if (c.imgId.isNotEmpty())
            seedIds (name, "hrtf-" + juce::String (n), c.imgId);

        serveStatus (reply);
        enter (name);

        // Read out from the profile's choice on, before any paint.
        EXPECT_EQ (dotsCaption (*page), juce::String (c.dots)) << c.imgId << " of " << c.allowed;

        const auto snapshot = UiTest::snapshot (*page);
        EXPECT_EQ (page->getFilledDotCount(), c.dots) << c.imgId << " of " << c.allowed;
        EXPECT_EQ (countFilledDots (snapshot), c.dots) << c.imgId << " of " << c.allowed;

        if (c.imgId == "img_ann_3")
            saveSnapshot (snapshot, "home-two-submissions-left");
    }
}

TEST_F (HomeDisplay, ShowRevealsTheHrtfIdOrNoHrtf)
{
    seedProfile ("Ann");
    seedProfile ("Bob");
    seedIds ("Bob", "hrtf-bob-1", "img_bob_1");
    serveStatus ({});
    enter ("Ann");

    EXPECT_EQ (findChild<BoldTextEditor> (*page), nullptr);
    ASSERT_TRUE (click (*page, "Show"));
    EXPECT_EQ (findChild<ButtonComponent> (*page, "Show"), nullptr);
    auto* box = findChild<BoldTextEditor> (*page);
    ASSERT_NE (box, nullptr);
    EXPECT_TRUE (box->isVisible());
    EXPECT_EQ (box->editor.getText(), "No HRTF");
    EXPECT_EQ (box->getBounds(), juce::Rectangle<int> (294, 315, 225, 28));

    choose (1);
    ASSERT_TRUE (waitFor ([this]
                          { return ! page->isCheckRunning(); }));
    EXPECT_EQ (box->editor.getText(), "hrtf-bob-1");
    saveSnapshot (UiTest::snapshot (*page), "home-hrtf-id-shown");

    // Entering the page again hides the id.
    enter ("Bob");
    EXPECT_EQ (findChild<BoldTextEditor> (*page), nullptr);
    EXPECT_NE (findChild<ButtonComponent> (*page, "Show"), nullptr);
}

TEST_F (HomeDisplay, ListsTheProfilesInBankOrderAndChecksTheNamedOne)
{
    seedProfile ("Ann");
    seedProfile ("Bob");
    seedProfile ("Cy");
    StatusReply reply;
    reply.hrtfAllowed = 7;
    serveStatus (reply);
    enter ("Bob");

    auto& box = userBox();
    ASSERT_EQ (box.getNumItems(), 3);
    EXPECT_EQ (box.getItemText (0), "Ann");
    EXPECT_EQ (box.getItemText (2), "Cy");
    EXPECT_EQ (box.getText(), "Bob");
    EXPECT_EQ (box.getSelectedId(), 2);
    EXPECT_TRUE (box.isEnabled());
    EXPECT_EQ (store->getLastSelectedPreset(), 1);
    EXPECT_EQ (page->profileName, "Bob");

    // One check, and its reply went to the profile selected.
    EXPECT_EQ (statusRequests(), 1);
    ProfileRecord ann, bob;
    ASSERT_TRUE (store->findProfile ("Ann", ann));
    ASSERT_TRUE (store->findProfile ("Bob", bob));
    EXPECT_EQ (ann.hrtf_allowed, 5);
    EXPECT_EQ (bob.hrtf_allowed, 7);
}

//==============================================================================
TEST_F (HomeDisplay, NothingActsWhileBusy)
{
    seedProfile ("Ann");
    seedProfile ("Bob");
    serveStatus ({});
    serveQrCode();
    enter ("Ann");

    busy = true;

    for (auto name : { "+", "Check For Updates", "Submit New Image", "Show" })
        EXPECT_TRUE (click (*page, name)) << name;

    choose (1);
    settle (200);

    EXPECT_TRUE (navigation.empty());
    EXPECT_EQ (statusRequests(), 1);
    EXPECT_EQ (findChild<BoldTextEditor> (*page), nullptr);
    EXPECT_EQ (store->getLastSelectedPreset(), 0);
    EXPECT_FALSE (page->isCheckRunning());
}

TEST_F (HomeDisplay, NothingActsWhileACheckRuns)
{
    seedProfile ("Ann");
    seedProfile ("Bob");
    Gate gate;
    serveStatusBehind (gate, {});

    makePage();
    page->setVisible (true);
    page->setCurrentProfile ("Ann");
    ASSERT_TRUE (waitFor ([this]
                          { return statusRequests() == 1; }));
    ASSERT_TRUE (page->isCheckRunning());
    EXPECT_FALSE (canQuit.isOpen());

    for (auto name : { "+", "Check For Updates", "Submit New Image", "Show" })
        EXPECT_TRUE (click (*page, name)) << name;

    // The selector shows the choice but loads nothing.
    choose (1);
    EXPECT_EQ (userBox().getText(), "Bob");
    EXPECT_EQ (store->getLastSelectedPreset(), 0);

    settle (200);
    EXPECT_TRUE (navigation.empty());
    EXPECT_EQ (statusRequests(), 1);
    EXPECT_EQ (findChild<BoldTextEditor> (*page), nullptr);

    gate.open();
    ASSERT_TRUE (waitFor ([this]
                          { return ! page->isCheckRunning(); }));
    EXPECT_TRUE (canQuit.isOpen());
}

TEST_F (HomeDisplay, AddProfileAndCheckForUpdatesAskForTheirPages)
{
    seedProfile ("Ann");
    serveStatus ({});
    enter ("Ann");

    page->onNavigate = nullptr;
    EXPECT_TRUE (click (*page, "+"));
    EXPECT_TRUE (click (*page, "Check For Updates"));
    EXPECT_TRUE (navigation.empty());

    recordNavigation (*page, navigation);
    EXPECT_TRUE (click (*page, "+"));
    EXPECT_TRUE (click (*page, "Check For Updates"));
    ASSERT_EQ (navigation.size(), 2u);
    EXPECT_EQ (navigation[0].view, View::StartPage);
    EXPECT_EQ (navigation[1].view, View::Updates);
    EXPECT_EQ (navigation[1].profile, "Ann");
    EXPECT_FALSE (navigation[1].data.isValid());
}

//==============================================================================
TEST_F (HomeDisplay, SnapshotsOfTheBadgeAndTheBusyOverlay)
{
    StatusReply nothingWaiting;
    nothingWaiting.hrtfRequested = 0;
    seedProfile ("Ann", nothingWaiting);
    serveStatus (nothingWaiting);
    enter ("Ann");

    auto plain = UiTest::snapshot (*page);
    EXPECT_FALSE (UiTest::coloursNear (plain.getPixelAt (badgePoint.x, badgePoint.y), badgeRed, 40));
    saveSnapshot (plain, "home-no-updates");

    auto update = nothingWaiting;
    update.software = StatusReply::Software {};
    serveStatus (update);
    enter ("Ann");

    auto badge = UiTest::snapshot (*page);
    EXPECT_TRUE (UiTest::coloursNear (badge.getPixelAt (badgePoint.x, badgePoint.y), badgeRed, 6));
    EXPECT_EQ (countFilledDots (badge), 5);
    saveSnapshot (badge, "home-update-badge");

    busy = true;
    page->overlayMessage = "Generating QR Code ...";
    auto overlay = UiTest::snapshot (*page);
    EXPECT_TRUE (UiTest::coloursNear (overlay.getPixelAt (130, 240), Palette::colour (Palette::overlayBox), 20));
    saveSnapshot (overlay, "home-generating-qr-code");
    busy = false;
}
