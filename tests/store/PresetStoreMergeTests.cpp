#include "StoreTestFolder.h"
#include "WatchedPresetStore.h"

#include "store/DeviceIdentifier.h"

#include <gtest/gtest.h>

namespace
{
juce::var json (const char* text) { return juce::JSON::parse (juce::String::fromUTF8 (text)); }

const char* const fullReply = R"({
        "timestamp": "2024-05-01 10:00:00",
        "user_hrtf_info": { "hrtf_allowed": 3, "hrtf_requested": 1, "pull_allowed": 5, "pull_requested": 2,
                            "status_code": 200, "return_code": 0, "message": "ok" },
        "software_update_info": { "status_code": 200, "return_code": 1, "message": "new version",
                                  "download_url": "https://dl.example/a", "release_notes": "notes",
                                  "latest_release_version": "0.0.11", "force_update": 1 },
        "auralis_update_info": { "status_code": 200, "return_code": 0, "message": "hrtf ready" } })";

ProfileRecord recordOf (const PresetStore& store, const juce::String& name)
{
    ProfileRecord record;
    EXPECT_TRUE (store.findProfile (name, record));
    return record;
}

void expectFilesIdentical (const StoreTestFolder& t)
{
    EXPECT_TRUE (t.presets().existsAsFile());
    EXPECT_EQ (StoreTestFolder::bytesOf (t.presets()), StoreTestFolder::bytesOf (t.backup()));
}
}

//==============================================================================
TEST (PresetStoreMerge, ANewNameAppendsOnePresetWithNameAndDeviceSetLast)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", json (fullReply));
    store.mergeStatusReply ("Bob", json (fullReply));
    store.mergeStatusReply ("Ann", json (R"({ "timestamp": 7 })"));

    EXPECT_EQ (store.getProfileNames(), juce::StringArray ({ "Ann", "Bob" }));
    expectFilesIdentical (t);

    const auto preset = store.presetAt (1);
    const auto n = preset.getNumProperties();
    EXPECT_EQ (preset.getPropertyName (n - 2).toString(), "profileName");
    EXPECT_EQ (preset.getPropertyName (n - 1).toString(), "localMachineId");
    EXPECT_EQ (preset["localMachineId"].toString(), localDeviceIdentifier());

    // Values keep the reply's types.
    EXPECT_TRUE (preset["hrtf_allowed"].isInt());
    EXPECT_TRUE (store.presetAt (0)["timestamp"].isInt());

    const auto ann = recordOf (store, "Ann");
    EXPECT_EQ (ann.timestamp, "7");
    EXPECT_EQ (ann.hrtf_allowed, 3);
    EXPECT_EQ (ann.pull_requested, 2);
    EXPECT_EQ (ann.hrtf_message, "ok");
    EXPECT_EQ (ann.download_url, "https://dl.example/a");
    EXPECT_EQ (ann.latest_release_version, "0.0.11");
    EXPECT_EQ (ann.software_update_return_code, 1);
    EXPECT_TRUE (ann.force_update);
    EXPECT_EQ (ann.auralis_update_message, "hrtf ready");

    PresetStore reread (t.presets());
    EXPECT_EQ (reread.getProfileNames(), store.getProfileNames());
}

TEST (PresetStoreMerge, SectionsAreCopiedOnlyForQualifyingStatusCodes)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", json (fullReply));

    store.mergeStatusReply ("Ann", json (R"({ "software_update_info": { "status_code": 404, "message": "none" },
                                              "auralis_update_info": { "status_code": 401, "message": "none" } })"));
    auto ann = recordOf (store, "Ann");
    EXPECT_EQ (ann.software_update_message, "new version");
    EXPECT_EQ (ann.software_update_status_code, 200);
    EXPECT_EQ (ann.auralis_update_message, "hrtf ready");
    EXPECT_EQ (ann.hrtf_allowed, 3); // no user_hrtf_info: untouched
    EXPECT_EQ (ann.timestamp, ""); // top-level timestamp always copied

    // 403 copies, and members absent from a present object become empty.
    store.mergeStatusReply ("Ann", json (R"({ "software_update_info": { "status_code": 403, "return_code": 1,
                                              "download_url": "https://dl.example/b" },
                                              "user_hrtf_info": { "hrtf_allowed": 4 } })"));
    ann = recordOf (store, "Ann");
    EXPECT_EQ (ann.software_update_status_code, 403);
    EXPECT_EQ (ann.download_url, "https://dl.example/b");
    EXPECT_EQ (ann.release_notes, "");
    EXPECT_FALSE (ann.force_update);
    EXPECT_EQ (ann.hrtf_allowed, 4);
    EXPECT_EQ (ann.hrtf_requested, 0);
    EXPECT_EQ (ann.hrtf_message, "");
    EXPECT_EQ (ann.auralis_update_message, "hrtf ready");
    expectFilesIdentical (t);
}

TEST (PresetStoreMerge, ForceUpdateIsTrueOnlyForOne)
{
    StoreTestFolder t;
    PresetStore store (t.presets());

    const std::pair<const char*, bool> cases[] = { { R"("force_update": 1)", true },
                                                   { R"("force_update": 2)", false },
                                                   { R"("force_update": 0)", false },
                                                   { R"("force_update": "1")", true },
                                                   { R"("other": 1)", false } };

    for (auto& [member, expected] : cases)
    {
        const auto reply = juce::String (R"({ "software_update_info": { "status_code": 200, )") + member + "} }";
        store.mergeStatusReply ("Ann", juce::JSON::parse (reply));
        EXPECT_EQ (recordOf (store, "Ann").force_update, expected) << member;
    }
}

TEST (PresetStoreMerge, RepliesThatAreNotObjectsOrLackANameChangeNothing)
{
    StoreTestFolder t;
    PresetStore store (t.presets());

    store.mergeStatusReply ("Ann", juce::var());
    store.mergeStatusReply ("Ann", json ("[1, 2]"));
    store.mergeStatusReply ("Ann", json ("\"text\""));
    store.mergeStatusReply ("", json (fullReply));

    EXPECT_EQ (store.numProfiles(), 0);
    EXPECT_FALSE (t.dataFolder().exists());
}

TEST (PresetStoreMerge, NestedOrOversizedValuesAreStoredEmptySoTheBankStaysReadable)
{
    StoreTestFolder t;
    PresetStore store (t.presets());

    const auto deep = juce::String::repeatedString ("[", 500) + juce::String::repeatedString ("]", 500);
    const auto huge = juce::String::repeatedString ("x", PresetStore::maxStoredTextBytes + 1);
    store.mergeStatusReply ("Ann", juce::JSON::parse (R"({ "timestamp": )" + deep + R"(, "user_hrtf_info": { "message": ")" + huge + R"(", "hrtf_allowed": { "a": 1 }, "pull_allowed": 1e999 } })"));

    PresetStore reread (t.presets());
    ASSERT_EQ (reread.numProfiles(), 1);
    const auto ann = recordOf (reread, "Ann");
    EXPECT_EQ (ann.timestamp, "");
    EXPECT_EQ (ann.hrtf_message, "");
    EXPECT_EQ (ann.hrtf_allowed, 0);
    EXPECT_EQ (ann.pull_allowed, std::numeric_limits<int>::max());
}

//==============================================================================
TEST (PresetStoreHrtfIds, ANewIdIsRecordedAndSavedTheSameIdChangesNothing)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", json (fullReply));

    const auto entry = json (R"({ "hrtf_id": "h-1", "hrtf_url": "https://cdn.example/h-1", "img_id": "img_1", "auralis_id": "a-1" })");
    EXPECT_TRUE (store.updateHrtfIds ("Ann", entry));

    auto ann = recordOf (store, "Ann");
    EXPECT_EQ (ann.hrtf_id, "h-1");
    EXPECT_EQ (ann.hrtf_url, "https://cdn.example/h-1");
    EXPECT_EQ (ann.img_id, "img_1");
    EXPECT_EQ (ann.auralis_id, "a-1");
    expectFilesIdentical (t);

    const juce::Time longAgo (2001, 0, 1, 0, 0);
    t.presets().setLastModificationTime (longAgo);
    const auto bytes = StoreTestFolder::bytesOf (t.presets());

    EXPECT_FALSE (store.updateHrtfIds ("Ann", json (R"({ "hrtf_id": "h-1", "hrtf_url": "https://other" })")));
    EXPECT_EQ (t.presets().getLastModificationTime(), longAgo);
    EXPECT_EQ (StoreTestFolder::bytesOf (t.presets()), bytes);
    EXPECT_EQ (recordOf (store, "Ann").hrtf_url, "https://cdn.example/h-1");

    // Ids that could not name a file are never recorded.
    EXPECT_FALSE (store.updateHrtfIds ("Ann", json (R"({ "hrtf_id": "../h-2" })")));
    EXPECT_FALSE (store.updateHrtfIds ("Ann", json (R"({ "hrtf_id": "" })")));
    EXPECT_FALSE (store.updateHrtfIds ("Ann", json ("[]")));
    EXPECT_EQ (recordOf (store, "Ann").hrtf_id, "h-1");
}

//==============================================================================
TEST (PresetStoreRemove, RemovingTheLastProfileDeletesBothBankFilesButKeepsHrtfFiles)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", json (fullReply));
    store.mergeStatusReply ("Bob", json (fullReply));
    StoreTestFolder::write (store.hrtfFileFor ("h-1"), juce::MemoryBlock ("data", 4));
    StoreTestFolder::write (store.hrtfFileFor ("h-1_"), juce::MemoryBlock ("data", 4));

    store.removeProfile ("Carl");
    store.removeProfile ("Ann");
    EXPECT_EQ (store.getProfileNames(), juce::StringArray ("Bob"));
    expectFilesIdentical (t);

    store.removeProfile ("Bob");
    EXPECT_EQ (store.numProfiles(), 0);
    EXPECT_FALSE (t.presets().exists());
    EXPECT_FALSE (t.backup().exists());
    EXPECT_TRUE (store.hrtfFileFor ("h-1").existsAsFile());
    EXPECT_TRUE (store.hrtfFileFor ("h-1_").existsAsFile());
}

TEST (PresetStoreSave, SelectionReachesDiskWithTheNextSaveAndFailuresAreReported)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    int failures = 0;
    store.onSaveFailed = [&failures]
    { ++failures; };

    store.mergeStatusReply ("Ann", json (fullReply));
    store.mergeStatusReply ("Bob", json (fullReply));
    store.setLastSelectedPreset (1);
    EXPECT_EQ (PresetStore (t.presets()).getLastSelectedPreset(), 0);

    store.save();
    expectFilesIdentical (t);
    EXPECT_EQ (PresetStore (t.presets()).getLastSelectedPreset(), 1);
    EXPECT_EQ (failures, 0);

    // "Presets" cannot be replaced while a folder stands in its place.
    t.presets().deleteFile();
    t.presets().createDirectory();
    store.mergeStatusReply ("Carl", json (fullReply));
    EXPECT_EQ (failures, 1);
    EXPECT_EQ (store.numProfiles(), 3);
}

//==============================================================================
TEST (PresetStoreThreads, AWorkerMergingWhileTheMessageThreadReadsIsSafe)
{
    StoreTestFolder t;
    PresetStore store (t.presets());
    store.mergeStatusReply ("Ann", json (fullReply));
    std::atomic<bool> done { false };

    std::thread worker ([&]
                        {
                            for (int i = 0; i < 100; ++i)
                            {
                                store.mergeStatusReply ("P" + juce::String (i % 10), json (fullReply));
                                store.updateHrtfIds ("Ann", juce::JSON::parse (R"({ "hrtf_id": "h-)" + juce::String (i) + "\" }"));
                                if (i % 25 == 0)
                                    store.load();
                            }
                            done = true; });

    while (! done)
    {
        ProfileRecord record;
        const auto names = store.getProfileNames();
        EXPECT_TRUE (store.findProfile ("Ann", record));

        for (int i = 0; i < store.numProfiles(); ++i)
            store.fillRecord (store.presetAt (i), record);

        store.setLastSelectedPreset (names.size() - 1);
    }

    worker.join();
    EXPECT_EQ (store.numProfiles(), 11);
    EXPECT_EQ (recordOf (store, "Ann").hrtf_id, "h-99");
    expectFilesIdentical (t);
}

TEST (PresetStoreThreads, ReadersNeverWaitForAWriteAndWritesLandOneAtATimeInOrder)
{
    StoreTestFolder t;
    WatchedPresetStore store (t.presets());
    store.mergeStatusReply ("Ann", json (fullReply));

    // The next write is held inside itself (its bytes taken, its files not
    // yet written) until the test lets it go, or until a generous time-out
    // should a reader be stuck behind it.
    juce::WaitableEvent entered, release;
    std::atomic<int> writes { 0 };
    std::atomic<bool> heldUntilTimeOut { false };
    store.onBankWrite = [&]
    {
        if (++writes == 1)
        {
            entered.signal();
            heldUntilTimeOut = ! release.wait (20000);
        }
    };

    std::thread first ([&]
                       { store.mergeStatusReply ("Bob", json (fullReply)); });
    ASSERT_TRUE (entered.wait (20000));

    // The reads return while the write is held, and already see the merge.
    ProfileRecord record;
    EXPECT_TRUE (store.findProfile ("Bob", record));
    EXPECT_EQ (store.getProfileNames(), juce::StringArray ({ "Ann", "Bob" }));

    // A second writer waits for the first, then writes the newer bank.
    std::atomic<bool> secondDone { false };
    std::thread second ([&]
                        {
                            store.updateHrtfIds ("Bob", json (R"({ "hrtf_id": "h-bob" })"));
                            secondDone = true; });
    juce::Thread::sleep (200);
    EXPECT_FALSE (secondDone);

    release.signal();
    first.join();
    second.join();
    EXPECT_FALSE (heldUntilTimeOut);

    const PresetStore fromDisk (t.presets());
    EXPECT_EQ (fromDisk.getProfileNames(), juce::StringArray ({ "Ann", "Bob" }));
    EXPECT_EQ (recordOf (fromDisk, "Bob").hrtf_id, "h-bob");
    expectFilesIdentical (t);
}
