#pragma once

#include "ServiceWorker.h"

//==============================================================================
/** Asks the service for software-update information, for no particular
    profile, and reports it without touching the store.
*/
struct SoftwareCheckThread : public ServiceWorker<SoftwareCheckThread,
                                                  NoInputs,
                                                  const juce::String& /* execId */,
                                                  int /* statusCode */,
                                                  int /* returnCode */,
                                                  int /* updateStatusCode */,
                                                  int /* updateReturnCode */,
                                                  const juce::String& /* message */,
                                                  const juce::String& /* updateMessage */,
                                                  const juce::String& /* downloadUrl */,
                                                  const juce::String& /* releaseNotes */,
                                                  const juce::String& /* latestReleaseVersion */,
                                                  bool /* forceUpdate */>
{
    SoftwareCheckThread();
    ~SoftwareCheckThread() override { stopRun(); }

private:
    //==============================================================================
    friend ServiceWorker;
    void job();
};
