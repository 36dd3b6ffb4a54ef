#pragma once

#include "service/ServiceConstants.h"
#include "support/MessageLoop.h"
#include "support/TestHttpsServer.h"

#include <gtest/gtest.h>

//==============================================================================
/** A test against an HTTPS server of its own on 127.0.0.1, to which the
    service address points for the test's duration. Tests register their
    handlers, then call startServer(). Skips when the test CA is not set up.
*/
class ServiceTestFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! TestHttpsServer::isAvailable())
            GTEST_SKIP() << TestHttpsServer::unavailableReason();

        previousAddress = ServiceConstants::serviceBaseAddress();
    }

    void TearDown() override
    {
        server.stop();

        if (previousAddress.isNotEmpty())
            ServiceConstants::setServiceBaseAddressForTesting (previousAddress);
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

    TestHttpsServer server;
    juce::String previousAddress;
};

//==============================================================================
/** The service's endpoint paths as the server sees them. */
namespace Endpoints
{
inline const juce::String statusCheck { "status-check/v1.0" };
inline const juce::String pullClient { "pull-client/v1.1" };
inline const juce::String qrCode { "qr-code-generator/v1.0" };
}
