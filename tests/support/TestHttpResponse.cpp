#include "TestHttpResponse.h"

TestHttpResponse TestHttpResponse::json (const juce::String& text, int status)
{
    return TestHttpResponse::text (text, "application/json", status);
}

TestHttpResponse TestHttpResponse::text (const juce::String& text, const juce::String& contentType, int status)
{
    TestHttpResponse response;
    response.statusCode = status;
    response.contentType = contentType;
    response.body = std::make_shared<juce::MemoryBlock> (text.toRawUTF8(), text.getNumBytesAsUTF8());
    return response;
}

TestHttpResponse TestHttpResponse::bytes (const juce::MemoryBlock& data, const juce::String& contentType)
{
    return shared (std::make_shared<juce::MemoryBlock> (data), contentType);
}

TestHttpResponse TestHttpResponse::shared (std::shared_ptr<const juce::MemoryBlock> data, const juce::String& contentType)
{
    TestHttpResponse response;
    response.contentType = contentType;
    response.body = std::move (data);
    return response;
}

TestHttpResponse TestHttpResponse::redirect (const juce::String& location, int status)
{
    return TestHttpResponse::status (status).withHeader ("Location", location);
}

TestHttpResponse TestHttpResponse::status (int status)
{
    TestHttpResponse response;
    response.statusCode = status;
    response.contentType = "text/plain";
    return response;
}

TestHttpResponse TestHttpResponse::withChunkedBody() const
{
    auto copy = *this;
    copy.framing = Framing::chunked;
    return copy;
}

TestHttpResponse TestHttpResponse::withAnnouncedLength (juce::int64 length) const
{
    auto copy = *this;
    copy.framing = Framing::truncated;
    copy.announcedLength = length;
    return copy;
}

TestHttpResponse TestHttpResponse::withBodyThenStall (juce::int64 length) const
{
    auto copy = *this;
    copy.framing = Framing::stalled;
    copy.announcedLength = length;
    return copy;
}

TestHttpResponse TestHttpResponse::withBodyRepeatedTo (juce::int64 length) const
{
    jassert (body != nullptr && ! body->isEmpty());
    auto copy = *this;
    copy.framing = Framing::repeated;
    copy.announcedLength = length;
    return copy;
}

TestHttpResponse TestHttpResponse::withHeader (const juce::String& name, const juce::String& value) const
{
    auto copy = *this;
    copy.headers.set (name, value);
    return copy;
}

TestHttpResponse TestHttpResponse::withStatus (int newStatus) const
{
    auto copy = *this;
    copy.statusCode = newStatus;
    return copy;
}
