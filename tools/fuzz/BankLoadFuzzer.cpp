// Feeds arbitrary bytes to the store as its bank file, the way a damaged
// "Presets" reaches it at start-up: the store loads it (validator, framework
// reader, HRTF mirroring), every profile is read into a record, and a bank
// that was accepted is saved and loaded again. Any crash, hang, sanitizer
// report or framework assertion is a finding; so is an accepted bank that
// cannot be written back, or a file appearing in the data folder.

#include "FuzzSupport.h"
#include "store/PresetStore.h"

#include <cstdint>

namespace
{
using fuzz::check;
using fuzz::dataFolder;

juce::StringArray readEveryProfile (PresetStore& store)
{
    ProfileRecord record;
    const auto names = store.getProfileNames();
    check (names.size() == store.numProfiles());

    for (int i = 0; i < store.numProfiles(); ++i)
    {
        store.fillRecord (store.presetAt (i), record);
        check (record.profileName == names[i]);

        if (names[i].isNotEmpty())
            check (store.findProfile (names[i], record));

        const auto hrtf = store.hrtfFileFor (record.hrtf_id);
        check (hrtf == juce::File() || hrtf.getParentDirectory() == dataFolder());
    }

    store.getLastSelectedPreset();
    return names;
}
}

// No framework assertion is expected while a bank is read.
void auralisFuzzFrameworkAssertion (const char*, int)
{
    __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const auto presets = dataFolder().getChildFile (PresetStore::presetsFileName);
    const auto backup = presets.getSiblingFile (juce::String (PresetStore::presetsFileName) + PresetStore::backupSuffix);
    backup.deleteFile();
    presets.replaceWithData (data, size);

    PresetStore store (presets);
    bool saveFailed = false;
    store.onSaveFailed = [&saveFailed]
    { saveFailed = true; };

    const auto names = readEveryProfile (store);

    if (store.numProfiles() > 0)
    {
        // Whatever the store accepted, it can write back and read again.
        store.save();
        check (! saveFailed);
        check (presets.existsAsFile() && backup.existsAsFile());

        PresetStore reread (presets);
        check (readEveryProfile (reread) == names);
    }

    // Nothing but the bank and its backup ever appears in the data folder.
    check (dataFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories) <= 2);
    return 0;
}
