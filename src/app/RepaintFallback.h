#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** Keeps the program's windows drawing where the system reports no vertical
    blanks.

    On Windows the framework holds every repaint back until the display's
    next vertical blank, which it learns from DXGI. Where DXGI reports none
    (Wine, some remote and virtual displays), a window is never redrawn after
    its first paint: typed text, page switches and dimmed pages never show.
    While no window has seen a vertical blank for a while, this hands the
    held-back repaints of every window on the desktop to the system itself.
    Where vertical blanks arrive it only looks for new windows four times a
    second.

    Runs on the message thread, from start() until stop() or its destruction.
*/
class RepaintFallback : private juce::Timer, private juce::ComponentPeer::VBlankListener
{
public:
    RepaintFallback() = default;
    ~RepaintFallback() override;

    void start();
    void stop();

private:
    //==============================================================================
    void timerCallback() override;
    void onVBlank() override;

    void watchNewWindows();
    void stopWatchingWindows();

    juce::Array<juce::ComponentPeer*> watchedPeers;
    double lastVBlankMs = 0.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RepaintFallback)
};
