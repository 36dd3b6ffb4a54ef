#pragma once

#include <juce_core/juce_core.h>

#include <functional>

//==============================================================================
/** Replaces a file's content so that a reader (the decoder plug-in, the next
    start) never sees a half-written file: the bytes go to a new temporary
    file in the same folder, every write and the final size are checked, the
    file is flushed to disk, and only then renamed over the target. On any
    failure the temporary file is deleted, the old file stays whole and false
    is returned.

    Unlike juce::File::replaceWithData, a full disk or a failed rename is
    reported, and the target is never deleted before its replacement exists.

    The shared data folder is written by every local user, so on POSIX a new
    file is readable by all and writable by its owner alone (0644, whatever
    the umask): other users replace it by renaming, never by writing into it.
    A temporary file is named "." + the target's name (at most 48 characters)
    + "." + a random hexadecimal token + ".tmp". While a writer works, it holds
    a shared lock on the folder, so that removeStrayTemporaryFiles never takes
    a file that another thread or process is still writing.
*/
class SafeFileWriter
{
public:
    /** Asked between the blocks of a long write or read: true gives the
        operation up (as a failure, leaving nothing half-done behind). */
    using StopCheck = std::function<bool()>;

    /** Creates missing parent folders, then replaces the target's content.
        With a stop check, the bytes are written block by block and a stop
        between blocks fails the write: the target stays as it was. */
    static bool replaceWithData (const juce::File& target, const void* data, size_t numBytes, const StopCheck& shouldStop = {});
    static bool replaceWithData (const juce::File& target, const juce::MemoryBlock& block, const StopCheck& shouldStop = {});

    /** The size of the blocks between which a stop is looked at. */
    static constexpr size_t stopCheckBlockBytes = 1024 * 1024;

    //==============================================================================
    /** Deletes the temporary files that interrupted writes (a killed process, a
        power cut) left in the folder for the named targets (plain file names
        in that folder); nothing else is touched. On POSIX it does so only while
        no writer is at work in the folder (otherwise it leaves everything for
        the next time); on Windows only files older than an hour count as left
        behind. Returns the number of files deleted. */
    static int removeStrayTemporaryFiles (const juce::File& folder, const juce::StringArray& targetNames);

    /** True when the file name has the form of a temporary file for the target. */
    static bool isTemporaryFileFor (const juce::String& fileName, const juce::String& targetName);

private:
    //==============================================================================
    static juce::File createTemporaryFileBeside (const juce::File& target);
    static bool createExclusively (const juce::File& file);
    static bool writeAndFlush (const juce::File& file, const void* data, size_t numBytes, const StopCheck& shouldStop);
    static bool moveOver (const juce::File& source, const juce::File& target);
    static void syncFolder (const juce::File& folder);
    static bool isLeftBehind (const juce::File& temporaryFile);
};
