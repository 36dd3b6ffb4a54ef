#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** One request as a TestHttpsServer received it. */
struct TestHttpRequest
{
    juce::String method;
    juce::String path; // without the query
    juce::String query; // the raw text after "?", empty when there was none
    juce::StringPairArray headers; // names compared without case
    juce::MemoryBlock body;
    bool overTls = false; // true when the request arrived over a TLS session

    juce::String getBodyText() const { return body.toString(); }
    juce::String getHeader (const juce::String& name) const { return headers[name]; }
};
