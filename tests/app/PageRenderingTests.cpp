#include "PageTour.h"

// Every page, in the states a user meets, drawn as the window shows it at
// rest, compared pixel for pixel with the pictures in tests/app/page-references.
// scripts/update-page-references.sh rewrites those pictures from the current
// build (after a change of look made on purpose); look at them before
// committing them.

namespace
{
juce::File referenceFolder()
{
    return juce::File (AURALIS_TEST_SOURCE_DIR).getChildFile ("tests/app/page-references");
}

bool writingReferences()
{
    return juce::SystemStats::getEnvironmentVariable ("AURALIS_WRITE_PAGE_REFERENCES", {}) == "1";
}

void writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();

    if (juce::FileOutputStream out (file); out.openedOk())
        juce::PNGImageFormat().writeImageToStream (image, out);
}

juce::File actualFolder()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile)
        .getSiblingFile ("snapshots")
        .getChildFile ("page-rendering");
}
}

//==============================================================================
class PageRendering : public PageTour
{
protected:
    /** Compares the window with the reference picture of that name (or
        writes it, when the references are being rewritten). */
    void expectLooksAsBefore (const juce::String& name)
    {
        const auto image = render();
        const auto reference = referenceFolder().getChildFile (name + ".png");

        if (writingReferences())
        {
            writePng (image, reference);
            return;
        }

        const auto expected = juce::ImageFileFormat::loadFrom (reference);
        ASSERT_TRUE (expected.isValid()) << "no reference picture " << reference.getFullPathName();

        const auto differing = UiTest::countDifferingPixels (image, expected);

        if (differing != 0)
            writePng (image, actualFolder().getChildFile (name + ".png"));

        EXPECT_EQ (differing, 0) << name << ": " << differing << " pixels differ from " << reference.getFullPathName()
                                 << " (drawn now: " << actualFolder().getChildFile (name + ".png").getFullPathName() << ")";
    }
};

TEST_F (PageRendering, OnboardingPagesLookAsBefore)
{
    const auto fresh = newProfileReply();
    answerStatusWith (fresh);

    open();
    ASSERT_EQ (&currentPage(), &main().getStartPage());
    expectLooksAsBefore ("start-first-run");

    enterName ("Zoe");
    expectLooksAsBefore ("start-name-valid");

    enterName ({});
    expectLooksAsBefore ("start-name-empty");

    // Begin's status check registers the profile.
    main().getStore().mergeStatusReply (profile, juce::JSON::parse (fresh.toJson()));

    startPageToPersonalisePage();
    expectLooksAsBefore ("personalise");

    personalisePageWaitsAMinute();
    expectLooksAsBefore ("personalise-no-ear-image");

    personalisePageToProfileLoadedPage();
    expectLooksAsBefore ("profile-loaded");
}

TEST_F (PageRendering, AccountPagesLookAsBefore)
{
    openWithProfile();
    ASSERT_EQ (&currentPage(), &main().getHomePage());
    expectLooksAsBefore ("home");

    homeToStartPage();
    enterName (profile);
    expectLooksAsBefore ("start-from-home-name-taken");
    main().getStartPage().onNavigate (profile, View::HomePage, {});
    waitUntilIdle();

    homeToUpdatesPage();
    expectLooksAsBefore ("updates-none");
    updatesPageToHome();

    auto reply = statusReply;
    reply.software = StatusReply::Software();
    reply.profileUpdate = StatusReply::ProfileUpdate();
    answerStatusWith (reply);
    main().getHomePage().setCurrentProfile (profile);
    waitUntilIdle();
    ASSERT_TRUE (main().getHomePage().areUpdatesAvailable());
    ASSERT_TRUE (click (main().getHomePage(), AccountTexts::showCaption));
    expectLooksAsBefore ("home-updates-and-hrtf-id");

    homeToUpdatesPage();
    expectLooksAsBefore ("updates-both");

    main().getHomePage().overlayMessage = AccountTexts::generatingQrCodeMessage;
    updatesPageToHome();
    busy = true;
    expectLooksAsBefore ("home-busy");
    busy = false;
}
