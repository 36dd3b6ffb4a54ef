#pragma once

#include "TestHttpRequest.h"
#include "TestHttpResponse.h"

#include <functional>
#include <memory>
#include <vector>

//==============================================================================
/** An HTTPS server on 127.0.0.1 for tests, on a port of its own choosing,
    answering with handlers the test registers and recording every request.

    By default it presents the test CA's server certificate (from the folder
    in AURALIS_TEST_CA_DIR, which tests/support/with-test-ca.sh sets up and
    makes libcurl trust), so the product's verified TLS connections succeed.
    With Certificate::selfSigned it presents a certificate made at start that
    nothing trusts.

    @code
    TestHttpsServer server;
    server.on ("POST", "/status-check/v1.0", [] (const TestHttpRequest&)
               { return TestHttpResponse::json (R"({"status_code": 200})"); });
    server.serve ("GET", "/qr.png", TestHttpResponse::bytes (png, "image/png"));
    ASSERT_TRUE (server.start());
    ... server.urlFor ("/qr.png") ... server.getRequests() ...
    @endcode

    Unregistered paths get 404 with an empty body. Handlers run on the
    server's threads. Stalled requests and transfers are let go when the
    server stops, so a test never waits for them.
*/
class TestHttpsServer
{
public:
    enum class Certificate
    {
        testCa, // signed by the test CA: trusted inside with-test-ca.sh
        selfSigned // made at start, trusted by nobody
    };

    explicit TestHttpsServer (Certificate certificate = Certificate::testCa);
    ~TestHttpsServer();

    /** True when AURALIS_TEST_CA_DIR names a folder with the server's
        certificate and key; network tests skip otherwise. */
    static bool isAvailable();

    /** Why the network tests cannot run here. */
    static juce::String unavailableReason();

    //==============================================================================
    using Handler = std::function<TestHttpResponse (const TestHttpRequest&)>;

    /** Answers requests with this method ("GET", "POST") and path (without
        query, matched exactly). A later registration replaces an earlier one. */
    void on (const juce::String& method, const juce::String& path, Handler handler);

    /** Answers with a fixed response. */
    void serve (const juce::String& method, const juce::String& path, const TestHttpResponse& response);

    /** Takes such requests and sends nothing back, not even headers, until
        the server stops: a service that hangs. */
    void stall (const juce::String& method, const juce::String& path);

    /** For a handler that hangs in its own way: returns once the server
        stops. */
    void waitUntilStopped() const;

    //==============================================================================
    /** Binds an ephemeral port on 127.0.0.1 and starts serving; false when
        the server could not start. */
    bool start();

    /** Stops serving; also done by the destructor. */
    void stop();

    int getPort() const;

    /** "https://127.0.0.1:<port>" */
    juce::String getOrigin() const;

    /** The origin followed by a path (and query). */
    juce::String urlFor (const juce::String& pathAndQuery) const;

    //==============================================================================
    std::vector<TestHttpRequest> getRequests() const;

    /** Requests received for a path (any method). */
    int countRequests (const juce::String& path) const;

    /** The last request for a path; an empty record when there was none. */
    TestHttpRequest lastRequestFor (const juce::String& path) const;

    void clearRequests();

private:
    //==============================================================================
    struct Impl;
    std::unique_ptr<Impl> impl;

    JUCE_DECLARE_NON_COPYABLE (TestHttpsServer)
};
