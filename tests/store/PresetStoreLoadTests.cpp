#include "StoreTestFolder.h"
#include "store/HrtfFiles.h"
#include "store/SafeFileWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace
{
const juce::MemoryBlock hrtfBytes ("SOFA-hrtf-data", 14);
}

//==============================================================================
TEST (PresetStoreLoad, WithoutAnyFileTheBankIsEmptyAndNothingIsWritten)
{
    StoreTestFolder t;
    PresetStore store (t.presets());

    EXPECT_EQ (store.numProfiles(), 0);
    EXPECT_TRUE (store.getProfileNames().isEmpty());

    store.setLastSelectedPreset (0);
    store.save();
    EXPECT_FALSE (t.presets().exists());
    EXPECT_FALSE (t.backup().exists());
}

TEST (PresetStoreLoad, ABankThatCannotBeUsedFallsBackToTheBackup)
{
    const auto backupBank = StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann", "Bob" }));
    const auto validBank = StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Carl" }));

    const std::function<void (const juce::File&)> damages[] = {
        [] (const juce::File&) {}, // missing
        [] (const juce::File& f)
        { f.createDirectory(); }, // not a file
        [] (const juce::File& f)
        { StoreTestFolder::write (f, juce::MemoryBlock ("\x01\x02garbage", 9)); },
        [] (const juce::File& f)
        { StoreTestFolder::write (f, {}); },
        [&] (const juce::File& f)
        { StoreTestFolder::write (f, juce::MemoryBlock (validBank.getData(), validBank.getSize() - 1)); },
        [] (const juce::File& f)
        { StoreTestFolder::write (f, StoreTestFolder::bytesOf (juce::ValueTree ("bank"))); }, // no presets
        [] (const juce::File& f)
        { StoreTestFolder::write (f, StoreTestFolder::bytesOf (juce::ValueTree ("notabank"))); },
        [] (const juce::File& f)
        {
            // Too large to be read whole: a sparse file beyond the limit.
            StoreTestFolder::write (f, juce::MemoryBlock ("x", 1));
            ASSERT_EQ (::truncate (f.getFullPathName().toRawUTF8(), PresetStore::maxBankFileBytes + 1), 0);
        },
    };

    for (auto& damage : damages)
    {
        StoreTestFolder t;
        StoreTestFolder::write (t.backup(), backupBank);
        damage (t.presets());

        PresetStore store (t.presets());
        EXPECT_EQ (store.getProfileNames(), juce::StringArray ({ "Ann", "Bob" }));
    }
}

TEST (PresetStoreLoad, WhenNeitherFileIsUsableTheBankInMemoryStays)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", juce::JSON::parse ("{\"timestamp\": 1}"));

    StoreTestFolder::write (t.presets(), juce::MemoryBlock ("junk", 4));
    StoreTestFolder::write (t.backup(), juce::MemoryBlock ("junk", 4));
    store.load();

    EXPECT_EQ (store.getProfileNames(), juce::StringArray ("Ann"));
}

//==============================================================================
TEST (PresetStoreLoad, MirrorsEachHrtfFileAndItsCopyBothWays)
{
    StoreTestFolder t;
    StoreTestFolder::write (t.presets(), StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann" }, "hrtf-1")));
    const auto file = t.dataFolder().getChildFile ("hrtf-1");
    const auto copy = t.dataFolder().getChildFile ("hrtf-1_");

    // A file without a copy gets one.
    StoreTestFolder::write (file, hrtfBytes);
    PresetStore store (t.presets());
    EXPECT_EQ (StoreTestFolder::bytesOf (copy), hrtfBytes);

    // A deleted or emptied file comes back from its copy.
    file.deleteFile();
    store.load();
    EXPECT_EQ (StoreTestFolder::bytesOf (file), hrtfBytes);

    StoreTestFolder::write (file, {});
    store.load();
    EXPECT_EQ (StoreTestFolder::bytesOf (file), hrtfBytes);

    // A changed file refreshes its copy.
    const juce::MemoryBlock newer ("newer-data", 10);
    StoreTestFolder::write (file, newer);
    store.load();
    EXPECT_EQ (StoreTestFolder::bytesOf (copy), newer);
}

TEST (PresetStoreLoad, IdsThatAreNotPlainFileNamesNeverReachOutsideTheDataFolder)
{
    StoreTestFolder t;
    const auto outside = t.root.getChildFile ("outside");
    StoreTestFolder::write (outside.getSiblingFile ("outside_"), hrtfBytes);

    auto bank = StoreTestFolder::makeBank ({ "Ann" }, "../../../outside");
    bank.appendChild (StoreTestFolder::makeBank ({ "Bob" }, "presets").getChild (0).createCopy(), nullptr);
    const auto bankBytes = StoreTestFolder::bytesOf (bank);
    StoreTestFolder::write (t.presets(), bankBytes);
    StoreTestFolder::write (t.backup(), StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Old" })));

    PresetStore store (t.presets());

    EXPECT_EQ (store.numProfiles(), 2);
    EXPECT_FALSE (outside.exists());
    EXPECT_EQ (StoreTestFolder::bytesOf (t.presets()), bankBytes);
    EXPECT_EQ (t.dataFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 2);
}

TEST (PresetStoreLoad, HrtfFileForRefusesEveryIdThatIsNotAPlainFileName)
{
    StoreTestFolder t;
    PresetStore store (t.presets());

    for (auto* id : { "", ".", "..", "../x", "a/b", "a\\b", "C:x", "x:stream", "tab\there", "bell\x07", "del\x7f", "Presets.", "name ", ".hidden", "NUL", "con", "com1.txt", "LPT9", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b" })
    {
        EXPECT_FALSE (HrtfFiles::isSafeId (id)) << id;
        EXPECT_EQ (store.hrtfFileFor (id), juce::File()) << id;
    }

    // Plain file names, but the bank's and its backup's, in any letter case.
    for (auto* id : { "Presets", "Presets_", "presets", "PRESETS_" })
    {
        EXPECT_TRUE (HrtfFiles::isSafeId (id)) << id;
        EXPECT_EQ (store.hrtfFileFor (id), juce::File()) << id;
    }

    EXPECT_EQ (store.hrtfFileFor (juce::String::repeatedString ("a", PresetStore::maxHrtfIdBytes + 1)), juce::File());
    EXPECT_FALSE (store.backupHrtfFile (juce::File()));
    EXPECT_FALSE (store.backupHrtfFile (t.presets()));
    EXPECT_FALSE (store.backupHrtfFile (t.root.getChildFile ("elsewhere")));

    for (auto* id : { "hrtf-1", "6f1c2a9e_3", "~home", "Presets-2", u8"\u00DCn\u00EFcode ID", "CONSOLE", "x.sofa" })
    {
        const auto text = juce::String::fromUTF8 (id);
        EXPECT_TRUE (HrtfFiles::isSafeId (text)) << id;

        const auto file = store.hrtfFileFor (text);
        EXPECT_EQ (file.getParentDirectory(), t.dataFolder()) << id;
        EXPECT_EQ (file.getFileName(), text) << id;
    }
}

TEST (PresetStoreLoad, BackupHrtfFileCopiesTheFileExactly)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    const auto file = store.hrtfFileFor ("hrtf-2");

    EXPECT_FALSE (store.backupHrtfFile (file)); // missing
    StoreTestFolder::write (file, {});
    EXPECT_FALSE (store.backupHrtfFile (file)); // empty

    StoreTestFolder::write (file, hrtfBytes);
    EXPECT_TRUE (store.backupHrtfFile (file));
    EXPECT_EQ (StoreTestFolder::bytesOf (t.dataFolder().getChildFile ("hrtf-2_")), hrtfBytes);
}

TEST (PresetStoreLoad, CopiesOnAStoppedWorkerAreNotMadeAndLeaveNothingHalfWritten)
{
    StoreTestFolder t;
    StoreTestFolder::write (t.presets(), StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann" }, "hrtf-1")));
    const auto file = t.dataFolder().getChildFile ("hrtf-1");
    const auto copy = t.dataFolder().getChildFile ("hrtf-1_");

    // Larger than one block, so that a copy would look at the stop on the way.
    juce::MemoryBlock large (2 * SafeFileWriter::stopCheckBlockBytes + 5);
    large.fillWith (3);
    StoreTestFolder::write (file, large);

    PresetStore store (t.presets());
    ASSERT_EQ (StoreTestFolder::bytesOf (copy), large);
    copy.deleteFile();

    /** A worker asked to stop as soon as it runs: as at a quit. */
    struct StoppedWorker : public juce::Thread
    {
        explicit StoppedWorker (std::function<void()> jobToRun)
            : juce::Thread ("stopped worker")
            , job (std::move (jobToRun))
        {
        }

        void run() override
        {
            signalThreadShouldExit();
            job();
        }

        std::function<void()> job;
    };

    bool backedUp = true;
    StoppedWorker worker ([&]
                          {
                              store.load();
                              backedUp = store.backupHrtfFile (file); });
    worker.startThread();
    ASSERT_TRUE (worker.waitForThreadToExit (10000));

    EXPECT_FALSE (backedUp);
    EXPECT_FALSE (copy.exists());
    EXPECT_EQ (StoreTestFolder::bytesOf (file), large);
    EXPECT_EQ (t.dataFolder().findChildFiles (juce::File::findFiles, false, "*.tmp").size(), 0);

    // A missing file is not brought back from its copy by a stopped load either.
    store.backupHrtfFile (file);
    file.deleteFile();
    StoppedWorker loader ([&]
                          { store.load(); });
    loader.startThread();
    ASSERT_TRUE (loader.waitForThreadToExit (10000));
    EXPECT_FALSE (file.exists());

    store.load();
    EXPECT_EQ (StoreTestFolder::bytesOf (file), large);
}
