#pragma once

#include "ReplyHeader.h"
#include "RequestSections.h"
#include "ServiceWorker.h"
#include "store/ProfileRecord.h"

class PresetStore;

//==============================================================================
/** Where a status check takes the profile's identifiers from, and under
    which name it merges the reply.
*/
enum class StatusCheckStart
{
    /** From the inputs; the reply is merged under profileName. */
    fromInputs,

    /** From the bank as saved, read again from disk on the worker so that
        the message thread never waits for the disk. A profile the saved
        bank does not hold is checked under no name and merges nothing. */
    fromSavedBank,

    /** From the bank as saved, like fromSavedBank, but the reply is merged
        under profileName even when the saved bank does not hold it (then
        without identifiers, so no update check is asked for). */
    fromSavedBankUnderGivenName
};

/** What a status check is given. */
struct StatusCheckInputs
{
    juce::String profileName;
    juce::String currentImgId;
    juce::String currentAuralisId;
    juce::String currentHrtfId;
    PresetStore* store = nullptr;

    /** fromSavedBank and fromSavedBankUnderGivenName ignore the current*
        identifiers. */
    StatusCheckStart start = StatusCheckStart::fromInputs;

    /** Checks the profile with the identifiers the record holds, merging
        into the store. */
    void checkProfile (const ProfileRecord& record, PresetStore& storeToMergeInto)
    {
        profileName = record.profileName;
        currentImgId = record.img_id;
        currentAuralisId = record.auralis_id;
        currentHrtfId = record.hrtf_id;
        store = &storeToMergeInto;
    }
};

//==============================================================================
/** Checks one profile's status with the service, merges the reply into the
    store (which creates the profile for a new name) and reports the reply's
    codes. The page supplies the profile's identifiers, or asks for the check
    to start from the bank as saved.
*/
struct StatusCheckThread : public ServiceWorker<StatusCheckThread,
                                                StatusCheckInputs,
                                                const juce::String& /* execId */,
                                                int /* statusCode */,
                                                int /* returnCode */,
                                                const juce::String& /* message */>
{
    StatusCheckThread();
    ~StatusCheckThread() override { stopRun(); }

    //==============================================================================
    /** The sections of a profile's status check: the update check only when
        the profile has an image id. */
    static RequestSections sectionsFor (const juce::String& imgId, const juce::String& auralisId, const juce::String& hrtfId);

    /** The whole check with the given inputs, as a worker runs it: takes the
        identifiers as `inputs.start` says, sends the check and merges a
        reply object into the store (when there is one). Returns the reply's
        header, or the start values when there was no usable reply. After a
        stop nothing is read from disk and nothing is merged. Worker threads
        only: it waits for the network and the disk. */
    static ReplyHeader check (const StatusCheckInputs& inputs, NetworkStop* stop, const juce::Thread& worker);

private:
    //==============================================================================
    friend ServiceWorker;
    void job();
};
