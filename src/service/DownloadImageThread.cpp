#include "DownloadImageThread.h"

#include "PictureDecoder.h"
#include "ServiceClient.h"
#include "ServiceConstants.h"

DownloadImageThread::DownloadImageThread()
    : ServiceWorker ("downloadImageThread")
{
}

void DownloadImageThread::job()
{
    const auto address = url;
    const auto largest = largestPicture;

    juce::MemoryBlock bytes;
    juce::Image picture;

    if (fetchWithAttempts (address, ServiceConstants::maxImageDownloadAttempts, bytes, getNetworkStop(), PictureDecoder::maxPictureBytes)
        && ! threadShouldExit())
        picture = PictureDecoder::decode (bytes, largest);

    deliver (picture.isValid(), picture);
}
