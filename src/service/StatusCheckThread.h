#pragma once

#include "NetworkStop.h"
#include "ReplyHeader.h"
#include "RequestSections.h"
#include "ResultDelivery.h"
#include "store/ProfileRecord.h"

#include <functional>

class PresetStore;

//==============================================================================
/** Checks one profile's status with the service, merges the reply into the
    store (which creates the profile for a new name) and reports the reply's
    codes. The page supplies the profile's identifiers, or asks for the check
    to start from the bank as saved (reloadStoreFirst).
*/
struct StatusCheckThread : public juce::Thread
{
    StatusCheckThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~StatusCheckThread() override;

    void run() override;

    //==============================================================================
    /** The sections of a profile's status check: the update check only when
        the profile has an image id. */
    static RequestSections sectionsFor (const juce::String& imgId, const juce::String& auralisId, const juce::String& hrtfId);

    /** Sends a status check, merges a reply object into the store under the
        name (when there is a store) and returns the reply's header, or the
        start values when there was no usable reply. After a stop nothing is
        merged. */
    static ReplyHeader checkAndMerge (PresetStore* store, const juce::String& profileName, const RequestSections& sections, NetworkStop* stop = nullptr);

    /** Reads the store again from disk (loading may repair files in the data
        folder, so nothing is read after a stop) and returns the named
        profile as saved; an empty record when there is no store or no such
        profile. Worker threads only: it waits for the disk. */
    static ProfileRecord profileAsSaved (PresetStore* store, const juce::String& profileName, const juce::Thread& worker);

    //==============================================================================
    juce::String profileName;
    juce::String currentImgId;
    juce::String currentAuralisId;
    juce::String currentHrtfId;
    PresetStore* store = nullptr;

    /** When set, the run first reads the store again from disk and takes the
        profile's name and identifiers from it instead of the current* inputs,
        so that the message thread never waits for the disk: a profile the
        saved bank does not hold is checked under no name and merges nothing. */
    bool reloadStoreFirst = false;

    std::function<void (const juce::String& execId, int statusCode, int returnCode, const juce::String& message)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (StatusCheckThread)
};
