#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <functional>

//==============================================================================
/** Asks the service for a QR code for an ear-image submission and downloads
    the QR picture its reply names, with up to five attempts.
*/
struct QrCodeGeneratorThread : public juce::Thread
{
    QrCodeGeneratorThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~QrCodeGeneratorThread() override;

    void run() override;

    //==============================================================================
    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, const juce::MemoryBlock& qrImage)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (QrCodeGeneratorThread)
};
