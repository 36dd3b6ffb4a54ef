#pragma once

#include <juce_core/juce_core.h>

#include <memory>

//==============================================================================
/** What a TestHttpsServer sends back: a status, a content type, extra
    headers and a body, framed in one of three ways. Build one with the
    static makers and adjust it with the with... calls.
*/
struct TestHttpResponse
{
    enum class Framing
    {
        /** The body with a correct Content-Length. */
        contentLength,

        /** Chunked transfer encoding, no Content-Length. */
        chunked,

        /** Announces announcedLength, sends the body, then cuts the connection. */
        truncated,

        /** Announces announcedLength and sends the body over and over up to it. */
        repeated,

        /** Announces announcedLength, sends the body, then sends nothing more
            until the server stops: a transfer that hangs half-way. */
        stalled
    };

    //==============================================================================
    static TestHttpResponse json (const juce::String& text, int status = 200);
    static TestHttpResponse text (const juce::String& text, const juce::String& contentType = "text/plain", int status = 200);
    static TestHttpResponse bytes (const juce::MemoryBlock& data, const juce::String& contentType = "application/octet-stream");

    /** Serves a large block without copying it for every request. */
    static TestHttpResponse shared (std::shared_ptr<const juce::MemoryBlock> data, const juce::String& contentType = "application/octet-stream");

    static TestHttpResponse redirect (const juce::String& location, int status = 302);

    /** An empty body with the status. */
    static TestHttpResponse status (int status);

    //==============================================================================
    /** The same body without Content-Length, in chunks. */
    TestHttpResponse withChunkedBody() const;

    /** Announces `length` bytes, sends the body, then closes the connection:
        a length lie when the body is shorter. */
    TestHttpResponse withAnnouncedLength (juce::int64 length) const;

    /** Announces `length` bytes, sends the body, then hangs until the server
        stops. */
    TestHttpResponse withBodyThenStall (juce::int64 length) const;

    /** Announces `length` bytes and sends the (non-empty) body repeatedly
        until that many have gone: a huge resource without a huge block. */
    TestHttpResponse withBodyRepeatedTo (juce::int64 length) const;

    TestHttpResponse withHeader (const juce::String& name, const juce::String& value) const;
    TestHttpResponse withStatus (int newStatus) const;

    //==============================================================================
    int statusCode = 200;
    juce::String contentType { "application/json" };
    juce::StringPairArray headers;
    std::shared_ptr<const juce::MemoryBlock> body = std::make_shared<juce::MemoryBlock>();
    Framing framing = Framing::contentLength;
    juce::int64 announcedLength = -1;
};
