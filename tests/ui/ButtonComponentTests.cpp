#include "support/TestPeer.h"
#include "support/UiTestHelpers.h"
#include "ui/KeyboardFocusIndicator.h"
#include "ui/ButtonComponent.h"
#include "ui/Palette.h"

using UiTest::coloursNear;

namespace
{
// Where the 2-pixel border and the fill of a 120 x 40 button can be read
// clear of corners and caption.
constexpr int borderX = 2, fillX = 8, middleY = 20;

juce::Colour fillOf (ButtonComponent& button)
{
    return UiTest::snapshot (button).getPixelAt (fillX, middleY);
}

juce::Colour borderOf (ButtonComponent& button)
{
    return UiTest::snapshot (button).getPixelAt (borderX, middleY);
}

juce::Colour colour (const char* argb)
{
    return Palette::colour (argb);
}
}

TEST (ButtonComponent, EachNamedSettingReachesItsOwnFieldAndTheRestAreOff)
{
    const ButtonComponent plain ("A", ButtonComponent::Options {});
    EXPECT_FALSE (plain.smallCorners || plain.alternateColours || plain.greyBorder || plain.transparentFill);
    EXPECT_EQ (plain.fontHeight, ButtonComponent::Options::standardFontHeight);

    const auto flagsOf = [] (const ButtonComponent& b)
    { return std::vector<bool> { b.smallCorners, b.alternateColours, b.greyBorder, b.transparentFill }; };

    EXPECT_EQ (flagsOf (ButtonComponent ("A", ButtonComponent::Options {}.withSmallCorners())), (std::vector<bool> { true, false, false, false }));
    EXPECT_EQ (flagsOf (ButtonComponent ("A", ButtonComponent::Options {}.withAlternateColours())), (std::vector<bool> { false, true, false, false }));
    EXPECT_EQ (flagsOf (ButtonComponent ("A", ButtonComponent::Options {}.withGreyBorder())), (std::vector<bool> { false, false, true, false }));
    EXPECT_EQ (flagsOf (ButtonComponent ("A", ButtonComponent::Options {}.withTransparentFill())), (std::vector<bool> { false, false, false, true }));
    EXPECT_EQ (flagsOf (ButtonComponent ("A", ButtonComponent::Options {}.withGreyBorder().withGreyBorder (false))), (std::vector<bool> { false, false, false, false }));

    const ButtonComponent large ("+", ButtonComponent::Options {}.withFontHeight (28.0f));
    EXPECT_EQ (large.fontHeight, 28.0f);
    EXPECT_EQ (large.text, "+");
    EXPECT_EQ (large.fillColour, colour (Palette::darkSurface));
}

TEST (ButtonComponent, BorderIsRedOrGrey)
{
    ButtonComponent red ("Next", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f));
    ButtonComponent grey ("Begin", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder());
    red.setSize (120, 40);
    grey.setSize (120, 40);

    EXPECT_TRUE (coloursNear (borderOf (red), colour (Palette::redAccent)));
    EXPECT_TRUE (coloursNear (borderOf (grey), colour (Palette::greyBorder)));
}

TEST (ButtonComponent, FillFollowsThePointerForEveryVariant)
{
    struct Variant
    {
        bool alternate, transparent;
        const char* rest;
        const char* active;
    };

    for (const auto& v : { Variant { false, false, Palette::darkSurface, Palette::raisedSurface },
                           Variant { true, false, Palette::alternateFill, Palette::alternateActiveFill },
                           Variant { false, true, Palette::transparentFill, Palette::raisedSurface },
                           Variant { true, true, Palette::transparentFill, Palette::alternateActiveFill } })
    {
        SCOPED_TRACE (juce::String (v.rest) + " / " + v.active);
        ButtonComponent button ("Show", ButtonComponent::Options {}.withSmallCorners().withFontHeight (14.0f).withAlternateColours (v.alternate).withTransparentFill (v.transparent));
        button.setSize (120, 40);
        const auto event = UiTest::mouseEventOn (button);

        if (v.transparent)
            EXPECT_EQ (fillOf (button).getAlpha(), 0); // only border and caption at rest
        else
            EXPECT_TRUE (coloursNear (fillOf (button), colour (v.rest)));

        button.mouseEnter (event);
        EXPECT_TRUE (coloursNear (fillOf (button), colour (v.active)));

        button.mouseExit (event);
        EXPECT_EQ (button.fillColour, colour (v.rest));

        button.mouseDown (event);
        EXPECT_TRUE (coloursNear (fillOf (button), colour (v.active)));

        button.mouseUp (event); // no onClick: only the colour changes
        EXPECT_EQ (button.fillColour, colour (v.active));
    }
}

TEST (ButtonComponent, PaintsOntoItsParentAtItsPositionWithARedBorder)
{
    juce::Component page;
    page.setSize (300, 200);
    ButtonComponent button ("Begin", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder());
    page.addAndMakeVisible (button);
    button.setBounds (80, 100, 120, 40);

    // As a child, with its own grey border.
    auto image = UiTest::snapshot (page);
    EXPECT_TRUE (coloursNear (image.getPixelAt (80 + borderX, 100 + middleY), colour (Palette::greyBorder)));

    // Drawn by the page: at the same place, red, and the child draws nothing over it.
    button.paintOnParent = true;
    image = juce::Image (juce::Image::ARGB, 300, 200, true);
    {
        juce::Graphics g (image);
        button.paintOntoParent (g);
    }
    EXPECT_TRUE (coloursNear (image.getPixelAt (80 + borderX, 100 + middleY), colour (Palette::redAccent)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (80 + fillX, 100 + middleY), colour (Palette::darkSurface)));
    EXPECT_EQ (image.getPixelAt (78, 100 + middleY).getAlpha(), 0);

    EXPECT_EQ (UiTest::snapshot (button).getPixelAt (borderX, middleY).getAlpha(), 0);

    // The pointer still changes the fill the page draws.
    button.mouseEnter (UiTest::mouseEventOn (button));
    image = juce::Image (juce::Image::ARGB, 300, 200, true);
    {
        juce::Graphics g (image);
        button.paintOntoParent (g);
    }
    EXPECT_TRUE (coloursNear (image.getPixelAt (80 + fillX, 100 + middleY), colour (Palette::raisedSurface)));
}

TEST (ButtonComponent, PressDragOffAndReleaseStillClicks)
{
    // Real pointer events through a window, so the framework decides which
    // handlers run.
    juce::Component window;
    window.setSize (300, 200);
    ButtonComponent button ("Next", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f));
    window.addAndMakeVisible (button);
    button.setBounds (20, 20, 120, 40);
    window.addToDesktop (0);
    window.setVisible (true);

    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);

    int clicks = 0;
    button.onClick = [&]
    { ++clicks; };

    auto time = juce::Time::currentTimeMillis();
    const auto send = [&] (juce::Point<float> where, juce::ModifierKeys mods)
    {
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                                where,
                                mods,
                                juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation,
                                time += 20);
    };

    const juce::ModifierKeys none, left (juce::ModifierKeys::leftButtonModifier);

    send ({ 50.0f, 40.0f }, none);
    EXPECT_EQ (button.fillColour, colour (Palette::raisedSurface));

    send ({ 50.0f, 40.0f }, left);
    send ({ 250.0f, 150.0f }, left); // dragged well off the button
    send ({ 250.0f, 150.0f }, none); // released there
    EXPECT_EQ (clicks, 1);

    send ({ 260.0f, 160.0f }, none);
    EXPECT_EQ (button.fillColour, colour (Palette::darkSurface));

    window.removeFromDesktop();
}

TEST (ButtonComponent, KeyboardFocusClicksAndShowsOnlyWhileTheKeyboardIsInUse)
{
    OnTestPeer<juce::Component> window;
    window.setSize (300, 200);
    ButtonComponent first ("Next", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f));
    ButtonComponent disabled ("Begin", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder());
    ButtonComponent last ("HOME", ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withAlternateColours());
    int clicks = 0;

    for (auto* b : { &first, &disabled, &last })
    {
        window.addAndMakeVisible (b);
        b->setSize (120, 40);
        b->onClick = [&clicks]
        { ++clicks; };
    }

    disabled.setTopLeftPosition (0, 50);
    disabled.setEnabled (false);
    last.setTopLeftPosition (0, 100);
    window.addToDesktop (0);
    window.setVisible (true);
    KeyboardFocusIndicator::watch (window); // as the program watches its windows

    const auto atRest = UiTest::snapshot (last);
    const auto firstAtRest = UiTest::snapshot (first);

    // Given the focus, as a page gives its first input: no change of look.
    first.grabKeyboardFocus();
    ASSERT_TRUE (first.hasKeyboardFocus (false));
    EXPECT_EQ (UiTest::countDifferingPixels (UiTest::snapshot (first), firstAtRest), 0);

    // Tab passes the disabled button; the focused one shows the active fill
    // inside a thin white frame.
    window.press (UiTest::tab);
    ASSERT_TRUE (last.hasKeyboardFocus (false));
    const auto focused = UiTest::snapshot (last);
    EXPECT_TRUE (coloursNear (focused.getPixelAt (fillX, middleY), colour (Palette::alternateActiveFill)));
    EXPECT_TRUE (coloursNear (focused.getPixelAt (3, middleY), juce::Colours::white));
    EXPECT_TRUE (coloursNear (focused.getPixelAt (borderX, middleY), colour (Palette::redAccent)));

    // Return and Space click it, and so does a screen reader's press.
    window.press (UiTest::returnKey);
    window.press (UiTest::space);
    last.getAccessibilityHandler()->getActions().invoke (juce::AccessibilityActionType::press);
    EXPECT_EQ (clicks, 3);

    // A mouse click elsewhere: the focus stays (a click on a button does not
    // take it) but is no longer shown.
    window.click ({ 60.0f, 20.0f });

    EXPECT_EQ (clicks, 4);
    EXPECT_TRUE (last.hasKeyboardFocus (false));
    const auto afterMouse = UiTest::snapshot (last);
    EXPECT_EQ (afterMouse.getPixelAt (3, middleY), atRest.getPixelAt (3, middleY));
    EXPECT_EQ (afterMouse.getPixelAt (fillX, middleY), atRest.getPixelAt (fillX, middleY));
}
