#pragma once

// Included before everything in the fuzz build: a framework assertion stops
// the run, so that damaged bytes reaching the framework's reader are found
// even when they do no visible harm.
#define JUCE_LOG_CURRENT_ASSERTION __builtin_trap();
