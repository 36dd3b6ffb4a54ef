#include "app/FirstFrame.h"
#include "support/SkipOrFail.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace
{
constexpr juce::uint32 fillColour = 0x3366cc;

struct FilledWindow : public juce::Component
{
    FilledWindow()
    {
        // Away from the other test windows on the shared display, which sit
        // at the top left or in the middle.
        setBounds (1180, 920, 40, 40);
        setOpaque (true);
    }

    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xff000000 | fillColour)); }
};

/** Reads the display from a connection of its own, as any other client of
    the display would see it, without turning the framework's message loop. */
class ScreenReader
{
public:
    ScreenReader()
        : display (XOpenDisplay (nullptr))
    {
    }

    ~ScreenReader()
    {
        if (display != nullptr)
            XCloseDisplay (display);
    }

    ScreenReader (const ScreenReader&) = delete;
    ScreenReader& operator= (const ScreenReader&) = delete;

    /** True once the middle of the window shows the fill colour, looking
        again until the time is up. */
    bool showsFill (juce::Component& window, int timeoutMs) const
    {
        const auto handle = (::Window) window.getPeer()->getNativeHandle();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds (timeoutMs);

        do
        {
            XSync (display, False);

            if (auto* image = XGetImage (display, handle, 20, 20, 1, 1, AllPlanes, ZPixmap))
            {
                const auto pixel = (juce::uint32) XGetPixel (image, 0, 0) & 0xffffffu;
                XDestroyImage (image);

                if (pixel == fillColour)
                    return true;
            }

            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        } while (std::chrono::steady_clock::now() < deadline);

        return false;
    }

    ::Display* display;
};
}

//==============================================================================
TEST (FirstFrame, IsOnTheScreenBeforeTheMessageLoopTurns)
{
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        SKIP_OR_FAIL_UNDER_CI ("no display to open a window on");

    const ScreenReader screen;
    ASSERT_NE (screen.display, nullptr);

    FilledWindow window;
    window.addToDesktop (0);
    window.setVisible (true);

    // Without it the frame waits for the framework's refresh tick, which
    // only the message loop delivers.
    EXPECT_FALSE (screen.showsFill (window, 200)) << "the window was painted without being asked";

    EXPECT_TRUE (FirstFrame::paintNow (window));
    EXPECT_TRUE (screen.showsFill (window, 2000)) << "the first frame did not reach the display";
}

TEST (FirstFrame, DoesNothingForAWindowThatIsNotOnTheScreen)
{
    FilledWindow notOnTheDesktop;
    EXPECT_FALSE (FirstFrame::paintNow (notOnTheDesktop));

    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        return;

    FilledWindow hidden;
    hidden.addToDesktop (0);
    EXPECT_FALSE (FirstFrame::paintNow (hidden));
}
