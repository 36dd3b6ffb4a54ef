#include "RepaintFallback.h"

namespace
{
/** How often the held-back repaints are handed over while there are no
    vertical blanks: about a display's frame rate. */
constexpr int fallbackIntervalMs = 20;

/** How often the windows are looked at while vertical blanks arrive: seldom,
    so that an idle window costs next to nothing. */
constexpr int watchIntervalMs = 250;

/** Vertical blanks come every 7 to 17 ms on a working display; a silence
    this long means there are none. */
constexpr double silenceBeforeFallbackMs = 250.0;
}

//==============================================================================
RepaintFallback::~RepaintFallback()
{
    stop();
}

void RepaintFallback::start()
{
    JUCE_ASSERT_MESSAGE_THREAD

    lastVBlankMs = juce::Time::getMillisecondCounterHiRes();
    watchNewWindows();
    startTimer (watchIntervalMs);
}

void RepaintFallback::stop()
{
    JUCE_ASSERT_MESSAGE_THREAD

    stopTimer();
    stopWatchingWindows();
}

//==============================================================================
void RepaintFallback::timerCallback()
{
    watchNewWindows();

    const bool silent = juce::Time::getMillisecondCounterHiRes() - lastVBlankMs >= silenceBeforeFallbackMs;
    const auto interval = silent ? fallbackIntervalMs : watchIntervalMs;

    if (getTimerInterval() != interval)
        startTimer (interval);

    if (! silent)
        return;

    // Painting can run other messages, which may open or close windows: the
    // list is looked up afresh for every window.
    for (int i = 0; i < juce::ComponentPeer::getNumPeers(); ++i)
        if (auto* peer = juce::ComponentPeer::getPeer (i))
            peer->performAnyPendingRepaintsNow();
}

void RepaintFallback::onVBlank()
{
    lastVBlankMs = juce::Time::getMillisecondCounterHiRes();
}

//==============================================================================
void RepaintFallback::watchNewWindows()
{
    watchedPeers.removeIf ([] (juce::ComponentPeer* peer)
                           { return ! juce::ComponentPeer::isValidPeer (peer); });

    for (int i = 0; i < juce::ComponentPeer::getNumPeers(); ++i)
    {
        auto* peer = juce::ComponentPeer::getPeer (i);

        if (peer != nullptr && ! watchedPeers.contains (peer))
        {
            peer->addVBlankListener (this);
            watchedPeers.add (peer);
        }
    }
}

void RepaintFallback::stopWatchingWindows()
{
    for (auto* peer : watchedPeers)
        if (juce::ComponentPeer::isValidPeer (peer))
            peer->removeVBlankListener (this);

    watchedPeers.clear();
}
