#include "SafeFileWriter.h"

#include <atomic>
#include <random>

#if JUCE_WINDOWS
    #ifndef NOMINMAX
        #define NOMINMAX
    #endif
    #ifndef WIN32_LEAN_AND_MEAN
        #define WIN32_LEAN_AND_MEAN
    #endif
    #include <windows.h>
#else
    #include <fcntl.h>
    #include <unistd.h>
#endif

namespace
{
// Temporary names keep a readable part of the target's name, short
// enough that the whole name stays within file-system limits.
constexpr int maxNameStemLength = 48;
constexpr int maxNameAttempts = 16;

#if JUCE_WINDOWS
// Another process (the decoder plug-in) may hold the target open for a
// moment; the rename is retried for about half a second.
constexpr int maxRenameAttempts = 5;
constexpr int renameRetryDelayMs = 100;
#endif
}

//==============================================================================
bool SafeFileWriter::replaceWithData (const juce::File& target, const void* data, size_t numBytes)
{
    if (target == juce::File() || target.isDirectory() || (data == nullptr && numBytes > 0))
        return false;

    const auto folder = target.getParentDirectory();

    if (folder.createDirectory().failed())
        return false;

    const auto temp = createTemporaryFileBeside (target);

    if (temp == juce::File())
        return false;

    if (! writeAndFlush (temp, data, numBytes) || ! moveOver (temp, target))
    {
        temp.deleteFile();
        return false;
    }

    syncFolder (folder);
    return true;
}

bool SafeFileWriter::replaceWithData (const juce::File& target, const juce::MemoryBlock& block)
{
    return replaceWithData (target, block.getData(), block.getSize());
}

//==============================================================================
juce::File SafeFileWriter::createTemporaryFileBeside (const juce::File& target)
{
    static std::atomic<juce::uint32> counter { 0 };

    const auto folder = target.getParentDirectory().getFullPathName();
    const auto stem = target.getFileName().substring (0, maxNameStemLength);

    for (int attempt = 0; attempt < maxNameAttempts; ++attempt)
    {
        // An unpredictable name, created exclusively, so nobody can have put
        // a file or a link there beforehand.
        std::random_device randomSource;
        const auto token = juce::String::toHexString ((juce::int64) (((juce::uint64) randomSource() << 32) ^ randomSource()))
                           + juce::String::toHexString ((int) ++counter);

        const juce::File temp (folder + juce::File::getSeparatorString() + "." + stem + "." + token + ".tmp");

        if (createExclusively (temp))
            return temp;
    }

    return {};
}

bool SafeFileWriter::createExclusively (const juce::File& file)
{
#if JUCE_WINDOWS
    auto handle = CreateFileW (file.getFullPathName().toWideCharPointer(),
                               GENERIC_WRITE,
                               0,
                               nullptr,
                               CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL,
                               nullptr);

    if (handle == INVALID_HANDLE_VALUE)
        return false;

    CloseHandle (handle);
    return true;
#else
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);

    if (fd < 0)
        return false;

    ::close (fd);
    return true;
#endif
}

bool SafeFileWriter::writeAndFlush (const juce::File& file, const void* data, size_t numBytes)
{
    {
        juce::FileOutputStream out (file);

        if (out.failedToOpen() || out.getPosition() != 0)
            return false;

        if (numBytes > 0 && ! out.write (data, numBytes))
            return false;

        // flush() writes what the stream still buffers, then asks the system
        // to put the file on disk (fsync on POSIX, FlushFileBuffers on
        // Windows); a failure of either shows in the stream's status.
        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // A short write leaves no error status behind, but a short file.
    return file.getSize() == (juce::int64) numBytes;
}

bool SafeFileWriter::moveOver (const juce::File& source, const juce::File& target)
{
    // One atomic rename, so the target holds either the old or the new bytes
    // at every moment. (juce::File::moveFileTo deletes the target first, and
    // its fallback copies into the target in place.)
#if JUCE_WINDOWS
    for (int attempt = 0; attempt < maxRenameAttempts; ++attempt)
    {
        if (MoveFileExW (source.getFullPathName().toWideCharPointer(),
                         target.getFullPathName().toWideCharPointer(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;

        const auto error = GetLastError();

        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            return false;

        juce::Thread::sleep (renameRetryDelayMs);
    }

    return false;
#else
    return ::rename (source.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) == 0;
#endif
}

void SafeFileWriter::syncFolder (const juce::File& folder)
{
#if JUCE_WINDOWS
    // MOVEFILE_WRITE_THROUGH has already put the rename on disk.
    juce::ignoreUnused (folder);
#else
    // The rename is durable once the folder's entry is on disk. Some file
    // systems refuse to sync a folder; the new content is in place either way.
    const auto fd = ::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

    if (fd >= 0)
    {
        ::fsync (fd);
        ::close (fd);
    }
#endif
}
