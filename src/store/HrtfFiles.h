#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** The HRTF data files of the shared data folder: one file per downloaded
    HRTF, named by its HRTF id, beside the bank, and a "_" copy of each.

    An id names a file only when it is a plain file name that every desktop
    system takes as it is, and not the bank's or its backup's name in any
    letter case: the decoder plug-in reads the same folder. Each file and its
    copy restore each other, and both are only ever replaced whole.

    Keeps no state beyond the bank file it was made for; safe on any thread.
    On a worker's thread a copy looks at the thread's stop between blocks: a
    stop ends it with nothing half-written and nothing restored, and leaves
    the copy for the next time.
*/
class HrtfFiles
{
public:
    /** The HRTF files beside the given bank file ("Presets"), whose backup is
        that file's name followed by backupSuffix. */
    explicit HrtfFiles (const juce::File& presetsFile);

    //==============================================================================
    /** What a file's copy appends to its name (the bank's backup too). */
    static constexpr const char* backupSuffix = "_";

    /** HRTF files larger than this are neither copied nor restored. */
    static constexpr juce::int64 maxFileBytes = 256 * 1024 * 1024;

    /** Longest HRTF id that may name a file, in UTF-8 bytes. */
    static constexpr int maxIdBytes = 200;

    //==============================================================================
    /** The file named by an id, beside the bank; an id that is not a plain
        file name (or names the bank or its backup) gives juce::File(). */
    juce::File fileFor (const juce::String& hrtfId) const;

    /** Copies an HRTF file of this folder to its "_" copy; true when the copy
        is complete. Any other file (or juce::File()) gives false. */
    bool backUp (const juce::File& hrtfFile) const;

    /** For each id that names a file: the copy follows the file, and a missing,
        unreadable or empty file comes back from its copy. Failures are left
        for the next time. */
    void mirror (const juce::StringArray& hrtfIds) const;

    /** The names of the files (and their copies) the ids name, for the
        removal of what interrupted writes of them left behind. */
    juce::StringArray fileNamesFor (const juce::StringArray& hrtfIds) const;

    /** True for an id that may name a file on every desktop system: a plain
        file name, not hidden, no characters Windows refuses, no device name.
        (fileFor also refuses the names of the bank and its backup.) */
    static bool isSafeId (const juce::String& hrtfId);

    /** The "_" copy of a file. */
    static juce::File backupFileFor (const juce::File& file);

private:
    //==============================================================================
    bool isFileOfThisFolder (const juce::File& file) const;

    const juce::File presetsFile;
};
