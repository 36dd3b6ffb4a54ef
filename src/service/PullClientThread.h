#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <functional>

class PresetStore;

//==============================================================================
/** Fetches a profile's newest personalised HRTF: asks the service for the
    profile's data sets, downloads the last one, writes it into the shared
    data folder as the file named by its HRTF id, records the new ids in the
    profile and keeps a backup copy of the file.

    The decoder plug-in reads that folder, so the file is only ever replaced
    whole: a failed or incomplete download leaves the folder as it was, and
    so does a run asked to stop before its file is written.
*/
struct PullClientThread : public juce::Thread
{
    PullClientThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~PullClientThread() override;

    void run() override;

    //==============================================================================
    juce::String profileName;
    PresetStore* store = nullptr;

    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (PullClientThread)
};
