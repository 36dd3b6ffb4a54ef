#include "ResultDelivery.h"

ResultDelivery::ResultDelivery (juce::Thread& workerThread)
    : worker (workerThread)
{
    // Creates the weak reference's shared pointer here, on the owner's thread,
    // so the worker thread only ever copies it.
    [[maybe_unused]] const juce::WeakReference<ResultDelivery> self (this);
}

void ResultDelivery::beginRun()
{
    jassert (juce::Thread::getCurrentThread() == &worker);

    ++runNumber;
}

void ResultDelivery::waitForRunToClose (int run) const
{
    // Posting is the run's last act, so its thread closes within microseconds.
    // The wait is bounded all the same: should the owner have started a new
    // run in between, the message thread must not wait for that run's network.
    if (run == runNumber.load())
        worker.waitForThreadToExit (closingWaitMs);
}
