#pragma once

#include <juce_core/juce_core.h>

class ServiceOperationBase;

//==============================================================================
/** Knows every service operation there is, so that quitting can stop them
    all without knowing the pages. Message thread only.
*/
class OperationRegistry
{
public:
    /** Asks the worker of every operation to stop, then waits until all have
        ended: about a second at most, whatever the service does (the waits
        overlap). Their results are dropped, and none of these operations
        starts again. */
    static void stopAll();

private:
    //==============================================================================
    friend class ServiceOperationBase;

    static void add (ServiceOperationBase& operation);
    static void remove (ServiceOperationBase& operation);

    static juce::Array<ServiceOperationBase*>& operations();
};
