#include "StoreTestFolder.h"
#include "store/SafeFileWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The shared data folder is written by every local user and replaced by
// rename; these tests cover what that asks of the store: files readable by
// all, links and pipes never read, and the temporary files of interrupted
// saves removed at the next load.

namespace
{
const juce::MemoryBlock hrtfBytes ("SOFA-hrtf-data", 14);

int permissionsOf (const juce::File& file)
{
    struct stat info;
    return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (int) (info.st_mode & 07777) : -1;
}

juce::StringArray temporaryFilesIn (const juce::File& folder)
{
    juce::StringArray names;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, "*.tmp", juce::File::FollowSymlinks::no))
        names.add (file.getFileName());

    names.sort (false);
    return names;
}

/** Writes the target in a child process that the system kills at its first
    write (a file-size limit of 0), as a crash or a kill would: the save's
    temporary file stays behind. */
void saveInterruptedByAKill (const juce::File& target)
{
    const auto pid = ::fork();

    if (pid == 0)
    {
        const rlimit nothing { 0, 0 };
        ::setrlimit (RLIMIT_CORE, &nothing);
        ::setrlimit (RLIMIT_FSIZE, &nothing);
        ::signal (SIGXFSZ, SIG_DFL);

        juce::MemoryBlock big (64 * 1024, true);
        SafeFileWriter::replaceWithData (target, big);
        ::_exit (0);
    }

    int status = 0;
    ASSERT_EQ (::waitpid (pid, &status, 0), pid);
    ASSERT_TRUE (WIFSIGNALED (status) && WTERMSIG (status) == SIGXFSZ);
}

/** Holds the folder's lock as a writer of another process would. */
struct WriterAtWork
{
    explicit WriterAtWork (const juce::File& folder)
        : fd (::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY))
    {
        EXPECT_EQ (::flock (fd, LOCK_SH), 0);
    }

    ~WriterAtWork() { ::close (fd); }

    const int fd;
};
}

//==============================================================================
TEST (SharedDataFolder, FilesAreReadableByAllAndWritableByTheirOwnerWhateverTheUmask)
{
    StoreTestFolder t;
    const auto previous = ::umask (077);

    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", juce::JSON::parse (R"({ "timestamp": 1 })"));
    const auto hrtf = store.hrtfFileFor ("h-1");
    const bool written = SafeFileWriter::replaceWithData (hrtf, hrtfBytes);
    const bool copied = store.backupHrtfFile (hrtf);

    ::umask (previous);

    ASSERT_TRUE (written && copied);

    for (const auto& file : { t.presets(), t.backup(), hrtf, hrtf.getSiblingFile ("h-1_") })
        EXPECT_EQ (permissionsOf (file), 0644) << file.getFileName();
}

TEST (SharedDataFolder, LinksAndPipesPutThereByOthersAreNeverRead)
{
    StoreTestFolder t;
    const auto bank = StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann" }, "h-1"));

    // A pipe as the bank would block a reader for ever; the backup is used.
    t.dataFolder().createDirectory();
    ASSERT_EQ (::mkfifo (t.presets().getFullPathName().toRawUTF8(), 0666), 0);
    StoreTestFolder::write (t.backup(), bank);

    // An HRTF file that links to a file only this user may read must not be
    // copied into a backup that everybody may read.
    const auto privateFile = t.root.getChildFile ("private");
    StoreTestFolder::write (privateFile, juce::MemoryBlock ("secret", 6));
    const auto hrtf = t.dataFolder().getChildFile ("h-1");
    ASSERT_TRUE (privateFile.createSymbolicLink (hrtf, false));

    PresetStore store (t.presets());

    EXPECT_EQ (store.getProfileNames(), juce::StringArray ("Ann"));
    EXPECT_FALSE (hrtf.getSiblingFile ("h-1_").exists());
    EXPECT_FALSE (store.backupHrtfFile (hrtf));

    // A bank reached through a link is not taken either.
    t.presets().deleteFile();
    t.backup().deleteFile();
    const auto elsewhere = t.root.getChildFile ("bank-elsewhere");
    StoreTestFolder::write (elsewhere, bank);
    ASSERT_TRUE (elsewhere.createSymbolicLink (t.presets(), false));

    EXPECT_EQ (PresetStore (t.presets()).numProfiles(), 0);
}

//==============================================================================
TEST (SharedDataFolder, LoadRemovesTheTemporaryFilesOfInterruptedSavesOfItsOwnFiles)
{
    StoreTestFolder t;
    StoreTestFolder::write (t.presets(), StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann" }, "h-1")));
    const auto folder = t.dataFolder();

    saveInterruptedByAKill (t.presets());
    saveInterruptedByAKill (folder.getChildFile ("h-1"));
    ASSERT_EQ (temporaryFilesIn (folder).size(), 2);

    const juce::StringArray left { ".h-1_.0123456789abcdef.tmp", ".Presets_.7f.tmp" };
    const juce::StringArray others { ".h-2.0a.tmp", ".Presets.xyz.tmp", ".Presets..tmp", "Presets.0a.tmp", ".Presets.0a.tmp.old", ".notes.0a.tmp" };

    for (const auto& name : left)
        StoreTestFolder::write (folder.getChildFile (name), hrtfBytes);

    for (const auto& name : others)
        StoreTestFolder::write (folder.getChildFile (name), hrtfBytes);

    // While a writer is at work nothing is taken; the next load cleans up.
    {
        const WriterAtWork writer (folder);
        PresetStore store (t.presets());
        EXPECT_EQ (temporaryFilesIn (folder).size(), 2 + left.size() + others.size() - 1);
    }

    PresetStore store (t.presets());
    EXPECT_EQ (store.getProfileNames(), juce::StringArray ("Ann"));

    auto expected = others;
    expected.removeString (".Presets.0a.tmp.old");
    expected.sort (false);
    EXPECT_EQ (temporaryFilesIn (folder), expected);
    EXPECT_TRUE (folder.getChildFile (".Presets.0a.tmp.old").existsAsFile());
}

TEST (SharedDataFolder, TemporaryNamesOfLongTargetsAreRecognised)
{
    const auto longName = juce::String::repeatedString ("h", 60);
    const auto stem = longName.substring (0, 48);

    EXPECT_TRUE (SafeFileWriter::isTemporaryFileFor ("." + stem + ".00ff.tmp", longName));
    EXPECT_FALSE (SafeFileWriter::isTemporaryFileFor ("." + longName + ".00ff.tmp", longName));
    EXPECT_FALSE (SafeFileWriter::isTemporaryFileFor (".Presets." + juce::String::repeatedString ("a", 25) + ".tmp", "Presets"));
    EXPECT_FALSE (SafeFileWriter::isTemporaryFileFor (".Presets.00FF.tmp", "Presets"));
    EXPECT_FALSE (SafeFileWriter::isTemporaryFileFor ("..00.tmp", {}));
}
