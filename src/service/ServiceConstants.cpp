#include "ServiceConstants.h"

#include <atomic>

namespace
{
juce::CriticalSection serviceBaseAddressLock;
juce::String currentServiceBaseAddress { AURALIS_SERVICE_URL };
}

juce::String ServiceConstants::serviceBaseAddress()
{
    const juce::ScopedLock sl (serviceBaseAddressLock);
    return currentServiceBaseAddress;
}

void ServiceConstants::setServiceBaseAddressForTesting (const juce::String& address)
{
    const juce::ScopedLock sl (serviceBaseAddressLock);
    currentServiceBaseAddress = address;
}

namespace
{
std::atomic<int> downloadStallTimeout { ServiceConstants::downloadStallTimeoutMs };
}

int ServiceConstants::currentDownloadStallTimeoutMs()
{
    return downloadStallTimeout.load();
}

void ServiceConstants::setDownloadStallTimeoutForTesting (int milliseconds)
{
    downloadStallTimeout = milliseconds;
}
