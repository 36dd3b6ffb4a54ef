#pragma once

// What every fuzz target shares: a scratch data folder for the run, and the
// check that turns a broken promise into a finding.

#include <juce_core/juce_core.h>

namespace fuzz
{
/** The data folder of every run, in memory where the system offers it,
    removed when the fuzzer ends. */
struct ScratchFolder
{
    ScratchFolder()
    {
        const juce::File shm ("/dev/shm");
        const auto parent = shm.isDirectory() ? shm : juce::File::getSpecialLocation (juce::File::tempDirectory);
        folder = parent.getNonexistentChildFile ("auralis-fuzz", {}, false);
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File folder;
};

inline const juce::File& dataFolder()
{
    static const ScratchFolder scratch;
    return scratch.folder;
}

/** Stops the run with a finding when a promise does not hold. */
inline void check (bool condition)
{
    if (! condition)
        __builtin_trap();
}
} // namespace fuzz
