#include "QrCodeGeneratorThread.h"

#include "ServiceClient.h"
#include "ServiceConstants.h"

QrCodeGeneratorThread::QrCodeGeneratorThread()
    : juce::Thread ("QR Generator Thread")
{
}

QrCodeGeneratorThread::~QrCodeGeneratorThread()
{
    stopThread (-1);
}

void QrCodeGeneratorThread::run()
{
    delivery.beginRun();

    const auto reply = postJsonRequest (ServiceConstants::qrCodeGeneratorPath + ServiceConstants::clientName,
                                        writeRequestEnvelope ({}),
                                        &networkStop);

    ReplyHeader header;
    juce::String imageAddress;

    if (auto* object = readReplyHeader (reply, header))
        imageAddress = object->getProperty ("qr_image_url").toString();

    // The picture is fetched whatever the reply's status; an incomplete one
    // is handed over as it came, and the page finds it does not decode.
    juce::MemoryBlock qrImage;

    if (imageAddress.startsWith ("http"))
        fetchWithAttempts (imageAddress, ServiceConstants::maxImageDownloadAttempts, qrImage, &networkStop);

    delivery.post (onResult, header.execId, header.statusCode, header.returnCode, header.message, qrImage);
}
