#include "SafeFileReader.h"

#if ! JUCE_WINDOWS
    #include <cerrno>
    #include <fcntl.h>
    #include <sys/stat.h>
    #include <unistd.h>
#endif

bool SafeFileReader::readWholeFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& block, const SafeFileWriter::StopCheck& shouldStop)
{
    block.reset();

    if (file == juce::File() || maxBytes < 0)
        return false;

    const auto stopped = [&shouldStop]
    { return shouldStop && shouldStop(); };

    // Reads of at most this much, so that a stop is seen between them.
    const auto largestRead = shouldStop ? (juce::int64) SafeFileWriter::stopCheckBlockBytes : maxBytes + 1;

#if JUCE_WINDOWS
    juce::FileInputStream in (file);

    if (in.failedToOpen())
        return false;

    // One byte more than allowed tells an oversized file from one that fits.
    bool ok = true;

    while (ok && ! in.isExhausted() && (juce::int64) block.getSize() <= maxBytes)
    {
        // A read that brings nothing before the end (the file shrank) fails.
        ok = ! stopped()
             && in.readIntoMemoryBlock (block, (juce::pointer_sized_int) juce::jmin (largestRead, maxBytes + 1 - (juce::int64) block.getSize())) > 0
             && ! in.getStatus().failed();
    }

    if (! ok || (juce::int64) block.getSize() > maxBytes || ! in.isExhausted())
    {
        block.reset();
        return false;
    }

    return true;
#else
    // No link is followed, and opening a pipe or device does not wait.
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);

    if (fd < 0)
        return false;

    struct stat info;
    bool ok = ::fstat (fd, &info) == 0 && S_ISREG (info.st_mode) && (juce::int64) info.st_size <= maxBytes;

    if (ok)
    {
        // The size may change while reading; the file counts as read whole
        // when its end arrives within maxBytes.
        block.setSize ((size_t) info.st_size + 1);
        juce::int64 used = 0;

        for (;;)
        {
            if (used == (juce::int64) block.getSize())
            {
                if (used > maxBytes)
                    break;

                block.setSize ((size_t) juce::jmin (maxBytes + 1, used * 2 + 1));
            }

            if (stopped())
            {
                ok = false;
                break;
            }

            const auto wanted = (size_t) juce::jmin (largestRead, (juce::int64) block.getSize() - used);
            const auto numRead = ::read (fd, static_cast<char*> (block.getData()) + used, wanted);

            if (numRead < 0 && errno == EINTR)
                continue;

            if (numRead < 0)
                ok = false;

            if (numRead <= 0)
                break;

            used += numRead;
        }

        ok = ok && used <= maxBytes;
        block.setSize (ok ? (size_t) used : 0);
    }

    ::close (fd);

    if (! ok)
        block.reset();

    return ok;
#endif
}
