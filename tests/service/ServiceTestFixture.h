#pragma once

#include "service/ServiceConstants.h"
#include "store/WatchedPresetStore.h"
#include "support/MessageLoop.h"
#include "support/SkipOrFail.h"
#include "support/TestHttpsServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>

//==============================================================================
/** A test against an HTTPS server of its own on 127.0.0.1, to which the
    service address points for the test's duration. Tests register their
    handlers, then call startServer(). Skips when the test CA is not set up, and
    fails then under CI.
*/
class ServiceTestFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! TestHttpsServer::isAvailable())
            SKIP_OR_FAIL_UNDER_CI (TestHttpsServer::unavailableReason());

        previousAddress = ServiceConstants::serviceBaseAddress();
        dataFolder = juce::File::createTempFile ("auralis-service-test");
        ASSERT_TRUE (dataFolder.createDirectory());
    }

    void TearDown() override
    {
        server.stop();

        if (previousAddress.isNotEmpty())
            ServiceConstants::setServiceBaseAddressForTesting (previousAddress);

        store.reset();
        dataFolder.deleteRecursively();
    }

    /** A store on "Presets" in the test's own data folder, whose writes a
        test can follow. */
    PresetStore& makeStore()
    {
        store = std::make_unique<WatchedPresetStore> (dataFolder.getChildFile ("Presets"));
        return *store;
    }

    void startServer()
    {
        ASSERT_TRUE (server.start());
        ServiceConstants::setServiceBaseAddressForTesting (server.getOrigin());
    }

    /** Serves a JSON reply on a service endpoint ("status-check/v1.0" ...). */
    void serveReply (const juce::String& endpoint, const juce::String& json, int httpStatus = 200)
    {
        server.serve ("POST", "/" + endpoint, TestHttpResponse::json (json, httpStatus));
    }

    /** Serves the replies in turn, one per request; the last one repeats. */
    void serveReplies (const juce::String& endpoint, std::vector<juce::String> replies)
    {
        auto queue = std::make_shared<std::deque<juce::String>> (replies.begin(), replies.end());
        auto mutex = std::make_shared<std::mutex>();

        server.on ("POST", "/" + endpoint, [queue, mutex] (const TestHttpRequest&)
                   {
                       const std::lock_guard<std::mutex> lock (*mutex);
                       const auto reply = queue->front();

                       if (queue->size() > 1)
                           queue->pop_front();

                       return TestHttpResponse::json (reply); });
    }

    /** Waits, pumping the message loop, until `count` reaches the number. */
    static bool waitForDeliveries (const std::atomic<int>& count, int expected = 1)
    {
        return runMessageLoopUntil ([&]
                                    { return count.load() >= expected; });
    }

    TestHttpsServer server;
    juce::String previousAddress;
    juce::File dataFolder;
    std::unique_ptr<WatchedPresetStore> store;
};

//==============================================================================
/** The service's endpoint paths as the server sees them. */
namespace Endpoints
{
inline const juce::String statusCheck { "status-check/v1.0" };
inline const juce::String pullClient { "pull-client/v1.1" };
inline const juce::String qrCode { "qr-code-generator/v1.0" };
}
