#include "ServiceOperationBase.h"

#include "OperationRegistry.h"
#include "common/SharedFlags.h"

//==============================================================================
OperationTerms OperationTerms::setting (SharedFlag& flagToSet, LetGo letGo) const
{
    auto terms = *this;
    terms.flag = &flagToSet;
    terms.flagLetGo = letGo;
    return terms;
}

OperationTerms OperationTerms::endingAfterHandler() const
{
    auto terms = *this;
    terms.end = LetGo::afterHandler;
    return terms;
}

OperationTerms OperationTerms::joiningRunningWork() const
{
    auto terms = *this;
    terms.joinsRunningWork = true;
    return terms;
}

OperationTerms OperationTerms::startingWorkerOnNextTurn() const
{
    auto terms = *this;
    terms.startsWorkerOnNextTurn = true;
    return terms;
}

//==============================================================================
ServiceOperationBase::ServiceOperationBase (juce::Thread& workerToRun, OperationTerms termsToKeep)
    : worker (workerToRun)
    , terms (termsToKeep)
{
    OperationRegistry::add (*this);
}

ServiceOperationBase::~ServiceOperationBase()
{
    letGoOfGate();
    OperationRegistry::remove (*this);
}

bool ServiceOperationBase::begin()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (stoppedForGood)
        return false;

    if (running)
    {
        if (terms.joinsRunningWork)
            take();

        return false;
    }

    take();
    running = true;
    return true;
}

void ServiceOperationBase::startWorker()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (! terms.startsWorkerOnNextTurn)
    {
        worker.startThread();
        return;
    }

    juce::MessageManager::callAsync ([self = juce::WeakReference<ServiceOperationBase> (this)]
                                     {
                                         if (self != nullptr && ! self->stoppedForGood)
                                             self->worker.startThread(); });
}

void ServiceOperationBase::finish (const std::function<void()>& callHandler)
{
    JUCE_ASSERT_MESSAGE_THREAD

    letGoOfGate();

    if (terms.flagLetGo == LetGo::beforeHandler)
        letGoOfFlag();

    if (terms.end == LetGo::beforeHandler)
        running = false;

    // The handler may show an alert, whose nested message loop may outlive
    // the page.
    const juce::WeakReference<ServiceOperationBase> self (this);
    callHandler();

    if (self == nullptr)
        return;

    if (terms.flagLetGo == LetGo::afterHandler)
        letGoOfFlag();

    if (terms.end == LetGo::afterHandler)
        running = false;
}

void ServiceOperationBase::letGo()
{
    JUCE_ASSERT_MESSAGE_THREAD
    letGoOfGate();
    letGoOfFlag();
}

//==============================================================================
void ServiceOperationBase::take()
{
    canQuit.hold (&worker);
    holdingGate = true;

    if (terms.flag != nullptr)
    {
        *terms.flag = true;
        holdingFlag = true;
    }
}

void ServiceOperationBase::letGoOfGate()
{
    if (std::exchange (holdingGate, false))
        canQuit.release (&worker);
}

void ServiceOperationBase::letGoOfFlag()
{
    if (std::exchange (holdingFlag, false) && terms.flag != nullptr)
        *terms.flag = false;
}
