#include "AssertionWatch.h"

#include <gtest/gtest.h>

#include <iostream>

namespace
{
//==============================================================================
// The framework writes a failed assertion to the current logger (the build
// logs assertions in Debug) as "JUCE Assertion failure in FILE:LINE".
const juce::String assertionPrefix { "JUCE Assertion failure in " };

class AssertionLog : public juce::Logger
{
public:
    void logMessage (const juce::String& message) override
    {
        if (! message.startsWith (assertionPrefix))
        {
            std::cerr << message << std::endl;
            return;
        }

        const auto where = message.fromFirstOccurrenceOf (assertionPrefix, false, false);

        {
            const juce::ScopedLock sl (lock);

            if (expected.contains (where))
                return;
        }

        // The test framework takes failures from any thread.
        ADD_FAILURE() << "assertion failed in " << where;
    }

    juce::CriticalSection lock;
    juce::StringArray expected;
};

AssertionLog& log()
{
    static AssertionLog instance;
    return instance;
}

}

//==============================================================================
void AssertionWatch::install()
{
    juce::Logger::setCurrentLogger (&log());
}

AssertionWatch::ScopedExpectedAssertion::ScopedExpectedAssertion (const juce::String& fileAndLineToLetPass)
    : fileAndLine (fileAndLineToLetPass)
{
    const juce::ScopedLock sl (log().lock);
    log().expected.add (fileAndLine);
}

AssertionWatch::ScopedExpectedAssertion::~ScopedExpectedAssertion()
{
    const juce::ScopedLock sl (log().lock);
    log().expected.removeString (fileAndLine);
}
