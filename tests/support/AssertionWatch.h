#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/*  Every assertion that fails while a test runs (the framework's and ours,
    the thread contracts among them) fails the test, on whichever thread it
    fired. A test that calls the framework in a way known to assert says so
    with a ScopedExpectedAssertion.
*/
namespace AssertionWatch
{
/** Installs the watch for the test executable's whole run. */
void install();

/** Lets assertions at "file.cpp:line" pass while it exists. */
class ScopedExpectedAssertion
{
public:
    explicit ScopedExpectedAssertion (const juce::String& fileAndLine);
    ~ScopedExpectedAssertion();

private:
    juce::String fileAndLine;

    JUCE_DECLARE_NON_COPYABLE (ScopedExpectedAssertion)
};
}
