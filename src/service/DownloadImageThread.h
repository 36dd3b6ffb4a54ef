#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <functional>

//==============================================================================
/** Downloads one picture by address, with up to five attempts, and hands
    over its bytes.
*/
struct DownloadImageThread : public juce::Thread
{
    DownloadImageThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~DownloadImageThread() override;

    void run() override;

    //==============================================================================
    juce::String url;

    /** success is true when the whole picture arrived; bytes is the last
        attempt's block either way. */
    std::function<void (bool success, const juce::MemoryBlock& bytes)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (DownloadImageThread)
};
