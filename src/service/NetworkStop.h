#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** Lets a worker's network waits end as soon as its thread is asked to exit.

    A worker owns one, watching its own thread. Each service call the worker
    makes registers the stream it waits on for as long as it waits; when any
    thread calls signalThreadShouldExit on the worker, the stream under way is
    cancelled, which ends its connect or read within about a second, and
    every later call gives up at once. The request then ends as one without a
    usable reply. The service functions take a stop optionally: without one
    (the tools) they wait as they always did.
*/
class NetworkStop : private juce::Thread::Listener
{
public:
    /** Watches the thread's exit signal. Made and destroyed while the thread
        is not running, on the thread that owns the worker. */
    explicit NetworkStop (juce::Thread& threadToWatch);
    ~NetworkStop() override;

    /** True from the exit signal until the thread is started again. */
    bool isStopRequested() const;

    //==============================================================================
    /** Registers a stream with a stop (which may be null) while it lives: a
        stop request cancels the stream, also one that came before. Several
        streams may be registered at once; each registration ends only its
        own. */
    class ScopedStream
    {
    public:
        ScopedStream (NetworkStop* stop, juce::WebInputStream& stream);
        ~ScopedStream();

    private:
        NetworkStop* const stop;
        juce::WebInputStream& stream;

        JUCE_DECLARE_NON_COPYABLE (ScopedStream)
    };

private:
    //==============================================================================
    void exitSignalSent() override;

    juce::Thread& thread;
    juce::CriticalSection lock;

    // Every stream registered now: a download may open its next connection
    // while the previous one still lives, and a stop cancels them all.
    juce::Array<juce::WebInputStream*> streams;

    JUCE_DECLARE_NON_COPYABLE (NetworkStop)
};
