#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

//==============================================================================
// Helpers for tests that look at what components draw and that drive modal
// alerts from inside their loops.
namespace UiTest
{
inline juce::Image snapshot (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
}

/** True when every channel, alpha included, is within tolerance. */
inline ::testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 3)
{
    const auto near = [tolerance] (juce::uint8 a, juce::uint8 b)
    { return std::abs ((int) a - (int) b) <= tolerance; };

    if (near (actual.getAlpha(), expected.getAlpha()) && near (actual.getRed(), expected.getRed())
        && near (actual.getGreen(), expected.getGreen()) && near (actual.getBlue(), expected.getBlue()))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "pixel " << actual.toDisplayString (true) << ", expected "
                                         << expected.toDisplayString (true);
}

/** How many pixels of two pictures differ (all of them if their sizes do). */
inline int countDifferingPixels (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return a.getWidth() * a.getHeight();

    int count = 0;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                ++count;

    return count;
}

/** The largest red channel among the (nearly) opaque pixels of an area; faint
    edge pixels are left out, since their colour is unreliable once alpha is
    divided out. */
inline int brightestRed (const juce::Image& image, juce::Rectangle<int> area)
{
    int brightest = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (const auto pixel = image.getPixelAt (x, y); pixel.getAlpha() >= 0xf0)
                brightest = juce::jmax (brightest, (int) pixel.getRed());

    return brightest;
}

/** Every element a screen reader finds in a window, depth first. */
inline std::vector<juce::AccessibilityHandler*> readAccessibilityTree (juce::Component& window)
{
    std::vector<juce::AccessibilityHandler*> elements;

    std::function<void (juce::AccessibilityHandler&)> collect = [&] (juce::AccessibilityHandler& handler)
    {
        for (auto* child : handler.getChildren())
        {
            elements.push_back (child);
            collect (*child);
        }
    };

    if (auto* root = window.getAccessibilityHandler())
        collect (*root);

    return elements;
}

/** A mouse event on a component, for calling its handlers directly. */
inline juce::MouseEvent mouseEventOn (juce::Component& c)
{
    const juce::Point<float> centre (c.getWidth() / 2.0f, c.getHeight() / 2.0f);
    return { juce::Desktop::getInstance().getMainMouseSource(),
             centre,
             juce::ModifierKeys(),
             juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY,
             &c,
             &c,
             juce::Time::getCurrentTime(),
             centre,
             juce::Time::getCurrentTime(),
             1,
             false };
}

/** Lets the message thread handle what has been posted for a while. */
inline void pumpMessages (int milliseconds = 50)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

//==============================================================================
/** Waits on a timer for a modal component to come up, then hands it once to
    an action, which should dismiss it. */
class ModalDriver : private juce::Timer
{
public:
    explicit ModalDriver (std::function<void (juce::Component&)> actionToRun)
        : action (std::move (actionToRun))
    {
        startTimer (20);
    }

    ~ModalDriver() override { stopTimer(); }

    int modalsSeen = 0;

private:
    void timerCallback() override
    {
        if (auto* modal = juce::Component::getCurrentlyModalComponent())
        {
            stopTimer();
            ++modalsSeen;
            action (*modal);
        }
    }

    std::function<void (juce::Component&)> action;
};

inline void pressKey (juce::Component& modal, int keyCode)
{
    modal.keyPressed (juce::KeyPress (keyCode));
}

/** Clicks the alert button with the given caption. */
inline bool clickButton (juce::Component& modal, const juce::String& caption)
{
    for (auto* child : modal.getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
            if (button->getButtonText() == caption)
            {
                button->triggerClick();
                return true;
            }

    return false;
}
}
