#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <functional>

//==============================================================================
/** Asks the service for software-update information, for no particular
    profile, and reports it without touching the store.
*/
struct SoftwareCheckThread : public juce::Thread
{
    SoftwareCheckThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~SoftwareCheckThread() override;

    void run() override;

    //==============================================================================
    std::function<void (const juce::String& execId,
                        int statusCode,
                        int returnCode,
                        int updateStatusCode,
                        int updateReturnCode,
                        const juce::String& message,
                        const juce::String& updateMessage,
                        const juce::String& downloadUrl,
                        const juce::String& releaseNotes,
                        const juce::String& latestReleaseVersion,
                        bool forceUpdate)>
        onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (SoftwareCheckThread)
};
