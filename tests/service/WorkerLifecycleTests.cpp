#include "ServiceTestFixture.h"

#include "service/StatusCheckThread.h"

//==============================================================================
class WorkerLifecycle : public ServiceTestFixture
{
protected:
    /** Replies after a pause, so that a run is still going when the test acts. */
    void serveSlowReply (int pauseMs)
    {
        server.on ("POST", "/" + Endpoints::statusCheck, [this, pauseMs] (const TestHttpRequest&)
                   {
                       juce::Thread::sleep (pauseMs);
                       ++repliesSent;
                       return TestHttpResponse::json (R"({"status_code": 200, "message": "done"})"); });
    }

    void countDeliveries (StatusCheckThread& worker)
    {
        worker.onResult = [this] (const juce::String&, int, int, const juce::String&)
        { ++deliveries; };
    }

    std::atomic<int> deliveries { 0 }, repliesSent { 0 };
};

TEST_F (WorkerLifecycle, WithoutOnResultTheJobRunsAndNothingIsDelivered)
{
    serveSlowReply (0);
    startServer();
    auto& presets = makeStore();

    StatusCheckThread worker;
    worker.profileName = "Ann";
    worker.store = &presets;
    worker.startThread();
    ASSERT_TRUE (worker.waitForThreadToExit (20000));

    // Installed after the run: a delivery would call it.
    countDeliveries (worker);
    runMessageLoopFor (300);
    EXPECT_EQ (deliveries, 0);

    ProfileRecord record;
    EXPECT_TRUE (presets.findProfile ("Ann", record));
}

TEST_F (WorkerLifecycle, StartingARunningWorkerDoesNothing)
{
    serveSlowReply (300);
    startServer();

    StatusCheckThread worker;
    countDeliveries (worker);

    EXPECT_TRUE (worker.startThread());
    EXPECT_FALSE (worker.startThread());
    ASSERT_TRUE (waitForDeliveries (deliveries));
    runMessageLoopFor (500);

    EXPECT_EQ (deliveries, 1);
    EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 1);
}

TEST_F (WorkerLifecycle, TheCallbackMayStartTheWorkerAgain)
{
    serveSlowReply (0);
    startServer();

    StatusCheckThread worker;
    std::vector<bool> restarted;
    worker.onResult = [&] (const juce::String&, int, int, const juce::String&)
    {
        if (++deliveries < 3)
            restarted.push_back (worker.startThread());
    };

    worker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries, 3));
    EXPECT_EQ (restarted, std::vector<bool> ({ true, true }));
    EXPECT_EQ (server.countRequests ("/" + Endpoints::statusCheck), 3);
}

TEST_F (WorkerLifecycle, DestructionWaitsForTheRunAndDropsItsDelivery)
{
    serveSlowReply (400);
    startServer();
    auto& presets = makeStore();

    auto worker = std::make_unique<StatusCheckThread>();
    worker->profileName = "Ann";
    worker->store = &presets;
    countDeliveries (*worker);
    worker->startThread();

    ASSERT_TRUE (runMessageLoopUntil ([&]
                                      { return server.countRequests ("/" + Endpoints::statusCheck) == 1; }));
    worker.reset();

    // The job finished, merge included, before the worker went away; its
    // pending delivery never reaches it.
    EXPECT_EQ (repliesSent, 1);
    ProfileRecord record;
    EXPECT_TRUE (presets.findProfile ("Ann", record));

    runMessageLoopFor (300);
    EXPECT_EQ (deliveries, 0);
}

TEST_F (WorkerLifecycle, ADeliveryPostedBeforeDestructionIsDropped)
{
    serveSlowReply (0);
    startServer();

    auto worker = std::make_unique<StatusCheckThread>();
    countDeliveries (*worker);
    worker->startThread();
    ASSERT_TRUE (worker->waitForThreadToExit (20000));

    // The delivery is queued and the message loop has not run it yet.
    worker.reset();
    runMessageLoopFor (300);
    EXPECT_EQ (deliveries, 0);
}
