#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"
#include "WorkerMemory.h"
#include "common/ThreadContracts.h"

#include <functional>

//==============================================================================
/** What every worker shares: its own thread, the inputs its owner fills, the
    onResult callback, the delivery of its result to the message thread and
    the stop of its network waits. A worker class holds its job alone:

        struct StatusCheckThread : public ServiceWorker<StatusCheckThread, StatusCheckInputs, ...>

    with a private job() that the run calls once per start, on the worker's
    own thread, and that ends with deliver (the result values), which first
    gives back the memory the job freed (releaseFreedWorkerMemory).

    The inputs are a base of the worker, so they are read and written by
    their own names (worker.profileName); the owner sets them and onResult on
    the message thread before startThread and leaves them alone while the
    worker runs. The job reads them once at its start.

    Destroying a worker asks a run under way to stop (its network wait ends
    within about a second, see NetworkStop) and waits until it has ended. A
    worker class does that in its own destructor (stopRun), so that a run,
    also one whose thread is only now starting, never calls the job of a
    worker already being destroyed. A stopped worker delivers nothing.
*/
template <typename Worker, typename Inputs, typename... ResultParams>
class ServiceWorker : public juce::Thread,
                      public Inputs
{
public:
    using ResultCallback = std::function<void (ResultParams...)>;
    using WorkerInputs = Inputs;

    ~ServiceWorker() override
    {
        // The worker class has ended the run in its own destructor.
        jassert (! isThreadRunning());
        stopThread (-1);
    }

    /** Called on the message thread with copies of the run's result values. */
    ResultCallback onResult;

protected:
    //==============================================================================
    /** The thread is named after the worker. */
    explicit ServiceWorker (const juce::String& nameOfThread)
        : juce::Thread (nameOfThread)
    {
    }

    /** The job's last act: gives back the memory the job freed, then posts
        its result values to the message thread. Posting stays the run's very
        last act, so that the worker's thread has ended, and the worker can
        be started again, when the result is handled. */
    template <typename... Values>
    void deliver (Values&&... values)
    {
        AURALIS_ASSERT_WORKER_THREAD
        releaseFreedWorkerMemory();
        delivery.post (onResult, std::forward<Values> (values)...);
    }

    /** Asks a run under way to stop and waits until it has ended. Every
        worker class calls it from its own destructor, because the run calls
        the worker class's job: the whole worker must outlive the run. */
    void stopRun()
    {
        stopThread (-1);
    }

    /** Handed to every service call that waits on the network. */
    NetworkStop* getNetworkStop() noexcept { return &networkStop; }

private:
    //==============================================================================
    void run() final
    {
        AURALIS_ASSERT_WORKER_THREAD
        delivery.beginRun();
        static_cast<Worker&> (*this).job();
    }

    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (ServiceWorker)
};

/** The inputs of a worker that is given nothing. */
struct NoInputs
{
};
