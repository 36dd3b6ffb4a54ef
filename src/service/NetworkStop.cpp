#include "NetworkStop.h"

NetworkStop::NetworkStop (juce::Thread& threadToWatch)
    : thread (threadToWatch)
{
    jassert (! thread.isThreadRunning());

    thread.addListener (this);
}

NetworkStop::~NetworkStop()
{
    jassert (! thread.isThreadRunning());

    thread.removeListener (this);
}

bool NetworkStop::isStopRequested() const
{
    return thread.threadShouldExit();
}

void NetworkStop::exitSignalSent()
{
    // Runs on the thread that asks for the stop, after the thread's exit flag
    // is set. Cancelling closes the stream's connection; the worker's wait
    // notices on its next wake-up.
    const juce::ScopedLock sl (lock);

    for (auto* stream : streams)
        stream->cancel();
}

//==============================================================================
NetworkStop::ScopedStream::ScopedStream (NetworkStop* stopToUse, juce::WebInputStream& streamToRegister)
    : stop (stopToUse)
    , stream (streamToRegister)
{
    if (stop == nullptr)
        return;

    {
        const juce::ScopedLock sl (stop->lock);
        stop->streams.addIfNotAlreadyThere (&stream);
    }

    // The exit flag is set before the signal looks for a stream, so a stop
    // that came before the registration is seen here.
    if (stop->isStopRequested())
        stream.cancel();
}

NetworkStop::ScopedStream::~ScopedStream()
{
    if (stop == nullptr)
        return;

    // Only this registration ends: a stream registered after this one (the
    // next connection of a download) stays cancellable.
    const juce::ScopedLock sl (stop->lock);
    stop->streams.removeFirstMatchingValue (&stream);
}
