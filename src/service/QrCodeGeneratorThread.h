#pragma once

#include "ResultDelivery.h"

#include <functional>

//==============================================================================
/** Asks the service for a QR code for an ear-image submission and downloads
    the QR picture its reply names, with up to five attempts.
*/
struct QrCodeGeneratorThread : public juce::Thread
{
    QrCodeGeneratorThread();

    /** Waits until a run under way has ended. */
    ~QrCodeGeneratorThread() override;

    void run() override;

    //==============================================================================
    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, const juce::MemoryBlock& qrImage)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };

    JUCE_DECLARE_NON_COPYABLE (QrCodeGeneratorThread)
};
