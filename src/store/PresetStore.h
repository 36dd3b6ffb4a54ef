#pragma once

#include "ProfileRecord.h"

#include <juce_data_structures/juce_data_structures.h>

#include <functional>

//==============================================================================
/** The preset bank: every local profile in one tree, kept on disk in the
    shared data folder as "Presets" with a backup copy "Presets_" beside it,
    together with one HRTF data file per downloaded HRTF and its "_" copy.

    The decoder plug-in reads the same folder, so every file is replaced
    atomically and a damaged bank falls back to its backup.

    Worker threads write the store while the message thread reads it; every
    operation holds the store's lock, and nodes handed out are copies.
*/
class PresetStore
{
public:
    /** Builds the store on the given bank file and loads it at once. */
    explicit PresetStore (const juce::File& presetsFile);

    //==============================================================================
    /** Re-reads the bank from disk, falling back to the backup file, then
        mirrors the HRTF files and their copies. */
    void load();

    /** Writes the bank and its backup. Writes nothing while the bank holds no
        profile. A failure to write "Presets" calls onSaveFailed and leaves the
        old file whole. */
    void save();

    //==============================================================================
    juce::StringArray getProfileNames() const;
    bool findProfile (const juce::String& name, ProfileRecord& out) const;
    void fillRecord (const juce::ValueTree& preset, ProfileRecord& out) const;

    /** A copy of the preset at the index, or an invalid tree when out of range. */
    juce::ValueTree presetAt (int index) const;
    int numProfiles() const;

    void setLastSelectedPreset (int index);
    int getLastSelectedPreset() const;

    void removeProfile (const juce::String& name);

    //==============================================================================
    /** Merges a parsed status-check reply into the named profile, creating it
        when no profile has that name, then saves. */
    void mergeStatusReply (const juce::String& name, const juce::var& reply);

    /** Records the ids of a pull reply's entry in the named profile and saves;
        false when the profile already records that "hrtf_id". */
    bool updateHrtfIds (const juce::String& name, const juce::var& entry);

    /** The HRTF file named by an id, beside the bank; an id that is not a plain
        file name (or names the bank or its backup) gives juce::File(). */
    juce::File hrtfFileFor (const juce::String& hrtfId) const;

    /** Copies an HRTF file to its "_" backup; true when the copy is complete. */
    bool backupHrtfFile (const juce::File& hrtfFile);

    /** True for an id that may name a file in the data folder. */
    static bool isSafeHrtfId (const juce::String& hrtfId);

    juce::File getPresetsFile() const { return presetsFile; }
    juce::File getBackupFile() const { return backupFile; }

    /** Called, possibly on a worker thread, when "Presets" could not be written. */
    std::function<void()> onSaveFailed;

private:
    //==============================================================================
    bool loadTreeFrom (const juce::File& file);
    void mirrorHrtfFiles();
    juce::ValueTree findPreset (const juce::String& name) const;

    juce::File presetsFile, backupFile;
    juce::ValueTree bank;
    juce::CriticalSection lock;

    JUCE_DECLARE_NON_COPYABLE (PresetStore)
    JUCE_DECLARE_NON_MOVEABLE (PresetStore)
};
