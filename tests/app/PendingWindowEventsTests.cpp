#include "app/PendingWindowEvents.h"
#include "support/MessageLoop.h"
#include "support/SkipOrFail.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <juce_gui_basics/native/x11/juce_linux_XWindowSystem.h>

// Xlib names its key-press event type as the framework names its key class.
constexpr int keyPressEventType = KeyPress;
#undef KeyPress

namespace
{
//==============================================================================
struct TabCounter : public juce::Component
{
    TabCounter()
    {
        setWantsKeyboardFocus (true);
        setSize (100, 100);
        addToDesktop (0);
        setVisible (true);
    }

    bool keyPressed (const juce::KeyPress& key) override
    {
        if (key.isKeyCode (juce::KeyPress::tabKey))
            ++tabs;

        return true;
    }

    int tabs = 0;
};

/** Puts a Tab press for the window into Xlib's queue the way any call that
    waits for the display's answer does: the event is read together with the
    answer, outside the framework's dispatch, so the connection shows nothing
    left to read. */
void queueTabPressFor (juce::Component& window)
{
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    const auto handle = (::Window) window.getPeer()->getNativeHandle();

    const juce::XWindowSystemUtilities::ScopedXLock lock;

    XKeyEvent key {};
    key.type = keyPressEventType;
    key.display = display;
    key.window = handle;
    key.root = DefaultRootWindow (display);
    key.time = CurrentTime;
    key.same_screen = True;
    key.keycode = XKeysymToKeycode (display, XK_Tab);

    XSendEvent (display, handle, True, KeyPressMask, reinterpret_cast<XEvent*> (&key));
    XSync (display, False);
}

class PendingWindowEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
            SKIP_OR_FAIL_UNDER_CI ("no display to open a window on");

        window = std::make_unique<TabCounter>();
        ASSERT_TRUE (runMessageLoopUntil ([this]
                                          { return window->isShowing() && window->getPeer() != nullptr; }));

        // The window's first paints and their answers come and go; what
        // its making left in the queue is handed on here.
        runMessageLoopFor (200);
        window->grabKeyboardFocus();
        runMessageLoopFor (100);
        PendingWindowEvents::dispatchQueuedEvents();
        ASSERT_EQ (PendingWindowEvents::dispatchQueuedEvents(), 0);
    }

    std::unique_ptr<TabCounter> window;
};
}

//==============================================================================
TEST_F (PendingWindowEventsTest, AKeyReadOutsideTheDispatchIsHandedOnFromTheQueue)
{
    queueTabPressFor (*window);
    EXPECT_EQ (window->tabs, 0);

    EXPECT_GE (PendingWindowEvents::dispatchQueuedEvents(), 1);
    EXPECT_EQ (window->tabs, 1);

    // Once handed on, the queue is empty and nothing more happens.
    EXPECT_EQ (PendingWindowEvents::dispatchQueuedEvents(), 0);
    EXPECT_EQ (window->tabs, 1);
}

TEST_F (PendingWindowEventsTest, TheWindowsFramesHandOnAKeyLeftInTheQueue)
{
    const PendingWindowEvents pending (*window);

    queueTabPressFor (*window);
    EXPECT_TRUE (runMessageLoopUntil ([this]
                                      { return window->tabs == 1; },
                                      2000))
        << "the key stayed in the queue";
}
