#include "OnWorker.h"
#include "ServiceTestFixture.h"

#include "service/ServiceClient.h"
#include "support/PlainHttpListener.h"

namespace
{
juce::MemoryBlock hrtfBytes()
{
    juce::MemoryBlock block (30000);

    for (size_t i = 0; i < block.getSize(); ++i)
        block[i] = (char) ((i * 13 + 1) & 0xff);

    return block;
}

const juce::String replyText { R"({"status_code": 200, "message": "over tls"})" };
const std::vector<int> redirectStatuses { 301, 302, 303, 307, 308 };
} // namespace

//==============================================================================
class Redirects : public ServiceTestFixture
{
protected:
    void SetUp() override
    {
        ServiceTestFixture::SetUp();
        ASSERT_TRUE (plain.start());
    }

    /** The service's POST path "redirect/STATUS" answers STATUS with `location`. */
    void redirectPostsTo (int status, const juce::String& location)
    {
        server.serve ("POST", "/redirect/" + juce::String (status), TestHttpResponse::redirect (location, status));
    }

    PlainHttpListener plain;
};

//==============================================================================
TEST (RedirectAddresses, EveryHopIsAnHttpsAddress)
{
    const juce::String from { "https://service.example:8443/media/pictures/qr.png?size=2" };

    const std::vector<std::pair<juce::String, juce::String>> table {
        { "http://cdn.example/a.png", "https://cdn.example/a.png" },
        { "HTTP://cdn.example:81/a.png", "https://cdn.example:81/a.png" },
        { "https://cdn.example/a.png", "https://cdn.example/a.png" },
        { "  https://cdn.example/a.png  ", "https://cdn.example/a.png" },
        { "//cdn.example/b", "https://cdn.example/b" },
        { "/other/c.png", "https://service.example:8443/other/c.png" },
        { "d.png", "https://service.example:8443/media/pictures/d.png" },
        { "?size=4", "https://service.example:8443/media/pictures/qr.png?size=4" },
        { "ftp://files.example/a", "" },
        { "file:///etc/passwd", "" },
        { "javascript:alert(1)", "" },
        { "", "" },
        { "https://cdn.example/a b", "" },
        { "https://cdn.example/a\r\nSet-Cookie: x", "" },
    };

    for (const auto& [location, expected] : table)
        EXPECT_EQ (nextHopAddress (from, location), expected) << location;

    // Relative to a plain-http address: its hop is https too.
    EXPECT_EQ (nextHopAddress ("http://service.example/x/y", "z"), "https://service.example/x/z");
    EXPECT_EQ (nextHopAddress ("https://service.example", "z"), "https://service.example/z");
}

TEST_F (Redirects, NoDownloadReachesAPlainHttpAddressWhateverTheStatus)
{
    const auto bytes = hrtfBytes();
    server.serve ("GET", "/target", TestHttpResponse::bytes (bytes));
    startServer();

    for (auto status : redirectStatuses)
    {
        server.serve ("GET", "/to-plain/" + juce::String (status), TestHttpResponse::redirect (plain.urlFor ("/target"), status));
        server.serve ("GET", "/to-tls/" + juce::String (status), TestHttpResponse::redirect ("http://127.0.0.1:" + juce::String (server.getPort()) + "/target", status));
    }

    for (auto status : redirectStatuses)
    {
        SCOPED_TRACE (status);

        // To the plain listener: the hop is made over TLS, which it cannot
        // speak, so nothing arrives.
        int length = -1;
        EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor ("/to-plain/" + juce::String (status)), length).isEmpty());

        // To the TLS server under an http:// address: fetched over TLS.
        length = -1;
        server.clearRequests();
        EXPECT_EQ (OnWorker::fetchUrlBytes (server.urlFor ("/to-tls/" + juce::String (status)), length), bytes);
        EXPECT_EQ (length, (int) bytes.getSize());
        EXPECT_TRUE (server.lastRequestFor ("/target").overTls);
        EXPECT_EQ (server.lastRequestFor ("/target").method, "GET");
    }

    EXPECT_GE (plain.countConnections(), (int) redirectStatuses.size());
    EXPECT_EQ (plain.countClearTextRequests(), 0);
}

TEST_F (Redirects, NoPostReachesAPlainHttpAddressWhateverTheStatus)
{
    server.serve ("POST", "/target", TestHttpResponse::json (replyText));
    server.serve ("GET", "/target", TestHttpResponse::json (replyText));
    startServer();

    const juce::String body { R"({"client_key": "k"})" };

    for (auto status : redirectStatuses)
    {
        SCOPED_TRACE (status);

        redirectPostsTo (status, plain.urlFor ("/target"));
        EXPECT_TRUE (OnWorker::postJsonRequest ("redirect/" + juce::String (status), body).isVoid());

        redirectPostsTo (status, "http://127.0.0.1:" + juce::String (server.getPort()) + "/target");
        server.clearRequests();
        const auto reply = OnWorker::postJsonRequest ("redirect/" + juce::String (status), body);
        EXPECT_EQ (reply["message"].toString(), "over tls");

        // 307 and 308 keep the method and the body; the others go on with a GET.
        const auto request = server.lastRequestFor ("/target");
        EXPECT_TRUE (request.overTls);

        if (status == 307 || status == 308)
        {
            EXPECT_EQ (request.method, "POST");
            EXPECT_EQ (request.getBodyText(), body);
        }
        else
        {
            EXPECT_EQ (request.method, "GET");
            EXPECT_TRUE (request.body.isEmpty());
        }
    }

    EXPECT_GE (plain.countConnections(), (int) redirectStatuses.size());
    EXPECT_EQ (plain.countClearTextRequests(), 0);
}

TEST_F (Redirects, AtMostFiveAreFollowed)
{
    const auto bytes = hrtfBytes();
    server.serve ("GET", "/hop/0", TestHttpResponse::bytes (bytes));

    for (int hop = 1; hop <= 6; ++hop)
        server.serve ("GET", "/hop/" + juce::String (hop), TestHttpResponse::redirect ("/hop/" + juce::String (hop - 1), 302));

    startServer();

    int length = -1;
    EXPECT_EQ (OnWorker::fetchUrlBytes (server.urlFor ("/hop/5"), length), bytes);

    length = -1;
    EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor ("/hop/6"), length).isEmpty());
    EXPECT_EQ (server.countRequests ("/hop/0"), 1);

    // A redirect without a usable address leads nowhere.
    server.serve ("GET", "/nowhere", TestHttpResponse::status (302));
    server.serve ("GET", "/ftp", TestHttpResponse::redirect ("ftp://127.0.0.1/hrtf", 302));
    EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor ("/nowhere"), length).isEmpty());
    EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor ("/ftp"), length).isEmpty());
}
