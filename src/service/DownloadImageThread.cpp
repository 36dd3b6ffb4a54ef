#include "DownloadImageThread.h"

#include "ServiceClient.h"
#include "ServiceConstants.h"

DownloadImageThread::DownloadImageThread()
    : juce::Thread ("downloadImageThread")
{
}

DownloadImageThread::~DownloadImageThread()
{
    stopThread (-1);
}

void DownloadImageThread::run()
{
    delivery.beginRun();

    const auto address = url;

    juce::MemoryBlock bytes;
    const auto success = fetchWithAttempts (address, ServiceConstants::maxImageDownloadAttempts, bytes, &networkStop);

    delivery.post (onResult, success, bytes);
}
