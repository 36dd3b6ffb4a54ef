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
    #include <cerrno>
    #include <fcntl.h>
    #include <sys/file.h>
    #include <sys/stat.h>
    #include <unistd.h>
#endif

namespace
{
// Temporary names keep a readable part of the target's name, short
// enough that the whole name stays within file-system limits.
constexpr int maxNameStemLength = 48;
constexpr int maxNameAttempts = 16;

// The random token: a 64-bit and a 32-bit number in hexadecimal.
constexpr int maxTokenLength = 24;
const juce::String temporaryPrefix (".");
const juce::String temporarySuffix (".tmp");

#if JUCE_WINDOWS
// Without a folder lock, a temporary file counts as left behind once nobody
// has written to it for this long; no save takes nearly as long.
const juce::RelativeTime leftBehindAge = juce::RelativeTime::hours (1);
#else
// Every permission bit of a file the writer creates: readable by every user
// (the decoder plug-in and the other users' programs read the bank),
// writable by its owner only.
constexpr mode_t sharedFileMode = 0644;
#endif

juce::String nameStem (const juce::String& targetName)
{
    return targetName.substring (0, maxNameStemLength);
}

//==============================================================================
/** A lock on a folder, held while the object lives: shared by the writers in
    the folder, exclusive for removing what interrupted writers left there.
    Locks are held per open folder, so they also keep the threads of one
    process apart, and the system releases them when a process dies. On
    Windows there is no such lock; a shared one always succeeds and an
    exclusive one never does. */
class FolderLock
{
public:
    enum class Kind
    {
        sharedWaiting,
        exclusiveIfFree
    };

    FolderLock (const juce::File& folder, Kind kind)
    {
#if JUCE_WINDOWS
        locked = kind == Kind::sharedWaiting;
        juce::ignoreUnused (folder);
#else
        descriptor = ::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

        if (descriptor < 0)
            return;

        const auto operation = kind == Kind::sharedWaiting ? LOCK_SH : (LOCK_EX | LOCK_NB);
        int result;

        do
            result = ::flock (descriptor, operation);
        while (result != 0 && errno == EINTR);

        locked = result == 0;
#endif
    }

    ~FolderLock()
    {
#if ! JUCE_WINDOWS
        if (descriptor >= 0)
            ::close (descriptor);
#endif
    }

    bool isLocked() const noexcept { return locked; }

private:
    int descriptor = -1;
    bool locked = false;

    JUCE_DECLARE_NON_COPYABLE (FolderLock)
};

#if JUCE_WINDOWS
// Another process (the decoder plug-in) may hold the target open for a
// moment; the rename is retried for about half a second.
constexpr int maxRenameAttempts = 5;
constexpr int renameRetryDelayMs = 100;
#endif
}

//==============================================================================
bool SafeFileWriter::replaceWithData (const juce::File& target, const void* data, size_t numBytes, const StopCheck& shouldStop)
{
    if (target == juce::File() || target.isDirectory() || (data == nullptr && numBytes > 0))
        return false;

    const auto folder = target.getParentDirectory();

    if (folder.createDirectory().failed())
        return false;

    // Held until the temporary file is renamed or deleted. A file system
    // without locks only loses the cleaning up after interrupted writes.
    const FolderLock writing (folder, FolderLock::Kind::sharedWaiting);

    const auto temp = createTemporaryFileBeside (target);

    if (temp == juce::File())
        return false;

    if (! writeAndFlush (temp, data, numBytes, shouldStop) || ! moveOver (temp, target))
    {
        temp.deleteFile();
        return false;
    }

    syncFolder (folder);
    return true;
}

bool SafeFileWriter::replaceWithData (const juce::File& target, const juce::MemoryBlock& block, const StopCheck& shouldStop)
{
    return replaceWithData (target, block.getData(), block.getSize(), shouldStop);
}

//==============================================================================
int SafeFileWriter::removeStrayTemporaryFiles (const juce::File& folder, const juce::StringArray& targetNames)
{
    if (folder == juce::File() || ! folder.isDirectory() || targetNames.isEmpty())
        return 0;

    // While any writer holds its shared lock, a temporary file may be one
    // that is being written; they are left for a later call.
    const FolderLock cleaning (folder, FolderLock::Kind::exclusiveIfFree);

#if ! JUCE_WINDOWS
    if (! cleaning.isLocked())
        return 0;
#endif

    int removed = 0;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, temporaryPrefix + "*" + temporarySuffix, juce::File::FollowSymlinks::no))
    {
        const auto name = file.getFileName();
        bool ours = false;

        for (const auto& targetName : targetNames)
            ours = ours || isTemporaryFileFor (name, targetName);

        // Deleting a link removes the link, never what it points to.
        if (ours && isLeftBehind (file) && file.deleteFile())
            ++removed;
    }

    return removed;
}

bool SafeFileWriter::isTemporaryFileFor (const juce::String& fileName, const juce::String& targetName)
{
    const auto head = temporaryPrefix + nameStem (targetName) + ".";

    if (targetName.isEmpty() || ! fileName.startsWith (head) || ! fileName.endsWith (temporarySuffix))
        return false;

    const auto token = fileName.substring (head.length(), fileName.length() - temporarySuffix.length());

    return token.isNotEmpty() && token.length() <= maxTokenLength && token.containsOnly ("0123456789abcdef");
}

//==============================================================================
juce::File SafeFileWriter::createTemporaryFileBeside (const juce::File& target)
{
    static std::atomic<juce::uint32> counter { 0 };

    const auto folder = target.getParentDirectory().getFullPathName();
    const auto stem = nameStem (target.getFileName());

    for (int attempt = 0; attempt < maxNameAttempts; ++attempt)
    {
        // An unpredictable name, created exclusively, so nobody can have put
        // a file or a link there beforehand.
        std::random_device randomSource;
        const auto token = juce::String::toHexString ((juce::int64) (((juce::uint64) randomSource() << 32) ^ randomSource()))
                           + juce::String::toHexString ((int) ++counter);

        const juce::File temp (folder + juce::File::getSeparatorString() + temporaryPrefix + stem + "." + token + temporarySuffix);

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
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, sharedFileMode);

    if (fd < 0)
        return false;

    // The umask may have taken the other users' read permission away; they
    // need it to load the shared bank.
    const bool permitted = ::fchmod (fd, sharedFileMode) == 0;
    ::close (fd);

    if (! permitted)
        ::unlink (file.getFullPathName().toRawUTF8());

    return permitted;
#endif
}

bool SafeFileWriter::writeAndFlush (const juce::File& file, const void* data, size_t numBytes, const StopCheck& shouldStop)
{
    {
        juce::FileOutputStream out (file);

        if (out.failedToOpen() || out.getPosition() != 0)
            return false;

        // Without a stop check the bytes go in one write; with one, block by
        // block, looking at the stop before each.
        const auto blockBytes = shouldStop ? stopCheckBlockBytes : juce::jmax (numBytes, (size_t) 1);

        for (size_t written = 0; written < numBytes;)
        {
            if (shouldStop && shouldStop())
                return false;

            const auto count = juce::jmin (blockBytes, numBytes - written);

            if (! out.write (static_cast<const char*> (data) + written, count))
                return false;

            written += count;
        }

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

bool SafeFileWriter::isLeftBehind (const juce::File& temporaryFile)
{
#if JUCE_WINDOWS
    return temporaryFile.getLastModificationTime() < juce::Time::getCurrentTime() - leftBehindAge;
#else
    // Called under the folder's exclusive lock: no writer is at work.
    juce::ignoreUnused (temporaryFile);
    return true;
#endif
}
