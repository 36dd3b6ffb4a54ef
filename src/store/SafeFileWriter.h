#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** Replaces a file's content so that a reader (the decoder plug-in, the next
    start) never sees a half-written file: the bytes go to a new temporary
    file in the same folder, every write and the final size are checked, the
    file is flushed to disk, and only then renamed over the target. On any
    failure the temporary file is deleted, the old file stays whole and false
    is returned.

    Unlike juce::File::replaceWithData, a full disk or a failed rename is
    reported, and the target is never deleted before its replacement exists.
*/
class SafeFileWriter
{
public:
    /** Creates missing parent folders, then replaces the target's content. */
    static bool replaceWithData (const juce::File& target, const void* data, size_t numBytes);
    static bool replaceWithData (const juce::File& target, const juce::MemoryBlock& block);

private:
    //==============================================================================
    static juce::File createTemporaryFileBeside (const juce::File& target);
    static bool createExclusively (const juce::File& file);
    static bool writeAndFlush (const juce::File& file, const void* data, size_t numBytes);
    static bool moveOver (const juce::File& source, const juce::File& target);
    static void syncFolder (const juce::File& folder);
};
