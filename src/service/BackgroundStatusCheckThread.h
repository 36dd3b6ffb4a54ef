#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <functional>

class PresetStore;

//==============================================================================
/** The home page's status check: re-reads the store from disk, takes the
    profile's identifiers from it, then checks and merges like
    StatusCheckThread.
*/
struct BackgroundStatusCheckThread : public juce::Thread
{
    BackgroundStatusCheckThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~BackgroundStatusCheckThread() override;

    void run() override;

    //==============================================================================
    juce::String profileName;
    PresetStore* store = nullptr;

    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (BackgroundStatusCheckThread)
};
