#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "common/SharedFlags.h"
#include "support/UiTestHelpers.h"
#include "ui/GradientBackgroundComponent.h"
#include "ui/Palette.h"

#include <map>

using UiTest::coloursNear;

namespace
{
struct TestPage : public GradientBackgroundComponent
{
    TestPage (const Picture* decoderLogoToUse = nullptr, const Picture* poweredByLogoToUse = nullptr)
        : GradientBackgroundComponent (decoderLogoToUse, nullptr, poweredByLogoToUse)
    {
    }

    void paint (juce::Graphics& g) override { paintBackground (g); }
};

// The background is drawn at 95 % opacity.
juce::Colour backgroundAt (const char* argb)
{
    return Palette::colour (argb).withAlpha ((juce::uint8) juce::roundToInt (0.95f * 255.0f));
}

juce::Image filled (int width, int height, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, width, height, false);
    image.clear (image.getBounds(), colour);
    return image;
}

struct BusyFlag
{
    explicit BusyFlag (bool value) { busy = value; }
    ~BusyFlag() { busy = false; }
};
}

TEST (GradientBackgroundComponent, IsAFixedPageWithTwoLinkButtons)
{
    TestPage page;

    EXPECT_EQ (page.getBounds(), juce::Rectangle<int> (0, 0, 540, 565));
    EXPECT_TRUE (page.overlayMessage.isEmpty());
    EXPECT_TRUE (page.profileName.isEmpty());

    std::map<juce::String, juce::Rectangle<int>> links;

    for (auto* child : page.getChildren())
        if (dynamic_cast<juce::ImageButton*> (child) != nullptr && child->isVisible())
            links[child->getName()] = child->getBounds();

    ASSERT_EQ (links.size(), 2u);
    EXPECT_EQ (links["Korvane Link"], juce::Rectangle<int> (64, 490, 152, 34));
    EXPECT_EQ (links["Vantora Link"], juce::Rectangle<int> (324, 490, 152, 34));
}

TEST (GradientBackgroundComponent, GradientRunsFromGreyTopToDarkBottomAt540)
{
    TestPage page;
    const auto image = UiTest::snapshot (page);

    EXPECT_TRUE (coloursNear (image.getPixelAt (10, 0), backgroundAt (Palette::gradientTop)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (530, 1), backgroundAt (Palette::gradientTop)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (10, 540), backgroundAt (Palette::gradientBottom)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (270, 564), backgroundAt (Palette::gradientBottom)));

    // Halfway down, halfway between.
    const auto middle = Palette::colour (Palette::gradientTop).interpolatedWith (Palette::colour (Palette::gradientBottom), 0.5f);
    EXPECT_TRUE (coloursNear (image.getPixelAt (10, 270), middle.withAlpha ((juce::uint8) 242)));
}

TEST (GradientBackgroundComponent, OverlayIsDrawnOnlyWhileBusy)
{
    TestPage page;
    page.overlayMessage = "Generating QR code...";

    {
        // Not busy: nothing at all over the children.
        juce::Image image (juce::Image::ARGB, 540, 565, true);
        juce::Graphics g (image);
        page.paintOverChildren (g);

        for (int y = 0; y < 565; y += 5)
            for (int x = 0; x < 540; x += 5)
                ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << x << ", " << y;
    }

    const auto idle = UiTest::snapshot (page);

    {
        const BusyFlag flag (true);
        const auto image = UiTest::snapshot (page);

        // The box, over the background, at 93 %: nearly its own colour.
        const auto behind = idle.getPixelAt (130, 240);
        const auto box = behind.overlaidWith (Palette::colour (Palette::overlayBox).withAlpha (0.93f));
        EXPECT_TRUE (coloursNear (image.getPixelAt (130, 240), box));
        EXPECT_TRUE (coloursNear (image.getPixelAt (410, 320), box));

        // The white frame shows outside the box's edge, where the fill does not reach.
        EXPECT_TRUE (coloursNear (image.getPixelAt (119, 280), juce::Colours::white));
        EXPECT_TRUE (coloursNear (image.getPixelAt (420, 280), juce::Colours::white));
        EXPECT_TRUE (coloursNear (image.getPixelAt (270, 229), juce::Colours::white));

        // The message is dark text in its line; the rest of the box has none.
        int darkest = 255;

        for (int x = 120; x < 420; ++x)
            for (int y = 270; y < 289; ++y)
                darkest = juce::jmin (darkest, (int) image.getPixelAt (x, y).getRed());

        EXPECT_LT (darkest, 60);

        // Outside the box the page is unchanged.
        EXPECT_EQ (image.getPixelAt (60, 240), idle.getPixelAt (60, 240));
    }

    EXPECT_EQ (UiTest::snapshot (page).getPixelAt (130, 240), idle.getPixelAt (130, 240));
}

TEST (GradientBackgroundComponent, LinkButtonsOpenTheirWebPages)
{
    juce::StringArray opened;
    const ExternalActions::ScopedOverride hooks ([&] (const juce::String& address)
                                                 { opened.add (address); },
                                                 [] {});

    TestPage page;

    for (auto* child : page.getChildren())
        if (auto* link = dynamic_cast<juce::ImageButton*> (child))
            link->triggerClick();

    UiTest::pumpMessages();

    EXPECT_TRUE (opened.contains (AppConstants::partnerWebAddress));
    EXPECT_TRUE (opened.contains (AppConstants::makerWebAddress));
    EXPECT_EQ (opened.size(), 2);
}

TEST (GradientBackgroundComponent, ScaledDisplaysShowTheDoubledArtworkAndTheStandardOneAt100Percent)
{
    // Each version in a colour of its own, to tell which one was drawn.
    const auto standardColour = juce::Colours::red, doubledColour = juce::Colours::blue;
    const Picture decoderLogo (filled (216, 85, standardColour), filled (432, 170, doubledColour));
    const Picture poweredBy (filled (153, 36, standardColour), filled (306, 72, doubledColour));
    TestPage page (&decoderLogo, &poweredBy);

    juce::Button* link = nullptr;

    for (auto* child : page.getChildren())
        if (child->getName() == "Vantora Link")
            link = dynamic_cast<juce::Button*> (child);

    ASSERT_NE (link, nullptr);

    const juce::Point<int> logoCentre (270, 70), linkCentre (400, 507), besideLink (300, 507);

    for (const auto scale : { 1.0f, 1.5f, 2.0f })
    {
        SCOPED_TRACE (scale);
        const auto expected = scale > 1.0f ? doubledColour : standardColour;
        const auto at = [scale] (juce::Point<int> p)
        { return (p.toFloat() * scale).toInt(); };

        // The logo is drawn at the background's 95 %, so a little of it shows through.
        link->setState (juce::Button::buttonNormal);
        const auto atRest = page.createComponentSnapshot (page.getLocalBounds(), true, scale);
        EXPECT_TRUE (coloursNear (atRest.getPixelAt (at (logoCentre).x, at (logoCentre).y), expected, 16));
        EXPECT_TRUE (coloursNear (atRest.getPixelAt (at (linkCentre).x, at (linkCentre).y), expected));

        // Pressed, the link shows its picture at 65 % over the background.
        link->setState (juce::Button::buttonDown);
        const auto pressed = page.createComponentSnapshot (page.getLocalBounds(), true, scale);
        const auto background = pressed.getPixelAt (at (besideLink).x, at (besideLink).y);
        EXPECT_TRUE (coloursNear (pressed.getPixelAt (at (linkCentre).x, at (linkCentre).y),
                                  background.overlaidWith (expected.withAlpha (0.65f))));
    }
}
