#pragma once

#include "HrtfFiles.h"
#include "ProfileRecord.h"

#include <juce_data_structures/juce_data_structures.h>

#include <functional>
#include <optional>

//==============================================================================
/** The preset bank: every local profile in one tree, kept on disk in the
    shared data folder as "Presets" with a backup copy "Presets_" beside it,
    together with one HRTF data file per downloaded HRTF and its "_" copy.

    The decoder plug-in reads the same folder, so every file is replaced
    atomically, a damaged bank falls back to its backup, and an HRTF id that
    is not a plain file name never names a file.

    Worker threads write the store while the message thread reads it; every
    operation holds the store's lock, and nodes handed out are copies. A
    write takes the bank's bytes under that lock but writes, flushes and
    renames the files outside it, so readers never wait for the disk; writes
    (and loads) take a second lock in turn, so they happen one at a time, in
    order, and the files end with the last change the bank in memory has.

    Listeners (on the message thread) hear when the set of profiles may have
    changed, so that a page judging a typed name (the start page) judges it
    against the names the bank holds now: after every load, every removal and
    every status merge (which adds a profile it does not know). Neither
    recording a profile's HRTF ids (updateHrtfIds) nor setting the last
    selected preset changes a name, and neither tells the listeners.
*/
class PresetStore : public juce::ChangeBroadcaster
{
public:
    /** Builds the store on the given bank file and loads it at once. */
    explicit PresetStore (const juce::File& presetsFile);

    //==============================================================================
    /** The bank file's name in the data folder, and what its backup appends. */
    static constexpr const char* presetsFileName = "Presets";
    static constexpr const char* backupSuffix = HrtfFiles::backupSuffix;

    /** A bank file larger than this is treated as damaged. */
    static constexpr juce::int64 maxBankFileBytes = 32 * 1024 * 1024;

    /** A text from the service longer than this is stored as empty. */
    static constexpr int maxStoredTextBytes = 64 * 1024;

    /** Longest HRTF id that may name a file, in UTF-8 bytes. */
    static constexpr int maxHrtfIdBytes = HrtfFiles::maxIdBytes;

    //==============================================================================
    /** Re-reads the bank from disk, falling back to the backup file, then
        mirrors the HRTF files and their copies, and deletes the temporary
        files that interrupted saves of those files left behind. When neither
        file holds a bank, the bank in memory stays as it was. */
    void load();

    /** Writes the bank and its backup. Writes nothing while the bank holds no
        profile. A failure to write "Presets" calls onSaveFailed and leaves the
        old file whole. */
    void save();

    /** Decodes the bytes of a bank file: an invalid tree unless they are a
        well-formed tree of type "bank". */
    static juce::ValueTree readBank (const void* data, size_t numBytes);

    //==============================================================================
    juce::StringArray getProfileNames() const;
    bool findProfile (const juce::String& name, ProfileRecord& out) const;
    void fillRecord (const juce::ValueTree& preset, ProfileRecord& out) const;

    /** A copy of the preset at the index, or an invalid tree when out of range. */
    juce::ValueTree presetAt (int index) const;
    int numProfiles() const;

    /** Kept in memory until the next save. */
    void setLastSelectedPreset (int index);
    int getLastSelectedPreset() const;

    /** Removes the named profile and saves; deletes both bank files when no
        profile is left. HRTF files stay. */
    void removeProfile (const juce::String& name);

    //==============================================================================
    /** Merges a parsed status-check reply into the named profile, creating it
        when no profile has that name, then saves. */
    void mergeStatusReply (const juce::String& name, const juce::var& reply);

    /** Records the ids of a pull reply's entry in the named profile and saves;
        false when the profile already records that "hrtf_id", or when the
        entry's id could not name a file. */
    bool updateHrtfIds (const juce::String& name, const juce::var& entry);

    /** The HRTF file named by an id, beside the bank; an id that is not a plain
        file name (or names the bank or its backup) gives juce::File(). */
    juce::File hrtfFileFor (const juce::String& hrtfId) const;

    /** Copies an HRTF file of this store to its "_" backup; true when the copy
        is complete. Any other file (or juce::File()) gives false. */
    bool backupHrtfFile (const juce::File& hrtfFile);

    /** Called, possibly on a worker thread, when "Presets" could not be
        written. Never called while the store's lock is held. */
    std::function<void()> onSaveFailed;

protected:
    //==============================================================================
    /** Called by every write of the bank files, on the writing thread, after
        the bank's bytes are taken and before the files are written: the
        store's lock is free (readers go on), and the next write waits for
        this one. Does nothing here; a store that follows its own writes
        overrides it. */
    virtual void aboutToWriteBankFiles() {}

private:
    //==============================================================================
    struct Ids
    {
        const juce::Identifier bank { "bank" }, preset { "preset" }, lastSelectedPreset { "lastSelectedPreset" };

        const juce::Identifier profileName { "profileName" }, localMachineId { "localMachineId" }, timestamp { "timestamp" };
        const juce::Identifier hrtf_allowed { "hrtf_allowed" }, hrtf_requested { "hrtf_requested" };
        const juce::Identifier pull_allowed { "pull_allowed" }, pull_requested { "pull_requested" };
        const juce::Identifier hrtf_status_code { "hrtf_status_code" }, hrtf_return_code { "hrtf_return_code" }, hrtf_message { "hrtf_message" };
        const juce::Identifier hrtf_id { "hrtf_id" }, hrtf_url { "hrtf_url" }, img_id { "img_id" }, auralis_id { "auralis_id" };
        const juce::Identifier software_update_message { "software_update_message" }, release_notes { "release_notes" };
        const juce::Identifier download_url { "download_url" }, latest_release_version { "latest_release_version" };
        const juce::Identifier software_update_status_code { "software_update_status_code" };
        const juce::Identifier software_update_return_code { "software_update_return_code" };
        const juce::Identifier force_update { "force_update" };
        const juce::Identifier auralis_update_message { "auralis_update_message" };
        const juce::Identifier auralis_update_status_code { "auralis_update_status_code" };
        const juce::Identifier auralis_update_return_code { "auralis_update_return_code" };
    };

    //==============================================================================
    void mergeIntoBank (const juce::String& name, const juce::var& reply);
    std::optional<juce::MemoryBlock> takeBankBytes() const;
    bool writeBankFiles (const std::optional<juce::MemoryBlock>& bytes);
    void reportSaveFailure();
    juce::StringArray getHrtfIds() const;
    void removeStrayTemporaryFiles (const juce::StringArray& hrtfIds);
    juce::ValueTree findPreset (const juce::String& name) const;

    static juce::ValueTree readBankFile (const juce::File& file);
    static juce::var storableValue (const juce::var& value);

    const Ids ids;
    const juce::File presetsFile, backupFile;
    const HrtfFiles hrtfFiles;
    juce::ValueTree bank;

    // Taken in this order: writeLock (one write or load at a time, from its
    // bytes to its rename), then lock (the bank in memory).
    juce::CriticalSection writeLock;
    juce::CriticalSection lock;

    JUCE_DECLARE_NON_COPYABLE (PresetStore)
    JUCE_DECLARE_NON_MOVEABLE (PresetStore)
};
