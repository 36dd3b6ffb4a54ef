#pragma once

#include "common/SharedFlag.h"

#include <juce_events/juce_events.h>

#include <functional>

//==============================================================================
/** Where, around the page's result handler, an operation lets go of
    something it took at its start. */
enum class LetGo
{
    beforeHandler,
    afterHandler
};

/** What an operation takes besides the close gate, and when it lets go.
    Written by name where the page declares the operation:

        OperationTerms{}.setting (busy)
        OperationTerms{}.setting (statusCheckBusy, LetGo::afterHandler).endingAfterHandler()
*/
struct OperationTerms
{
    /** The shared flag set from the start (busy or statusCheckBusy), if any,
        and when it is cleared. */
    SharedFlag* flag = nullptr;
    LetGo flagLetGo = LetGo::beforeHandler;

    /** When the operation stops counting as running (isRunning), so that it
        may be started again. */
    LetGo end = LetGo::beforeHandler;

    /** Whether a start while the worker still runs takes the close gate
        again for the result under way (and starts nothing), rather than
        being refused outright. */
    bool joinsRunningWork = false;

    /** Whether the worker's thread starts on the next turn of the message
        loop instead of at once; the close gate and the flag are taken at
        once either way. For an operation started while the program builds
        its window: the thread's setting up then does not hold back the
        window's first frame. */
    bool startsWorkerOnNextTurn = false;

    OperationTerms setting (SharedFlag& flagToSet, LetGo letGo = LetGo::beforeHandler) const;
    OperationTerms endingAfterHandler() const;
    OperationTerms joiningRunningWork() const;
    OperationTerms startingWorkerOnNextTurn() const;
};

//==============================================================================
/** The life of one service operation of a page, whatever its worker
    (ServiceOperation adds the worker): it refuses a second start while it
    runs, holds the close gate under its worker and sets its flag from the
    start, and when the result arrives lets go of exactly what it took, at
    the points its terms give, around the page's handler.

    Every operation is known to the OperationRegistry, which stops them all
    when the program quits; an operation stopped so never starts again.
    Message thread only.
*/
class ServiceOperationBase
{
public:
    /** From a start until the point its terms give for the end. */
    bool isRunning() const noexcept { return running; }

    /** Lets go at once of the close gate and the flag, for a page that
        stops waiting before its result arrives; the result still reaches
        the handler, and lets go of nothing more. */
    void letGo();

protected:
    //==============================================================================
    ServiceOperationBase (juce::Thread& worker, OperationTerms terms);

    /** Lets go of the close gate (a page destroyed while its operation
        runs), and leaves the registry. */
    ~ServiceOperationBase();

    /** Takes what the terms say, unless the operation runs (or was stopped
        for good). Returns true when the worker is to be started. */
    bool begin();

    /** Starts the worker's thread, at once or on the next turn of the
        message loop as the terms say. A start still to come is dropped when
        the operation is destroyed or stopped for good before it. */
    void startWorker();

    /** Runs the page's handler for an arrived result, letting go before and
        after it as the terms say. */
    void finish (const std::function<void()>& callHandler);

private:
    //==============================================================================
    friend class OperationRegistry;

    void take();
    void letGoOfGate();
    void letGoOfFlag();

    juce::Thread& worker;
    const OperationTerms terms;

    bool running = false;
    bool holdingGate = false;
    bool holdingFlag = false;
    bool stoppedForGood = false;

    JUCE_DECLARE_WEAK_REFERENCEABLE (ServiceOperationBase)
    JUCE_DECLARE_NON_COPYABLE (ServiceOperationBase)
};
