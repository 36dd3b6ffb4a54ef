#include "WorkerThread.h"

#include <juce_core/juce_core.h>

void runOnWorkerThread (const std::function<void()>& function)
{
    struct Worker : public juce::Thread
    {
        explicit Worker (const std::function<void()>& f)
            : juce::Thread ("Test worker")
            , job (f)
        {
        }

        void run() override { job(); }

        const std::function<void()>& job;
    };

    Worker worker (function);
    worker.startThread();
    worker.waitForThreadToExit (-1);
}
