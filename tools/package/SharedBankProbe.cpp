#include "store/PresetStore.h"
#include "store/SafeFileWriter.h"

#include <iostream>

// Adds a profile to the bank in a data folder through the product's store,
// the way a status check and an HRTF pull save it, then loads the bank afresh
// and prints its profile names, one a line. Exits with 1 when a save failed
// or the profile or its HRTF file is missing afterwards.
//
//   auralis_shared_bank_probe DATA-FOLDER PROFILE-NAME HRTF-ID

int main (int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: auralis_shared_bank_probe DATA-FOLDER PROFILE-NAME HRTF-ID" << std::endl;
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const auto presets = folder.getChildFile (PresetStore::presetsFileName);
    const auto name = juce::String::fromUTF8 (argv[2]);
    const auto hrtfId = juce::String::fromUTF8 (argv[3]);
    const juce::MemoryBlock hrtfBytes (("HRTF data of " + name).toRawUTF8(), (size_t) ("HRTF data of " + name).getNumBytesAsUTF8());

    bool failed = false;

    {
        PresetStore store (presets);
        store.onSaveFailed = [&failed]
        { failed = true; };

        store.mergeStatusReply (name, juce::JSON::parse (R"({ "timestamp": "2026-12-09T10:00:00Z",
            "user_hrtf_info": { "hrtf_allowed": 3, "hrtf_requested": 1, "pull_allowed": 5, "pull_requested": 1,
                                "status_code": 200, "return_code": 0, "message": "ok" } })"));

        auto* entry = new juce::DynamicObject();
        entry->setProperty ("hrtf_id", hrtfId);
        entry->setProperty ("hrtf_url", "https://127.0.0.1/hrtf/" + hrtfId);
        entry->setProperty ("img_id", "img-1");
        entry->setProperty ("auralis_id", "aur-1");

        const auto hrtfFile = store.hrtfFileFor (hrtfId);

        if (! SafeFileWriter::replaceWithData (hrtfFile, hrtfBytes))
        {
            std::cerr << "Could not write the HRTF file " << hrtfFile.getFullPathName() << std::endl;
            failed = true;
        }

        store.updateHrtfIds (name, juce::var (entry));

        if (! store.backupHrtfFile (hrtfFile))
        {
            std::cerr << "Could not copy the HRTF file" << std::endl;
            failed = true;
        }
    }

    const PresetStore reloaded (presets);
    ProfileRecord record;
    const bool found = reloaded.findProfile (name, record);

    for (auto& profileName : reloaded.getProfileNames())
        std::cout << profileName << std::endl;

    juce::MemoryBlock onDisk;
    const bool hrtfWhole = found && reloaded.hrtfFileFor (record.hrtf_id).loadFileAsData (onDisk) && onDisk == hrtfBytes;

    if (failed || ! found || ! hrtfWhole)
    {
        std::cerr << "The profile " << name << " was not saved whole" << std::endl;
        return 1;
    }

    return 0;
}
