#include "common/ThreadContracts.h"
#include "support/WorkerThread.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

// A call on the wrong thread fails the test that makes it, whichever thread
// it is made on.
TEST (ThreadContracts, ACallOnTheWrongThreadFailsTheTest)
{
#if ! JUCE_DEBUG
    GTEST_SKIP() << "assertions are checked in Debug builds";
#endif

    EXPECT_NONFATAL_FAILURE ({ AURALIS_ASSERT_WORKER_THREAD }, "assertion failed in ThreadContractsTests.cpp");
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS (runOnWorkerThread ([]
                                                               { JUCE_ASSERT_MESSAGE_THREAD }),
                                            "assertion failed in ThreadContractsTests.cpp");

    runOnWorkerThread ([]
                       { AURALIS_ASSERT_WORKER_THREAD });
    JUCE_ASSERT_MESSAGE_THREAD
}
