#include "store/PresetStore.h"

#include <algorithm>
#include <iostream>

// Bank load and save with 1, 100 and 10,000 profiles, each profile holding
// every property a real one has. Load is a store built on the bank file (read,
// validated, parsed, HRTF files mirrored); save writes "Presets" and its
// backup, each through a flushed temporary file and a rename. Prints the
// times and how they grow; nothing is asserted.
//
//   auralis_store_bench [folder]   (default: a new folder in the temp folder;
//                                   give one on the disk the data folder uses)

namespace
{
double nowMs() { return juce::Time::getMillisecondCounterHiRes(); }

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    return values[values.size() / 2];
}

juce::ValueTree makeProfile (int index)
{
    const auto id = juce::String (index);
    juce::ValueTree preset ("preset");

    preset.setProperty ("profileName", "Listener " + id, nullptr);
    preset.setProperty ("localMachineId", "4f2a9c1e7b3d5a60", nullptr);
    preset.setProperty ("timestamp", "2026-12-09T10:00:00Z", nullptr);

    for (auto* key : { "hrtf_allowed", "hrtf_requested", "pull_allowed", "pull_requested" })
        preset.setProperty (key, 3, nullptr);

    preset.setProperty ("hrtf_status_code", 200, nullptr);
    preset.setProperty ("hrtf_return_code", 0, nullptr);
    preset.setProperty ("hrtf_message", "Your personalised HRTF is ready.", nullptr);
    preset.setProperty ("hrtf_id", "hrtf-" + id + "-6f1c2a9e", nullptr);
    preset.setProperty ("hrtf_url", "https://service.example/media/hrtf/hrtf-" + id + "-6f1c2a9e", nullptr);
    preset.setProperty ("img_id", "img-" + id + "-2", nullptr);
    preset.setProperty ("auralis_id", "aur-" + id, nullptr);
    preset.setProperty ("software_update_message", "A newer version is available.", nullptr);
    preset.setProperty ("release_notes", "Faster downloads and clearer messages.", nullptr);
    preset.setProperty ("download_url", "https://service.example/download/latest", nullptr);
    preset.setProperty ("latest_release_version", "0.0.11", nullptr);
    preset.setProperty ("software_update_status_code", 200, nullptr);
    preset.setProperty ("software_update_return_code", 0, nullptr);
    preset.setProperty ("force_update", false, nullptr);
    preset.setProperty ("auralis_update_message", "Up to date.", nullptr);
    preset.setProperty ("auralis_update_status_code", 200, nullptr);
    preset.setProperty ("auralis_update_return_code", 0, nullptr);
    return preset;
}

struct Result
{
    int profiles = 0;
    size_t bytes = 0;
    double loadMs = 0.0, saveMs = 0.0;
};

Result measure (const juce::File& folder, int profiles, int runs)
{
    folder.deleteRecursively();
    folder.createDirectory();

    juce::ValueTree bank ("bank");
    bank.setProperty ("lastSelectedPreset", 0, nullptr);

    for (int i = 0; i < profiles; ++i)
        bank.appendChild (makeProfile (i), nullptr);

    juce::MemoryOutputStream out;
    bank.writeToStream (out);
    const auto presets = folder.getChildFile (PresetStore::presetsFileName);
    presets.replaceWithData (out.getData(), out.getDataSize());
    folder.getChildFile (juce::String (PresetStore::presetsFileName) + PresetStore::backupSuffix).replaceWithData (out.getData(), out.getDataSize());

    std::vector<double> loads, saves;

    for (int run = 0; run < runs; ++run)
    {
        auto start = nowMs();
        PresetStore store (presets);
        loads.push_back (nowMs() - start);

        if (store.numProfiles() != profiles)
        {
            std::cerr << "The bank of " << profiles << " profiles loaded with " << store.numProfiles() << std::endl;
            std::exit (1);
        }

        bool failed = false;
        store.onSaveFailed = [&failed]
        { failed = true; };

        start = nowMs();
        store.save();
        saves.push_back (nowMs() - start);

        if (failed)
        {
            std::cerr << "Saving the bank of " << profiles << " profiles failed" << std::endl;
            std::exit (1);
        }
    }

    return { profiles, out.getDataSize(), median (loads), median (saves) };
}

juce::String fixed (double value, int decimals, int width) { return juce::String (value, decimals).paddedLeft (' ', width); }
}

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto base = argc > 1 ? juce::File (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]))
                               : juce::File::createTempFile ("auralis-store-bench");
    const auto folder = base.getChildFile ("Korvane");

    std::vector<Result> results;

    for (auto [profiles, runs] : { std::pair<int, int> { 1, 41 }, { 100, 41 }, { 10000, 11 } })
        results.push_back (measure (folder, profiles, runs));

    folder.deleteRecursively();

    if (argc <= 1)
        base.deleteRecursively();

    std::cout << "Bank load and save (median of runs; save = both files, flushed and renamed)\n"
              << "  profiles   bank bytes    load ms    save ms" << std::endl;

    for (auto& r : results)
        std::cout << juce::String (r.profiles).paddedLeft (' ', 10) << juce::String ((juce::int64) r.bytes).paddedLeft (' ', 13)
                  << fixed (r.loadMs, 3, 11) << fixed (r.saveMs, 3, 11) << std::endl;

    // Linear growth: the cost of each added profile stays the same from one
    // size to the next (fixed costs, such as flushing, only make the first
    // step look cheaper per profile).
    const auto perProfileUs = [] (const Result& from, const Result& to, double Result::*time)
    { return 1000.0 * (to.*time - from.*time) / (double) (to.profiles - from.profiles); };

    std::cout << "Cost per added profile (us), 1 -> 100 and 100 -> 10,000, and their ratio (1.0 = linear):" << std::endl;

    for (auto [name, time] : { std::pair<const char*, double Result::*> { "load", &Result::loadMs }, { "save", &Result::saveMs } })
    {
        const auto first = perProfileUs (results[0], results[1], time);
        const auto second = perProfileUs (results[1], results[2], time);
        std::cout << "  " << name << ":" << fixed (first, 2, 9) << fixed (second, 2, 9) << "   ratio " << juce::String (second / first, 2)
                  << "x   (10,000 vs 100 profiles: " << juce::String (results[2].*time / results[1].*time, 1) << "x the time)" << std::endl;
    }

    return 0;
}
