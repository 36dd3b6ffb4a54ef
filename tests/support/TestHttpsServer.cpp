#include "TestHttpsServer.h"

#ifndef CPPHTTPLIB_OPENSSL_SUPPORT
    #define CPPHTTPLIB_OPENSSL_SUPPORT
#endif
#include <httplib.h>

#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

namespace
{
juce::File caDirectory()
{
    const auto* dir = std::getenv ("AURALIS_TEST_CA_DIR");
    return dir != nullptr && *dir != 0 ? juce::File (juce::String::fromUTF8 (dir)) : juce::File();
}

//==============================================================================
/** An EC key and a certificate for 127.0.0.1 signed by that key itself. */
struct SelfSignedCertificate
{
    SelfSignedCertificate()
    {
        key = EVP_EC_gen ("P-256");
        certificate = X509_new();

        if (key == nullptr || certificate == nullptr)
            return;

        X509_set_version (certificate, 2);
        ASN1_INTEGER_set (X509_get_serialNumber (certificate), (long) juce::Random::getSystemRandom().nextInt (1 << 30));
        X509_gmtime_adj (X509_getm_notBefore (certificate), -3600);
        X509_gmtime_adj (X509_getm_notAfter (certificate), 2 * 86400);
        X509_set_pubkey (certificate, key);

        auto* name = X509_get_subject_name (certificate);
        X509_NAME_add_entry_by_txt (name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*> ("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name (certificate, name);

        if (auto* altName = X509V3_EXT_conf_nid (nullptr, nullptr, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost"))
        {
            X509_add_ext (certificate, altName, -1);
            X509_EXTENSION_free (altName);
        }

        valid = X509_sign (certificate, key, EVP_sha256()) > 0;
    }

    ~SelfSignedCertificate()
    {
        X509_free (certificate);
        EVP_PKEY_free (key);
    }

    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    bool valid = false;
};

juce::String toJuce (const std::string& s) { return juce::String::fromUTF8 (s.data(), (int) s.size()); }
std::string toStd (const juce::String& s) { return s.toStdString(); }

constexpr size_t sliceSize = 256 * 1024;
}

//==============================================================================
struct TestHttpsServer::Impl
{
    explicit Impl (Certificate kind)
    {
        if (kind == Certificate::selfSigned)
        {
            SelfSignedCertificate selfSigned;

            if (selfSigned.valid)
                server = std::make_unique<httplib::SSLServer> (selfSigned.certificate, selfSigned.key);
        }
        else
        {
            const auto dir = caDirectory();
            const auto certificate = dir.getChildFile ("server.pem").getFullPathName();
            const auto key = dir.getChildFile ("server.key").getFullPathName();
            server = std::make_unique<httplib::SSLServer> (certificate.toRawUTF8(), key.toRawUTF8());
        }

        if (server == nullptr)
            return;

        server->set_keep_alive_timeout (1);
        server->set_tcp_nodelay (true);

        const auto handler = [this] (const httplib::Request& request, httplib::Response& response)
        { handle (request, response); };

        server->Get (".*", handler);
        server->Post (".*", handler);
        server->Put (".*", handler);
        server->Delete (".*", handler);
    }

    ~Impl() { stop(); }

    bool start()
    {
        if (server == nullptr || ! server->is_valid())
            return false;

        if (listener.joinable())
            return true;

        stalls.reset();

        port = server->bind_to_any_port ("127.0.0.1");

        if (port <= 0)
            return false;

        listener = std::thread ([this]
                                { server->listen_after_bind(); });

        for (int i = 0; i < 500 && ! server->is_running(); ++i)
            std::this_thread::sleep_for (std::chrono::milliseconds (10));

        return server->is_running();
    }

    void stop()
    {
        stalls.signal();

        if (server != nullptr)
            server->stop();

        if (listener.joinable())
            listener.join();
    }

    //==============================================================================
    void handle (const httplib::Request& request, httplib::Response& response)
    {
        TestHttpRequest record;
        record.method = toJuce (request.method);
        record.path = toJuce (request.path);

        const auto target = toJuce (request.target);

        if (target.containsChar ('?'))
            record.query = target.fromFirstOccurrenceOf ("?", false, false);

        for (auto& header : request.headers)
            if (! record.headers.containsKey (toJuce (header.first)))
                record.headers.set (toJuce (header.first), toJuce (header.second));

        record.body.append (request.body.data(), request.body.size());
        record.overTls = request.ssl != nullptr;

        Handler routeHandler;

        {
            const std::lock_guard<std::mutex> lock (mutex);
            requests.push_back (record);

            const auto route = routes.find (record.method + " " + record.path);

            if (route != routes.end())
                routeHandler = route->second;
        }

        send (routeHandler != nullptr ? routeHandler (record) : TestHttpResponse::status (404), response);
    }

    /** Waits until the server stops; stalled requests and transfers wait here. */
    void waitWhileStalled() const { stalls.wait (-1); }

    void send (const TestHttpResponse& reply, httplib::Response& response)
    {
        response.status = reply.statusCode;

        for (int i = 0; i < reply.headers.size(); ++i)
            response.set_header (toStd (reply.headers.getAllKeys()[i]), toStd (reply.headers.getAllValues()[i]));

        const auto body = reply.body != nullptr ? reply.body : std::make_shared<juce::MemoryBlock>();
        const auto size = body->getSize();
        const auto type = toStd (reply.contentType);

        const auto writeSlice = [body, size] (size_t offset, httplib::DataSink& sink)
        {
            const auto count = std::min (sliceSize, size - offset);
            return sink.write (static_cast<const char*> (body->getData()) + offset, count);
        };

        switch (reply.framing)
        {
            case TestHttpResponse::Framing::contentLength:
                if (size == 0)
                    response.set_content ("", type);
                else
                    response.set_content_provider (size, type, [writeSlice] (size_t offset, size_t, httplib::DataSink& sink)
                                                   { return writeSlice (offset, sink); });
                break;

            case TestHttpResponse::Framing::chunked:
            {
                // Framed here rather than by httplib's chunked provider, which
                // would gzip text and JSON for clients that accept gzip: the
                // client must receive exactly the test's bytes.
                response.set_header ("Transfer-Encoding", "chunked");
                auto position = std::make_shared<size_t> (0);

                response.set_content_provider (type, [body, size, position] (size_t, httplib::DataSink& sink)
                                               {
                                                   const auto count = std::min (sliceSize, size - *position);
                                                   const auto header = juce::String::toHexString ((juce::int64) count) + "\r\n";
                                                   auto ok = sink.write (header.toRawUTF8(), header.getNumBytesAsUTF8());

                                                   if (count > 0)
                                                       ok = ok && sink.write (static_cast<const char*> (body->getData()) + *position, count);

                                                   ok = ok && sink.write ("\r\n", 2);
                                                   *position += count;

                                                   if (count == 0)
                                                       sink.done();

                                                   return ok; });
                break;
            }

            case TestHttpResponse::Framing::repeated:
                response.set_content_provider ((size_t) reply.announcedLength, type, [body, size] (size_t offset, size_t remaining, httplib::DataSink& sink)
                                               {
                                                   const auto start = offset % size;
                                                   const auto count = std::min ({ sliceSize, size - start, remaining });
                                                   return sink.write (static_cast<const char*> (body->getData()) + start, count); });
                break;

            case TestHttpResponse::Framing::stalled:
                response.set_content_provider ((size_t) reply.announcedLength, type, [this, writeSlice, size] (size_t offset, size_t, httplib::DataSink& sink)
                                               {
                                                   if (offset < size)
                                                       return writeSlice (offset, sink);

                                                   waitWhileStalled();
                                                   return false; });
                break;

            case TestHttpResponse::Framing::truncated:
                // Returning false once the body is out makes the server drop
                // the connection short of the announced length.
                response.set_content_provider ((size_t) reply.announcedLength, type, [writeSlice, size] (size_t offset, size_t, httplib::DataSink& sink)
                                               { return offset < size && writeSlice (offset, sink); });
                break;
        }
    }

    //==============================================================================
    std::unique_ptr<httplib::SSLServer> server;
    std::thread listener;
    int port = 0;

    mutable juce::WaitableEvent stalls { true };

    mutable std::mutex mutex;
    std::map<juce::String, Handler> routes;
    std::vector<TestHttpRequest> requests;
};

//==============================================================================
TestHttpsServer::TestHttpsServer (Certificate certificate)
    : impl (std::make_unique<Impl> (certificate))
{
}

TestHttpsServer::~TestHttpsServer() = default;

bool TestHttpsServer::isAvailable()
{
    const auto dir = caDirectory();
    return dir != juce::File() && dir.getChildFile ("server.pem").existsAsFile() && dir.getChildFile ("server.key").existsAsFile();
}

juce::String TestHttpsServer::unavailableReason()
{
    return "AURALIS_TEST_CA_DIR is not set: run the network tests inside tests/support/with-test-ca.sh";
}

void TestHttpsServer::on (const juce::String& method, const juce::String& path, Handler handler)
{
    const std::lock_guard<std::mutex> lock (impl->mutex);
    impl->routes[method.toUpperCase() + " " + path] = std::move (handler);
}

void TestHttpsServer::serve (const juce::String& method, const juce::String& path, const TestHttpResponse& response)
{
    on (method, path, [response] (const TestHttpRequest&)
        { return response; });
}

void TestHttpsServer::stall (const juce::String& method, const juce::String& path)
{
    on (method, path, [this] (const TestHttpRequest&)
        {
            waitUntilStopped();
            return TestHttpResponse::status (503); });
}

void TestHttpsServer::waitUntilStopped() const
{
    impl->waitWhileStalled();
}

bool TestHttpsServer::start() { return impl->start(); }
void TestHttpsServer::stop() { impl->stop(); }
int TestHttpsServer::getPort() const { return impl->port; }

juce::String TestHttpsServer::getOrigin() const
{
    return "https://127.0.0.1:" + juce::String (impl->port);
}

juce::String TestHttpsServer::urlFor (const juce::String& pathAndQuery) const
{
    return getOrigin() + pathAndQuery;
}

std::vector<TestHttpRequest> TestHttpsServer::getRequests() const
{
    const std::lock_guard<std::mutex> lock (impl->mutex);
    return impl->requests;
}

int TestHttpsServer::countRequests (const juce::String& path) const
{
    const std::lock_guard<std::mutex> lock (impl->mutex);
    return (int) std::count_if (impl->requests.begin(), impl->requests.end(), [&] (const TestHttpRequest& r)
                                { return r.path == path; });
}

TestHttpRequest TestHttpsServer::lastRequestFor (const juce::String& path) const
{
    const std::lock_guard<std::mutex> lock (impl->mutex);

    for (auto it = impl->requests.rbegin(); it != impl->requests.rend(); ++it)
        if (it->path == path)
            return *it;

    return {};
}

void TestHttpsServer::clearRequests()
{
    const std::lock_guard<std::mutex> lock (impl->mutex);
    impl->requests.clear();
}
