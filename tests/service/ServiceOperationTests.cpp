#include "common/SharedFlags.h"
#include "service/OperationRegistry.h"
#include "service/ServiceOperation.h"
#include "service/ServiceWorker.h"
#include "support/MessageLoop.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
//==============================================================================
/** A worker of the tests' own: waits until its input's gate opens (or it is
    asked to stop, as a network wait would end), then reports its number. */
struct EchoInputs
{
    int number = 0;
    juce::String note;
    std::atomic<bool>* release = nullptr;
};

struct EchoThread : public ServiceWorker<EchoThread, EchoInputs, int /* number */, const juce::String& /* note */>
{
    EchoThread()
        : ServiceWorker ("Echo Thread")
    {
    }

    ~EchoThread() override { stopRun(); }

private:
    friend ServiceWorker;

    void job()
    {
        const EchoInputs inputs = *this;

        while (inputs.release != nullptr && ! inputs.release->load() && ! threadShouldExit())
            wait (5);

        deliver (inputs.number, inputs.note);
    }
};

struct FlagsReset
{
    FlagsReset() { busy = false; }
    ~FlagsReset() { busy = false; }
};

bool runUntilIdle (const ServiceOperationBase& operation)
{
    return runMessageLoopUntil ([&]
                                { return ! operation.isRunning(); });
}
}

//==============================================================================
TEST (ServiceOperation, HoldsTheGateAndItsFlagFromTheStartAndLetsGoWhereItsTermsSay)
{
    const FlagsReset reset;
    std::atomic<bool> release { false };

    // Let go before the handler: the handler sees the gate open and the flag
    // clear, and may start the operation again.
    ServiceOperation<EchoThread> before { OperationTerms {}.setting (busy) };
    std::vector<int> seen;

    const auto handler = [&] (int number, const juce::String&)
    {
        EXPECT_TRUE (canQuit.isOpen());
        EXPECT_FALSE (busy.load());
        EXPECT_FALSE (before.isRunning());
        seen.push_back (number);

        if (number == 1)
        {
            EXPECT_TRUE (before.start ([] (EchoThread& w)
                                       { w.number = 2; },
                                       [&] (int n, const juce::String&)
                                       { seen.push_back (n); }));
        }
    };

    ASSERT_TRUE (before.start ([&] (EchoThread& w)
                               {
                                   w.number = 1;
                                   w.release = &release; },
                               handler));

    EXPECT_FALSE (canQuit.isOpen());
    EXPECT_TRUE (busy.load());
    release = true;
    ASSERT_TRUE (runMessageLoopUntil ([&]
                                      { return seen.size() == 2; }));
    EXPECT_TRUE (runUntilIdle (before));
    EXPECT_EQ (seen, (std::vector<int> { 1, 2 }));
    EXPECT_TRUE (canQuit.isOpen());
    EXPECT_FALSE (busy.load());

    // Let go after the handler: while the handler runs (an alert's nested
    // loop, say) the flag is still set and the operation still runs.
    ServiceOperation<EchoThread> after { OperationTerms {}.setting (busy, LetGo::afterHandler).endingAfterHandler() };
    bool handled = false;

    after.start ([] (EchoThread&) {},
                 [&] (int, const juce::String&)
                 {
                     EXPECT_TRUE (canQuit.isOpen());
                     EXPECT_TRUE (busy.load());
                     EXPECT_TRUE (after.isRunning());
                     handled = true;
                 });

    EXPECT_TRUE (runUntilIdle (after));
    EXPECT_TRUE (handled);
    EXPECT_FALSE (busy.load());
}

TEST (ServiceOperation, RefusesASecondStartWhileItRunsAndEachStartBeginsFromEmptyInputs)
{
    const FlagsReset reset;
    std::atomic<bool> release { false };
    ServiceOperation<EchoThread> operation;
    juce::StringArray notes;
    int handlerCalls = 0;

    ASSERT_TRUE (operation.start ([&] (EchoThread& w)
                                  {
                                      w.note = "first";
                                      w.release = &release; },
                                  [&] (int, const juce::String& note)
                                  {
                                      ++handlerCalls;
                                      notes.add (note);
                                  }));

    // Refused: neither the inputs nor the handler of the running work change.
    bool refusedHandlerCalled = false;
    EXPECT_FALSE (operation.start ([] (EchoThread& w)
                                   { w.note = "second"; },
                                   [&] (int, const juce::String&)
                                   { refusedHandlerCalled = true; }));
    EXPECT_EQ (operation.getWorker().note, "first");

    release = true;
    EXPECT_TRUE (runUntilIdle (operation));
    runMessageLoopFor (50);
    EXPECT_EQ (handlerCalls, 1);
    EXPECT_FALSE (refusedHandlerCalled);

    // The next start does not inherit the last one's inputs.
    ASSERT_TRUE (operation.start ([] (EchoThread& w)
                                  { w.number = 7; },
                                  [&] (int, const juce::String& note)
                                  { notes.add (note); }));
    EXPECT_EQ (operation.getWorker().note, "");
    EXPECT_EQ (operation.getWorker().release, nullptr);
    EXPECT_TRUE (runUntilIdle (operation));
    EXPECT_EQ (notes, juce::StringArray ("first", ""));
}

TEST (ServiceOperation, WorkThatJoinsARunningOneHoldsTheGateAgainUntilItsResultOrALetGo)
{
    std::atomic<bool> release { false };
    ServiceOperation<EchoThread> operation { OperationTerms {}.joiningRunningWork() };
    int results = 0;
    const auto counting = [&] (int, const juce::String&)
    { ++results; };

    ASSERT_TRUE (operation.start ([&] (EchoThread& w)
                                  { w.release = &release; },
                                  counting));
    operation.letGo();
    EXPECT_TRUE (canQuit.isOpen());

    // A page shown again while the work still runs waits for it once more.
    EXPECT_FALSE (operation.start ([] (EchoThread&) {}, counting));
    EXPECT_FALSE (canQuit.isOpen());

    release = true;
    EXPECT_TRUE (runUntilIdle (operation));
    EXPECT_EQ (results, 1);
    EXPECT_TRUE (canQuit.isOpen());
}

TEST (ServiceOperation, TheRegistryStopsEveryRunningOperationAtOnceAndNoneStartsAgain)
{
    std::atomic<bool> never { false };
    int results = 0;
    const auto counting = [&] (int, const juce::String&)
    { ++results; };

    {
        ServiceOperation<EchoThread> first, second;
        ASSERT_TRUE (first.start ([&] (EchoThread& w)
                                  { w.release = &never; },
                                  counting));
        ASSERT_TRUE (second.start ([&] (EchoThread& w)
                                   { w.release = &never; },
                                   counting));

        const auto started = juce::Time::getMillisecondCounterHiRes();
        OperationRegistry::stopAll();
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1000.0);
        EXPECT_FALSE (first.getWorker().isThreadRunning());
        EXPECT_FALSE (second.getWorker().isThreadRunning());

        runMessageLoopFor (100);
        EXPECT_EQ (results, 0);
        EXPECT_FALSE (first.start ([] (EchoThread&) {}, counting));
    }

    // The operations are gone, and with them their hold on the close gate.
    EXPECT_TRUE (canQuit.isOpen());

    // An operation made afterwards (a new page) is not stopped.
    ServiceOperation<EchoThread> later;
    EXPECT_TRUE (later.start ([] (EchoThread&) {}, counting));
    EXPECT_TRUE (runUntilIdle (later));
    EXPECT_EQ (results, 1);
}

TEST (ServiceOperation, AWorkerStartedOnTheNextTurnHoldsEverythingAtOnceAndStartsOnlyIfStillWanted)
{
    const FlagsReset reset;
    int results = 0;
    const auto counting = [&] (int, const juce::String&)
    { ++results; };
    const auto terms = OperationTerms {}.setting (busy).startingWorkerOnNextTurn();

    // The gate and the flag are taken at once; the thread starts when the
    // message loop turns, and the result arrives as for any operation.
    {
        ServiceOperation<EchoThread> later { terms };
        ASSERT_TRUE (later.start ([] (EchoThread& w)
                                  { w.number = 3; },
                                  counting));
        EXPECT_TRUE (busy.load());
        EXPECT_FALSE (canQuit.isOpen());
        EXPECT_TRUE (later.isRunning());
        EXPECT_FALSE (later.getWorker().isThreadRunning());
        EXPECT_FALSE (later.start ([] (EchoThread&) {}, counting));

        EXPECT_TRUE (runUntilIdle (later));
        EXPECT_EQ (results, 1);
        EXPECT_FALSE (busy.load());
        EXPECT_TRUE (canQuit.isOpen());
    }

    // Destroyed before its turn came: nothing starts, the gate is open.
    {
        ServiceOperation<EchoThread> gone { terms };
        ASSERT_TRUE (gone.start ([] (EchoThread&) {}, counting));
    }

    runMessageLoopFor (50);
    EXPECT_TRUE (canQuit.isOpen());

    // Stopped for good before its turn came: the thread never starts.
    ServiceOperation<EchoThread> stopped { terms };
    ASSERT_TRUE (stopped.start ([] (EchoThread&) {}, counting));
    OperationRegistry::stopAll();
    runMessageLoopFor (100);
    EXPECT_FALSE (stopped.getWorker().isThreadRunning());
    EXPECT_EQ (results, 1);
}
