#include "OperationRegistry.h"

#include "ServiceOperationBase.h"

#include <juce_events/juce_events.h>

juce::Array<ServiceOperationBase*>& OperationRegistry::operations()
{
    static juce::Array<ServiceOperationBase*> all;
    return all;
}

void OperationRegistry::add (ServiceOperationBase& operation)
{
    JUCE_ASSERT_MESSAGE_THREAD
    operations().addIfNotAlreadyThere (&operation);
}

void OperationRegistry::remove (ServiceOperationBase& operation)
{
    JUCE_ASSERT_MESSAGE_THREAD
    operations().removeFirstMatchingValue (&operation);
}

void OperationRegistry::stopAll()
{
    JUCE_ASSERT_MESSAGE_THREAD

    for (auto* operation : operations())
    {
        operation->stoppedForGood = true;
        operation->worker.signalThreadShouldExit();
    }

    for (auto* operation : operations())
        operation->worker.waitForThreadToExit (-1);
}
