#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <juce_graphics/juce_graphics.h>

#include <functional>

//==============================================================================
/** Asks the service for a QR code for an ear-image submission, downloads
    the QR picture its reply names, with up to five attempts, and decodes it
    here, within largestPicture (PictureDecoder).
*/
struct QrCodeGeneratorThread : public juce::Thread
{
    QrCodeGeneratorThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~QrCodeGeneratorThread() override;

    void run() override;

    //==============================================================================
    /** The largest picture decoded; a larger one counts as no picture. */
    juce::Point<int> largestPicture;

    /** qrImage is invalid when no whole picture within largestPicture
        arrived. */
    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, const juce::Image& qrImage)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (QrCodeGeneratorThread)
};
