// The framework's display connection and its Xlib functions (the framework
// loads Xlib itself), for sending the frame on at once.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1

#include "FirstFrame.h"

bool FirstFrame::paintNow (juce::Component& window)
{
    JUCE_ASSERT_MESSAGE_THREAD

    auto* peer = window.getPeer();

    if (peer == nullptr || ! window.isShowing())
        return false;

    peer->performAnyPendingRepaintsNow();

#if JUCE_LINUX
    if (auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating())
    {
        if (auto* display = windowSystem->getDisplay())
        {
            const juce::XWindowSystemUtilities::ScopedXLock lock;
            juce::X11Symbols::getInstance()->xFlush (display);
        }
    }
#endif

    return true;
}
