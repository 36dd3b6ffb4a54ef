#pragma once

#include <juce_core/juce_core.h>

#include <atomic>

//==============================================================================
/** A plain-HTTP listener on 127.0.0.1, on a port of its own choosing: the
    place a redirect to an "http://" address would lead. It records every
    connection and whether what arrived on it was an HTTP request in clear
    text; such a request is answered with a small body, so a client that did
    speak clear text would receive something. Anything else (a TLS
    handshake) is only recorded, and the connection closed.
*/
class PlainHttpListener : private juce::Thread
{
public:
    PlainHttpListener();
    ~PlainHttpListener() override;

    bool start();
    int getPort() const;

    /** "http://127.0.0.1:<port>" followed by the path. */
    juce::String urlFor (const juce::String& path) const;

    int countConnections() const { return connections; }
    int countClearTextRequests() const { return clearTextRequests; }

    /** What a clear-text request is answered with. */
    static const char* const body;

private:
    //==============================================================================
    void run() override;
    void serve (juce::StreamingSocket& connection);

    juce::StreamingSocket socket;
    std::atomic<int> connections { 0 }, clearTextRequests { 0 };

    JUCE_DECLARE_NON_COPYABLE (PlainHttpListener)
};
