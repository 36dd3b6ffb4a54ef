#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** Replaces a file's content so that a reader (the decoder plug-in, the next
    start) never sees a half-written file: the bytes go to a temporary file in
    the same folder, every write and the final size are checked, the file is
    flushed to disk, and only then renamed over the target. On any failure the
    old file stays whole and false is returned.
*/
class SafeFileWriter
{
public:
    /** Creates missing parent folders, then replaces the target's content. */
    static bool replaceWithData (const juce::File& target, const void* data, size_t numBytes);
    static bool replaceWithData (const juce::File& target, const juce::MemoryBlock& block);
};
