#include "QrCodeGeneratorThread.h"

#include "PictureDecoder.h"
#include "ServiceClient.h"
#include "ServiceConstants.h"

QrCodeGeneratorThread::QrCodeGeneratorThread()
    : ServiceWorker ("QR Generator Thread")
{
}

void QrCodeGeneratorThread::job()
{
    const auto largest = largestPicture;

    const auto reply = postJsonRequest (ServiceConstants::qrCodeGeneratorPath + ServiceConstants::clientName,
                                        writeRequestEnvelope ({}),
                                        getNetworkStop());

    ReplyHeader header;
    juce::String imageAddress;

    if (auto* object = readReplyHeader (reply, header))
        imageAddress = object->getProperty ("qr_image_url").toString();

    // The picture is fetched whatever the reply's status. It is decoded here,
    // once: an incomplete, damaged or oversized one gives no image.
    juce::Image qrImage;

    if (imageAddress.startsWith ("http"))
    {
        juce::MemoryBlock bytes;
        fetchWithAttempts (imageAddress, ServiceConstants::maxImageDownloadAttempts, bytes, getNetworkStop(), PictureDecoder::maxPictureBytes);

        if (! threadShouldExit())
            qrImage = PictureDecoder::decode (bytes, largest);
    }

    deliver (header.execId, header.statusCode, header.returnCode, header.message, qrImage);
}
