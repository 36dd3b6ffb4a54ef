#include "ServiceTestFixture.h"

#include "service/BackgroundStatusCheckThread.h"
#include "service/DownloadImageThread.h"
#include "service/PullClientThread.h"
#include "service/QrCodeGeneratorThread.h"
#include "service/SoftwareCheckThread.h"
#include "service/StatusCheckThread.h"

#include <map>

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

TEST_F (WorkerLifecycle, EveryWorkerDestroyedAsItsThreadStartsEndsTheRunWhileItIsWhole)
{
    // A listener that never answers: each run is still under way, or its
    // thread only starting, when its worker is destroyed. The run must end
    // before the worker's own part is gone (the sanitizers and the
    // assertions of a Debug build see a run that outlives it).
    auto& presets = makeStore();
    juce::StreamingSocket silent;
    ASSERT_TRUE (silent.createListener (0, "127.0.0.1"));
    ServiceConstants::setServiceBaseAddressForTesting ("https://127.0.0.1:" + juce::String (silent.getBoundPort()));
    const auto url = ServiceConstants::serviceBaseAddress() + "/picture";

    const auto startAndDestroy = [] (auto worker, auto fillInputs)
    {
        fillInputs (*worker);
        worker->startThread();
        worker.reset();
    };
    const auto nameAndStore = [&] (auto& worker)
    {
        worker.profileName = "Ann";
        worker.store = &presets;
    };
    const auto nothing = [] (auto&) {};

    for (int round = 0; round < 3; ++round)
    {
        startAndDestroy (std::make_unique<StatusCheckThread>(), nameAndStore);
        startAndDestroy (std::make_unique<BackgroundStatusCheckThread>(), nameAndStore);
        startAndDestroy (std::make_unique<PullClientThread>(), nameAndStore);
        startAndDestroy (std::make_unique<SoftwareCheckThread>(), nothing);
        startAndDestroy (std::make_unique<QrCodeGeneratorThread>(), nothing);
        startAndDestroy (std::make_unique<DownloadImageThread>(), [&] (auto& worker)
                         { worker.url = url; });
    }
}

//==============================================================================
namespace
{
/** Every file in a folder with its bytes. */
std::map<juce::String, juce::MemoryBlock> folderContents (const juce::File& folder)
{
    std::map<juce::String, juce::MemoryBlock> contents;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no))
        file.loadFileAsData (contents[file.getRelativePathFrom (folder)]);

    return contents;
}
}

TEST_F (WorkerLifecycle, AStoppedWorkerEndsAtOnceDeliversNothingAndLeavesTheFolderAsItWas)
{
    // The service hangs for as long as the test runs; the workers' own
    // time-outs (30 s for a download, 60 s for a request) would hold them
    // that long. A stop must end each wait within a few seconds.
    constexpr int stopBoundMs = 5000;
    const auto hrtf = []
    { juce::MemoryBlock b (4096); b.fillWith (7); return b; }();

    server.stall ("POST", "/" + Endpoints::statusCheck);
    server.serve ("GET", "/hrtf/new", TestHttpResponse::bytes (hrtf).withBodyThenStall (2 * (juce::int64) hrtf.getSize()));

    // Two connections without a length, then one that never answers: the
    // download's loop of connections is waiting when the stop comes.
    std::atomic<int> pictureRequests { 0 };
    server.on ("GET", "/picture", [&] (const TestHttpRequest&)
               {
                   if (++pictureRequests <= 2)
                       return TestHttpResponse::bytes (hrtf).withChunkedBody();

                   server.waitUntilStopped();
                   return TestHttpResponse::status (503); });
    // The first connection announces no length, the second one trickles: a
    // stop must reach the stream the download reads, not only the first.
    std::atomic<int> trickleRequests { 0 };
    server.on ("GET", "/trickle", [&] (const TestHttpRequest&)
               {
                   if (++trickleRequests == 1)
                       return TestHttpResponse::bytes (hrtf).withChunkedBody();

                   return TestHttpResponse::bytes (hrtf).withBodyThenStall (4 * (juce::int64) hrtf.getSize()); });
    startServer();
    server.serve ("POST", "/" + Endpoints::pullClient, TestHttpResponse::json (R"({"status_code": 200, "urls": [{"hrtf_id": "hrtf_new", "hrtf_url": ")" + server.urlFor ("/hrtf/new") + R"(", "img_id": "img_2", "auralis_id": "a2"}]})"));

    auto& presets = makeStore();
    presets.mergeStatusReply ("Ann", juce::JSON::parse (R"({"status_code": 200, "user_hrtf_info": {"hrtf_requested": 1}})"));
    const auto before = folderContents (dataFolder);
    ASSERT_EQ (before.size(), 2u);

    // Waits until the worker waits on the service, stops it (by default as
    // its owner's quit does) and tells whether it ended within the bound.
    const auto stopsInTime = [&] (juce::Thread& worker, std::function<bool()> waiting, std::function<void()> stop = {})
    {
        EXPECT_TRUE (runMessageLoopUntil (waiting));
        runMessageLoopFor (200);
        EXPECT_TRUE (worker.isThreadRunning());

        const auto started = juce::Time::getMillisecondCounterHiRes();

        if (stop)
        {
            stop();
        }
        else
        {
            worker.signalThreadShouldExit();
            worker.waitForThreadToExit (stopBoundMs);
        }

        return juce::Time::getMillisecondCounterHiRes() - started < stopBoundMs;
    };

    {
        SCOPED_TRACE ("a service that takes the connection and never answers the handshake");
        juce::StreamingSocket silent;
        ASSERT_TRUE (silent.createListener (0, "127.0.0.1"));
        ServiceConstants::setServiceBaseAddressForTesting ("https://127.0.0.1:" + juce::String (silent.getBoundPort()));

        StatusCheckThread worker;
        worker.profileName = "Bob";
        worker.store = &presets;
        countDeliveries (worker);
        worker.startThread();
        EXPECT_TRUE (stopsInTime (worker, []
                                  { return true; }));
        ServiceConstants::setServiceBaseAddressForTesting (server.getOrigin());
    }

    {
        SCOPED_TRACE ("a request whose answer never comes");
        StatusCheckThread worker;
        worker.profileName = "Bob";
        worker.store = &presets;
        countDeliveries (worker);
        worker.startThread();
        EXPECT_TRUE (stopsInTime (worker, [&]
                                  { return server.countRequests ("/" + Endpoints::statusCheck) == 1; }));
    }

    {
        SCOPED_TRACE ("an HRTF download that stops half-way");
        PullClientThread worker;
        worker.profileName = "Ann";
        worker.store = &presets;
        worker.onResult = [this] (const juce::String&, int, int, const juce::String&, bool, bool)
        { ++deliveries; };
        worker.startThread();
        EXPECT_TRUE (stopsInTime (worker, [&]
                                  { return server.countRequests ("/hrtf/new") == 1; }));
    }

    {
        SCOPED_TRACE ("a picture whose third connection never answers, its worker destroyed");
        auto worker = std::make_unique<DownloadImageThread>();
        worker->url = server.urlFor ("/picture");
        worker->onResult = [this] (bool, const juce::Image&)
        { ++deliveries; };
        worker->startThread();
        const auto waiting = [&]
        { return pictureRequests == 3; };
        EXPECT_TRUE (stopsInTime (*worker, waiting, [&]
                                  { worker.reset(); }));
    }

    {
        SCOPED_TRACE ("a picture whose second connection trickles, its worker destroyed");
        auto worker = std::make_unique<DownloadImageThread>();
        worker->url = server.urlFor ("/trickle");
        worker->onResult = [this] (bool, const juce::Image&)
        { ++deliveries; };
        worker->startThread();
        const auto waiting = [&]
        { return trickleRequests == 2; };
        EXPECT_TRUE (stopsInTime (*worker, waiting, [&]
                                  { worker.reset(); }));
    }

    runMessageLoopFor (300);
    EXPECT_EQ (deliveries, 0);
    EXPECT_EQ (server.countRequests ("/" + Endpoints::pullClient), 1);
    EXPECT_TRUE (folderContents (dataFolder) == before);
}
