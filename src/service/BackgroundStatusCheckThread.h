#pragma once

#include "ServiceWorker.h"

class PresetStore;

/** What the home page's status check is given. */
struct BackgroundStatusCheckInputs
{
    juce::String profileName;
    PresetStore* store = nullptr;
};

//==============================================================================
/** The home page's status check: re-reads the store from disk, takes the
    profile's identifiers from it, then checks and merges like
    StatusCheckThread, under profileName even when the saved bank does not
    hold it (StatusCheckStart::fromSavedBankUnderGivenName).
*/
struct BackgroundStatusCheckThread : public ServiceWorker<BackgroundStatusCheckThread,
                                                          BackgroundStatusCheckInputs,
                                                          const juce::String& /* execId */,
                                                          int /* statusCode */,
                                                          int /* returnCode */,
                                                          const juce::String& /* message */>
{
    BackgroundStatusCheckThread();
    ~BackgroundStatusCheckThread() override { stopRun(); }

private:
    //==============================================================================
    friend ServiceWorker;
    void job();
};
