#pragma once

#include <juce_core/juce_core.h>
#include <gtest/gtest.h>

/** True under CI (CI=true): there a test that cannot run where it is fails
    instead of skipping, so that a run with part of the suite skipped is never
    taken for a green one. */
inline bool testsMustRunHere()
{
    return juce::SystemStats::getEnvironmentVariable ("CI", {}).equalsIgnoreCase ("true");
}

/** Leaves a test that cannot run here: skipped with the reason, or failed with
    it under CI. */
#define SKIP_OR_FAIL_UNDER_CI(reason) \
    do                                \
    {                                 \
        if (testsMustRunHere())       \
            FAIL() << (reason);       \
                                      \
        GTEST_SKIP() << (reason);     \
    } while (false)
