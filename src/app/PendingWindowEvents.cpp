#include "PendingWindowEvents.h"

#if JUCE_LINUX
    #include <X11/Xlib.h>
    #include <X11/Xresource.h>
    #include <X11/Xutil.h>

    // The framework's own display connection and its dispatch of the
    // connection's events: the only way to reach the queue that dispatch
    // reads from.
    #include <juce_events/native/juce_linux_EventLoopInternal.h>
    #include <juce_gui_basics/native/x11/juce_linux_XWindowSystem.h>
#endif

PendingWindowEvents::PendingWindowEvents (juce::Component& window)
#if JUCE_LINUX
    : frames (&window, []
              { dispatchQueuedEvents(); })
#endif
{
    JUCE_ASSERT_MESSAGE_THREAD
    juce::ignoreUnused (window);
}

int PendingWindowEvents::dispatchQueuedEvents()
{
    JUCE_ASSERT_MESSAGE_THREAD

#if JUCE_LINUX
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;

    if (display == nullptr)
        return 0;

    int queued = 0;
    int connection = -1;

    {
        // The queue's length is read from Xlib's own record: nothing is sent
        // to the display and nothing more is read from it.
        const juce::XWindowSystemUtilities::ScopedXLock lock;
        queued = QLength (display);
        connection = ConnectionNumber (display);
    }

    // The dispatch takes every event Xlib holds, then returns.
    if (queued > 0)
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (connection);

    return queued;
#else
    return 0;
#endif
}
