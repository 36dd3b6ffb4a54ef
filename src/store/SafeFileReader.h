#pragma once

#include "SafeFileWriter.h"

#include <juce_core/juce_core.h>

//==============================================================================
/** Reads a whole file from the shared data folder, which every local user can
    write into: another user may have put a link there (to a file only the
    reader may read, which the store would then copy into a readable backup)
    or a named pipe (which would block the reader for ever).

    On POSIX only a regular file is read: a link, pipe, device or folder gives
    false without blocking. On Windows the file is read as it is.
*/
class SafeFileReader
{
public:
    /** Reads the file into `block` when it holds at most maxBytes; false, with
        `block` empty, when it cannot be read whole. With a stop check, which
        is asked between blocks of SafeFileWriter::stopCheckBlockBytes, a stop
        gives false too. */
    static bool readWholeFile (const juce::File& file,
                               juce::int64 maxBytes,
                               juce::MemoryBlock& block,
                               const SafeFileWriter::StopCheck& shouldStop = {});
};
