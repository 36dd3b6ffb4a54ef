#pragma once

#include "service/ServiceClient.h"
#include "support/WorkerThread.h"

//==============================================================================
/*  The service client's blocking calls, made on a worker's thread as in the
    program, for tests on the message thread.
*/
namespace OnWorker
{
inline juce::var postJsonRequest (const juce::String& path, const juce::String& body)
{
    return onWorkerThread ([&]
                           { return ::postJsonRequest (path, body); });
}

inline juce::var sendServiceRequest (const juce::String& endpointPath, const RequestSections& sections)
{
    return onWorkerThread ([&]
                           { return ::sendServiceRequest (endpointPath, sections); });
}

inline juce::MemoryBlock fetchUrlBytes (const juce::String& url, int& contentLength)
{
    return onWorkerThread ([&]
                           { return ::fetchUrlBytes (url, contentLength); });
}
}
