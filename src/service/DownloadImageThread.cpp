#include "DownloadImageThread.h"

#include "PictureDecoder.h"
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
    const auto largest = largestPicture;

    juce::MemoryBlock bytes;
    juce::Image picture;

    if (fetchWithAttempts (address, ServiceConstants::maxImageDownloadAttempts, bytes, &networkStop, PictureDecoder::maxPictureBytes)
        && ! threadShouldExit())
        picture = PictureDecoder::decode (bytes, largest);

    delivery.post (onResult, picture.isValid(), picture);
}
