#pragma once

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

    /** Waits until a run under way has ended. */
    ~BackgroundStatusCheckThread() override;

    void run() override;

    //==============================================================================
    juce::String profileName;
    PresetStore* store = nullptr;

    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };

    JUCE_DECLARE_NON_COPYABLE (BackgroundStatusCheckThread)
};
