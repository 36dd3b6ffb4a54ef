#include "PageTour.h"
#include "support/Ocr.h"
#include "support/SampleNames.h"
#include "ui/BoldTextEditor.h"
#include "ui/Fonts.h"
#include "ui/PrimaryComboBox.h"
#include "ui/text/TextLine.h"

// A first start with a name in each script, as a user makes it: typed into
// the start page's entry key by key, shown on the personalise page after
// "Logged in as", and in the home page's profile selector on the next start.
// Each place is read back from the window's pixels by the OCR engine.

namespace
{
template <typename ComponentType>
ComponentType* findChild (juce::Component& parent)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* found = dynamic_cast<ComponentType*> (child))
            return found;

        if (auto* deeper = findChild<ComponentType> (*child))
            return deeper;
    }

    return nullptr;
}
}

//==============================================================================
class NamesInEveryScript : public PageTour, public ::testing::WithParamInterface<SampleNames::Sample>
{
protected:
    /** The window's pixels in an area of a component. */
    juce::Image crop (juce::Component& component, juce::Rectangle<int> area)
    {
        return render().getClippedImage (main().getLocalArea (&component, area));
    }

    /** The name reads back from the crop: by OCR in its script's language,
        or, for an emoji, by its colours. */
    void expectReadsBack (const juce::Image& image, const char* where)
    {
        const auto& sample = GetParam();

        if (sample.language.isEmpty())
        {
            EXPECT_TRUE (SampleNames::hasColouredPixels (image)) << where;
            return;
        }

        EXPECT_TRUE (Ocr::readsAs (image, sample.language, sample.name))
            << where << ": read \"" << Ocr::readLine (image, sample.language) << "\" for \"" << sample.name << "\"";
    }
};

TEST_P (NamesInEveryScript, ReadsBackFromEveryPlaceTheNameIsDrawn)
{
    const auto& sample = GetParam();

    if (sample.language.isNotEmpty() && ! Ocr::isAvailable (sample.language))
        GTEST_FAIL() << "no OCR language data " << sample.language << " (scripts/setup.sh installs it)";

    const auto fresh = newProfileReply();
    answerStatusWith (fresh);

    // The start page: typed key by key.
    open();
    ASSERT_EQ (&currentPage(), &main().getStartPage());
    auto& entry = main().getStartPage().getUserNameEditor();
    entry.editor.grabKeyboardFocus();
    window->type (sample.name);
    settle();

    EXPECT_EQ (entry.editor.getText(), sample.name); // kept exactly as typed
    // The entry's line of text, without its frame.
    const auto textLine = entry.editor.getCaretRectangleForCharIndex (0);
    expectReadsBack (crop (entry.editor, entry.editor.getLocalBounds().reduced (2, 0).withY (textLine.getY() - 3).withHeight (textLine.getHeight() + 6)),
                     "the name entry");

    // The personalise page, once the name is registered.
    main().getStore().mergeStatusReply (sample.name, juce::JSON::parse (fresh.toJson()));
    main().getStartPage().onNavigate (sample.name, View::StartPage, qrCodePng());
    waitUntilIdle();
    ASSERT_EQ (&currentPage(), &main().getPersonalizePage());

    render(); // the page shows the line when it paints
    auto* loggedInAs = findChild<BoldTextEditor> (main().getPersonalizePage());
    ASSERT_NE (loggedInAs, nullptr);

    // The line is centred, the name its end: crop the name alone.
    const auto font = regularFont ((float) loggedInAs->fontHeight);
    const auto prefixWidth = TextLine ("Logged in as  ", font).getWidth();
    const auto nameWidth = TextLine (sample.name, font).getWidth();
    auto& editor = loggedInAs->editor;
    const auto left = (float) (editor.getLeftIndent() + editor.getBorder().getLeft());
    const auto available = (float) (editor.getWidth() - editor.getBorder().getLeftAndRight() - editor.getLeftIndent() - 2);
    const auto nameRight = left + (available + prefixWidth + nameWidth) * 0.5f;
    const auto nameArea = juce::Rectangle<float> (nameRight - nameWidth, 0.0f, nameWidth, (float) editor.getHeight())
                              .expanded (4.0f, 0.0f)
                              .getSmallestIntegerContainer()
                              .getIntersection (editor.getLocalBounds());

    expectReadsBack (crop (editor, nameArea), "the \"Logged in as\" line");

    // The next start: the home page's selector shows the profile.
    window.reset();
    seedProfile (sample.name, statusReply);
    seedIds (sample.name, "hrtf_0a1b2c3d4e5f", "img_1");
    open();
    ASSERT_EQ (&currentPage(), &main().getHomePage());

    auto* selector = findChild<PrimaryComboBox> (main().getHomePage());
    ASSERT_NE (selector, nullptr);
    EXPECT_EQ (selector->getText(), sample.name);

    auto* shown = findChild<juce::Label> (*selector);
    ASSERT_NE (shown, nullptr);
    expectReadsBack (crop (*shown, shown->getLocalBounds()), "the profile selector");
}

INSTANTIATE_TEST_SUITE_P (Samples,
                          NamesInEveryScript,
                          ::testing::ValuesIn (SampleNames::all()),
                          [] (const auto& instance)
                          { return juce::String (instance.param.script).retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ").toStdString(); });
