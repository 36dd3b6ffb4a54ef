#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

//==============================================================================
/** Hands a worker's result values to the message thread, where the worker's
    onResult callback runs.

    A worker holds one of these as a member. A posted delivery only reaches a
    worker that still exists: it holds a weak reference, which the worker's
    destruction clears (workers are destroyed on the message thread, where
    deliveries run). Before the callback runs, the delivery waits briefly for
    the worker's thread to close (posting is the run's last act), so that the
    callback may start the worker again.

    A worker asked to stop (juce::Thread::signalThreadShouldExit) delivers
    nothing: its run posts nothing, and a delivery still waiting on the
    message thread is dropped, until the worker is started again.
*/
class ResultDelivery
{
public:
    explicit ResultDelivery (juce::Thread& workerThread);

    /** Called at the start of every run, on the worker's thread. */
    void beginRun();

    /** Posts a call of `callback` with copies of the values, unless the
        callback is empty now. On the worker's thread, as the run's last act. The callback member is read again on the message
        thread, so its current value is called. */
    template <typename... Params, typename... Values>
    void post (const std::function<void (Params...)>& callback, Values... values)
    {
        jassert (juce::Thread::getCurrentThread() == &worker);

        if (! callback || worker.threadShouldExit())
            return;

        juce::MessageManager::callAsync ([target = juce::WeakReference<ResultDelivery> (this),
                                          run = runNumber.load(),
                                          callbackMember = &callback,
                                          values...]
                                         {
                                             if (auto* delivery = target.get())
                                             {
                                                 if (delivery->worker.threadShouldExit())
                                                     return;

                                                 delivery->waitForRunToClose (run);

                                                 if (*callbackMember)
                                                     (*callbackMember) (values...);
                                             } });
    }

private:
    //==============================================================================
    void waitForRunToClose (int run) const;

    static constexpr int closingWaitMs = 50;

    juce::Thread& worker;
    std::atomic<int> runNumber { 0 };

    JUCE_DECLARE_WEAK_REFERENCEABLE (ResultDelivery)
    JUCE_DECLARE_NON_COPYABLE (ResultDelivery)
};
