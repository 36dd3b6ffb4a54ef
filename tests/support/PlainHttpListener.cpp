#include "PlainHttpListener.h"

const char* const PlainHttpListener::body = R"({"status_code": 200, "message": "sent in clear text"})";

namespace
{
constexpr int readWaitMs = 2000;

bool looksLikeClearTextRequest (const juce::MemoryBlock& received)
{
    const auto text = received.toString();

    for (const auto* method : { "GET ", "POST ", "PUT ", "HEAD " })
        if (text.startsWith (method))
            return true;

    return false;
}
} // namespace

PlainHttpListener::PlainHttpListener()
    : juce::Thread ("plain http listener")
{
}

PlainHttpListener::~PlainHttpListener()
{
    signalThreadShouldExit();
    socket.close();
    stopThread (4000);
}

bool PlainHttpListener::start()
{
    if (! socket.createListener (0, "127.0.0.1"))
        return false;

    startThread();
    return true;
}

int PlainHttpListener::getPort() const
{
    return socket.getBoundPort();
}

juce::String PlainHttpListener::urlFor (const juce::String& path) const
{
    return "http://127.0.0.1:" + juce::String (getPort()) + path;
}

void PlainHttpListener::run()
{
    while (! threadShouldExit())
    {
        std::unique_ptr<juce::StreamingSocket> connection (socket.waitForNextConnection());

        if (connection == nullptr)
            break;

        ++connections;
        serve (*connection);
    }
}

void PlainHttpListener::serve (juce::StreamingSocket& connection)
{
    juce::MemoryBlock received;
    char buffer[4096];

    // Until the end of a request's header, or whatever a client that does not
    // speak plain HTTP sends first.
    while (! received.toString().contains ("\r\n\r\n") && received.getSize() < 65536)
    {
        if (connection.waitUntilReady (true, readWaitMs) != 1)
            break;

        const auto numRead = connection.read (buffer, (int) sizeof (buffer), false);

        if (numRead <= 0)
            break;

        received.append (buffer, (size_t) numRead);

        if (! looksLikeClearTextRequest (received) && received.getSize() >= 5)
            break;
    }

    if (! looksLikeClearTextRequest (received))
        return;

    ++clearTextRequests;

    const juce::String reply = juce::String ("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: ")
                               + juce::String ((int) strlen (body)) + "\r\n\r\n" + body;
    connection.write (reply.toRawUTF8(), (int) reply.getNumBytesAsUTF8());
}
