#include "StoreTestFolder.h"
#include "store/SafeFileReader.h"
#include "store/SafeFileWriter.h"
#include "support/SkipOrFail.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace
{
const juce::MemoryBlock oldBytes ("old content", 11);
const juce::MemoryBlock newBytes ("new content, longer", 19);

/** A 64 KiB file system on a test folder; possible only as root inside
        the tests' private mount namespace. */
class SmallDisk
{
public:
    explicit SmallDisk (const juce::File& folderToUse)
        : folder (folderToUse)
    {
        folder.createDirectory();
        mounted = ::mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", 0, "size=64k") == 0;
    }

    ~SmallDisk()
    {
        if (mounted)
            ::umount2 (folder.getFullPathName().toRawUTF8(), MNT_DETACH);
    }

    static juce::String whyUnavailable()
    {
        if (juce::SystemStats::getEnvironmentVariable ("AURALIS_IN_TEST_NAMESPACE", {}) != "1")
            return "needs the tests' private mount namespace (run via tests/support/with-test-ca.sh)";

        if (::geteuid() != 0)
            return "needs root to mount a small file system";

        return {};
    }

    /** Writes a file until the disk refuses more. */
    void fill() const
    {
        const auto fd = ::open (folder.getChildFile ("filler").getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT, 0644);
        char chunk[4096] = {};

        while (::write (fd, chunk, sizeof (chunk)) > 0)
        {
        }

        ::close (fd);
    }

    const juce::File folder;
    bool mounted = false;
};

int numTemporaryFiles (const juce::File& folder)
{
    return folder.findChildFiles (juce::File::findFiles, false, "*.tmp", juce::File::FollowSymlinks::no).size();
}
}

//==============================================================================
TEST (SafeFileWriter, ReplacesContentAndCreatesMissingFolders)
{
    StoreTestFolder t;
    const auto target = t.dataFolder().getChildFile ("file");

    EXPECT_TRUE (SafeFileWriter::replaceWithData (target, oldBytes));
    EXPECT_TRUE (SafeFileWriter::replaceWithData (target, newBytes));
    EXPECT_EQ (StoreTestFolder::bytesOf (target), newBytes);
    EXPECT_TRUE (SafeFileWriter::replaceWithData (target, juce::MemoryBlock()));
    EXPECT_EQ (target.getSize(), 0);
    EXPECT_EQ (numTemporaryFiles (t.dataFolder()), 0);
}

TEST (SafeFileWriter, FailsWithoutTouchingWhatIsThere)
{
    StoreTestFolder t;
    const auto folderTarget = t.root.getChildFile ("folder");
    folderTarget.createDirectory();
    EXPECT_FALSE (SafeFileWriter::replaceWithData (folderTarget, newBytes));
    EXPECT_TRUE (folderTarget.isDirectory());

    const auto fileAsFolder = t.root.getChildFile ("plain");
    StoreTestFolder::write (fileAsFolder, oldBytes);
    EXPECT_FALSE (SafeFileWriter::replaceWithData (fileAsFolder.getChildFile ("x"), newBytes));
    EXPECT_EQ (StoreTestFolder::bytesOf (fileAsFolder), oldBytes);

    EXPECT_FALSE (SafeFileWriter::replaceWithData (juce::File(), newBytes));
}

TEST (SafeFileWriter, ReplacesALinkRatherThanWritingThroughIt)
{
    StoreTestFolder t;
    const auto elsewhere = t.root.getChildFile ("elsewhere");
    StoreTestFolder::write (elsewhere, oldBytes);
    const auto link = t.root.getChildFile ("link");
    ASSERT_TRUE (elsewhere.createSymbolicLink (link, false));

    EXPECT_TRUE (SafeFileWriter::replaceWithData (link, newBytes));
    EXPECT_EQ (StoreTestFolder::bytesOf (elsewhere), oldBytes);
    EXPECT_FALSE (link.isSymbolicLink());
    EXPECT_EQ (StoreTestFolder::bytesOf (link), newBytes);
}

TEST (SafeFileWriter, AFullDiskKeepsTheOldBankAndReportsTheFailedSave)
{
    if (const auto reason = SmallDisk::whyUnavailable(); reason.isNotEmpty())
        SKIP_OR_FAIL_UNDER_CI (reason);

    StoreTestFolder t;
    SmallDisk disk (t.dataFolder());
    ASSERT_TRUE (disk.mounted);

    PresetStore store (t.presets());
    int failures = 0;
    store.onSaveFailed = [&failures]
    { ++failures; };
    store.mergeStatusReply ("Ann", juce::JSON::parse (R"({ "timestamp": 1 })"));
    const auto saved = StoreTestFolder::bytesOf (t.presets());
    ASSERT_GT (saved.getSize(), 0u);

    const auto hrtf = store.hrtfFileFor ("h-1");
    StoreTestFolder::write (hrtf, oldBytes);
    EXPECT_TRUE (store.backupHrtfFile (hrtf));

    disk.fill();
    store.mergeStatusReply ("Bob", juce::JSON::parse (R"({ "timestamp": 2 })"));

    EXPECT_EQ (failures, 1);
    EXPECT_EQ (StoreTestFolder::bytesOf (t.presets()), saved);
    EXPECT_EQ (StoreTestFolder::bytesOf (t.backup()), saved);
    EXPECT_EQ (store.numProfiles(), 2);

    EXPECT_FALSE (SafeFileWriter::replaceWithData (hrtf, newBytes));
    EXPECT_EQ (StoreTestFolder::bytesOf (hrtf), oldBytes);
    EXPECT_EQ (numTemporaryFiles (t.dataFolder()), 0);

    // A fresh start still finds the last bank that was written whole.
    EXPECT_EQ (PresetStore (t.presets()).getProfileNames(), juce::StringArray ("Ann"));
}

TEST (SafeFileWriter, AStopBetweenBlocksLeavesTheOldFileAndNoTemporaryOne)
{
    StoreTestFolder t;
    const auto target = t.dataFolder().getChildFile ("hrtf");
    StoreTestFolder::write (target, oldBytes);

    juce::MemoryBlock large (3 * SafeFileWriter::stopCheckBlockBytes + 17);
    large.fillWith (9);

    // Stops after one, two or three blocks, before the last has gone.
    for (int blocksBeforeStop = 0; blocksBeforeStop < 4; ++blocksBeforeStop)
    {
        int asked = 0;
        const auto stopAfter = [&]
        { return asked++ >= blocksBeforeStop; };

        EXPECT_FALSE (SafeFileWriter::replaceWithData (target, large, stopAfter)) << blocksBeforeStop;
        EXPECT_EQ (StoreTestFolder::bytesOf (target), oldBytes);
        EXPECT_EQ (numTemporaryFiles (t.dataFolder()), 0);
    }

    // A stop check that never stops writes the whole file; so does reading it.
    const auto never = []
    { return false; };
    EXPECT_TRUE (SafeFileWriter::replaceWithData (target, large, never));
    EXPECT_EQ (StoreTestFolder::bytesOf (target), large);

    juce::MemoryBlock read;
    EXPECT_TRUE (SafeFileReader::readWholeFile (target, (juce::int64) large.getSize(), read, never));
    EXPECT_EQ (read, large);

    int asked = 0;
    EXPECT_FALSE (SafeFileReader::readWholeFile (target, (juce::int64) large.getSize(), read, [&]
                                                 { return ++asked > 2; }));
    EXPECT_TRUE (read.isEmpty());
}
