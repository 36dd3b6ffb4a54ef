#include "ui/Fonts.h"
#include "alerts/IMAlertWindowLNF.h"
#include "alerts/StereoAlertWindow.h"
#include "support/UiTestHelpers.h"
#include "ui/Palette.h"

using UiTest::coloursNear;

namespace
{
struct LookedButton : public juce::TextButton
{
    LookedButton (IMAlertWindowLNF& lnf, const juce::String& caption)
        : juce::TextButton (caption)
    {
        setLookAndFeel (&lnf);
        setSize (140, 34);
    }

    ~LookedButton() override { setLookAndFeel (nullptr); }
};

const juce::Rectangle<int> captionArea { 20, 6, 100, 22 };
}

TEST (IMAlertWindowLNF, TextButtonsAreDarkWithARedOutline)
{
    IMAlertWindowLNF lnf;
    LookedButton button (lnf, "OK");

    auto image = UiTest::snapshot (button);
    EXPECT_TRUE (coloursNear (image.getPixelAt (2, 17), Palette::colour (Palette::redAccent)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 17), Palette::colour (Palette::darkSurface)));

    button.setState (juce::Button::buttonOver);
    EXPECT_TRUE (coloursNear (UiTest::snapshot (button).getPixelAt (8, 17), Palette::colour (Palette::raisedSurface)));

    button.setState (juce::Button::buttonDown);
    EXPECT_TRUE (coloursNear (UiTest::snapshot (button).getPixelAt (8, 17), Palette::colour (Palette::raisedSurface)));

    // The colour the framework passes in (the button's own) makes no difference.
    button.setState (juce::Button::buttonNormal);
    button.setColour (juce::TextButton::buttonColourId, juce::Colours::green);
    EXPECT_TRUE (coloursNear (UiTest::snapshot (button).getPixelAt (8, 17), Palette::colour (Palette::darkSurface)));

    EXPECT_FLOAT_EQ (lnf.getTextButtonFont (button, 34).getHeight(), 20.0f * embeddedFontHeightScale());
}

TEST (IMAlertWindowLNF, DisabledButtonCaptionIsAQuarterOpaque)
{
    IMAlertWindowLNF lnf;
    LookedButton button (lnf, "MMMM");
    const auto fill = Palette::colour (Palette::darkSurface);

    EXPECT_NEAR (UiTest::brightestRed (UiTest::snapshot (button), captionArea), 0xff, 2);

    button.setEnabled (false);
    const auto image = UiTest::snapshot (button);
    const auto quarterWhiteOnFill = fill.overlaidWith (Palette::colour (Palette::disabledButtonText));
    EXPECT_NEAR (UiTest::brightestRed (image, captionArea), quarterWhiteOnFill.getRed(), 3);

    // A disabled button never shows the pointed-at fill.
    button.setState (juce::Button::buttonOver);
    EXPECT_TRUE (coloursNear (UiTest::snapshot (button).getPixelAt (8, 17), fill));
}

TEST (IMAlertWindowLNF, AlertBoxIsPaleWithAWhiteFrameAndTextFrom30Down)
{
    IMAlertWindowLNF lnf;
    EXPECT_EQ (lnf.findColour (juce::AlertWindow::textColourId), juce::Colour (0xff000000));
    EXPECT_EQ (lnf.getAlertWindowButtonHeight(), 34);
    EXPECT_FLOAT_EQ (lnf.getAlertWindowTitleFont().getHeight(), 20.0f * embeddedFontHeightScale());
    EXPECT_FLOAT_EQ (lnf.getAlertWindowMessageFont().getHeight(), 18.0f * embeddedFontHeightScale());
    EXPECT_FLOAT_EQ (lnf.getAlertWindowFont().getHeight(), 18.0f * embeddedFontHeightScale());

    StereoAlertWindow window ("Error!", "Something went wrong.", nullptr);
    window.setLookAndFeel (&lnf);

    const auto image = UiTest::snapshot (window);
    const auto w = image.getWidth(), h = image.getHeight();

    EXPECT_TRUE (coloursNear (image.getPixelAt (10, 10), Palette::colour (Palette::overlayBox)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (1, h / 2), juce::Colours::white));
    EXPECT_TRUE (coloursNear (image.getPixelAt (w / 2, 1), juce::Colours::white));

    // Black title text begins at y 30, nothing dark above it.
    const auto darkestRow = [&] (int y)
    {
        int darkest = 255;

        for (int x = 4; x < w - 4; ++x)
            darkest = juce::jmin (darkest, (int) image.getPixelAt (x, y).getRed());

        return darkest;
    };

    for (int y = 4; y < 30; ++y)
        EXPECT_GT (darkestRow (y), 0xc0) << y;

    int darkest = 255;

    for (int y = 30; y < 52; ++y)
        darkest = juce::jmin (darkest, darkestRow (y));

    EXPECT_LT (darkest, 0x40);

    window.setLookAndFeel (nullptr);
}
