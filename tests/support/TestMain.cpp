#include "AssertionWatch.h"
#include "WindowManagerAtoms.h"
#include "XErrorHandling.h"

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

// Every test runs with JUCE initialised and the message manager owned by the
// main thread, which is the message thread.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    ensureWindowManagerAtoms();
    ignoreXErrorsAsTheProgramDoes();
    juce::ScopedJuceInitialiser_GUI juce;
    AssertionWatch::install();
    const auto result = RUN_ALL_TESTS();
    juce::Logger::setCurrentLogger (nullptr);
    return result;
}
