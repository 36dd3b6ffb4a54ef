#pragma once

#include "ServiceWorker.h"

#include <juce_graphics/juce_graphics.h>

/** What a QR code request is given. */
struct QrCodeGeneratorInputs
{
    /** The largest picture decoded; a larger one counts as no picture. */
    juce::Point<int> largestPicture;
};

//==============================================================================
/** Asks the service for a QR code for an ear-image submission, downloads
    the QR picture its reply names, with up to five attempts, and decodes it
    here, within largestPicture (PictureDecoder).

    qrImage is invalid when no whole picture within largestPicture arrived.
*/
struct QrCodeGeneratorThread : public ServiceWorker<QrCodeGeneratorThread,
                                                    QrCodeGeneratorInputs,
                                                    const juce::String& /* execId */,
                                                    int /* statusCode */,
                                                    int /* returnCode */,
                                                    const juce::String& /* message */,
                                                    const juce::Image& /* qrImage */>
{
    QrCodeGeneratorThread();
    ~QrCodeGeneratorThread() override { stopRun(); }

private:
    //==============================================================================
    friend ServiceWorker;
    void job();
};
