#pragma once

#include "ServiceWorker.h"

class PresetStore;

/** What an HRTF pull is given. */
struct PullClientInputs
{
    juce::String profileName;
    PresetStore* store = nullptr;
};

//==============================================================================
/** Fetches a profile's newest personalised HRTF: asks the service for the
    profile's data sets, downloads the last one, writes it into the shared
    data folder as the file named by its HRTF id, records the new ids in the
    profile and keeps a backup copy of the file.

    The decoder plug-in reads that folder, so the file is only ever replaced
    whole: a failed or incomplete download leaves the folder as it was, and
    so does a run asked to stop before its file is written.
*/
struct PullClientThread : public ServiceWorker<PullClientThread,
                                               PullClientInputs,
                                               const juce::String& /* execId */,
                                               int /* statusCode */,
                                               int /* returnCode */,
                                               const juce::String& /* message */,
                                               bool /* profileUpdated */,
                                               bool /* fileWritten */>
{
    PullClientThread();
    ~PullClientThread() override { stopRun(); }

private:
    //==============================================================================
    friend ServiceWorker;
    void job();
};
