#pragma once

#include "NetworkStop.h"
#include "ReplyHeader.h"
#include "RequestSections.h"
#include "ServiceConstants.h"

#include <juce_core/juce_core.h>

//==============================================================================
/*  The service client's blocking operations. Each call blocks its thread for
    the whole exchange, so they run only on worker threads, never on the
    message thread. They keep no state of their own and may run on several
    threads at once.

    A worker passes its NetworkStop to the calls that wait on the network:
    once the worker is asked to stop, a call under way ends within about a
    second and gives what a call without a reply gives (a void var, an empty
    block), and later calls give up at once.
*/

/** The request envelope with the given optional sections, as the multi-line
    JSON text the service receives. */
juce::String writeRequestEnvelope (const RequestSections& sections);

/** POSTs a JSON text to the service address with the path replaced by
    `path`, and returns the parsed reply. Redirects are followed over https
    only (as by fetchUrlBytes). A reply object without
    "status_code" gets the HTTP status. Returns a void var when there is no
    usable reply: no connection, a body parseReply refuses, or a stop. */
juce::var postJsonRequest (const juce::String& path, const juce::String& body, NetworkStop* stop = nullptr);

/** Reads a reply body as the service sends it: JSON text in UTF-8 (or
    UTF-16 with a byte-order mark). A reply object without "status_code" gets
    `httpStatus`. Returns a void var for a body that is not JSON, larger than
    ServiceConstants::maxReplyBytes, nested deeper than
    ServiceConstants::maxReplyNestingDepth, or that makeNumbersSafeToParse
    refuses; numbers the framework's parser would misread are read through
    their rewritten form. */
juce::var parseReply (const juce::MemoryBlock& bytes, int httpStatus);

/** Builds the envelope and posts it to endpointPath followed by the client
    name. */
juce::var sendServiceRequest (const juce::String& endpointPath, const RequestSections& sections, NetworkStop* stop = nullptr);

/** Reads "exec_id", "status_code", "return_code" and "message" into `out` and
    returns the reply's object; returns nullptr and leaves `out` untouched when
    the reply is not an object. */
juce::DynamicObject* readReplyHeader (const juce::var& reply, ReplyHeader& out);

/** Downloads a whole resource by address. An "http://" address is fetched
    over https, and so is every redirect. While the server announces no
    length, up to five connections are opened, one after the other, and the
    last is read. `contentLength` receives the announced length, or -1.
    Returns an empty block when no connection opens, when the server answers
    with other than a success status (2xx) after its redirects, when the
    address is not an http or https address, when the resource is larger
    than `maxBytes` (at most ServiceConstants::maxDownloadBytes), or when a
    stop was asked for; returns whatever arrived when a transfer breaks off. */
juce::MemoryBlock fetchUrlBytes (juce::String url,
                                 int& contentLength,
                                 NetworkStop* stop = nullptr,
                                 juce::int64 maxBytes = ServiceConstants::maxDownloadBytes);

/** The address with an "http" scheme (in any letter case) made "https";
    an https address as it is; anything else gives an empty string. */
juce::String withSecureScheme (const juce::String& address);

/** Where a redirect from `currentAddress` with this Location leads: an
    address of its own, or one relative to the current one (from its origin,
    or its folder). Always an https address: an http one becomes https, and a
    Location with another scheme, a blank or a line break gives an empty
    string. */
juce::String nextHopAddress (const juce::String& currentAddress, const juce::String& location);

/** True when the server announced a length and exactly that many bytes
    arrived. */
bool isCompleteDownload (const juce::MemoryBlock& bytes, int announcedLength);

/** Downloads a picture with up to `maxAttempts` attempts, stopping after the
    first complete one or a stop. `bytes` receives the last attempt's block;
    returns true when that attempt was complete. */
bool fetchWithAttempts (const juce::String& url,
                        int maxAttempts,
                        juce::MemoryBlock& bytes,
                        NetworkStop* stop = nullptr,
                        juce::int64 maxBytes = ServiceConstants::maxDownloadBytes);

/** True when the JSON text opens more than `maxDepth` nested arrays or
    objects, counting brackets outside strings as the framework's parser
    lexes them. Runs in linear time without recursion. */
bool isNestedDeeperThan (const juce::String& jsonText, int maxDepth);

/** Gives in `safeText` the JSON text with every number that the framework's
    parser would overflow on or misread (an integer beyond 64 bits, an
    exponent beyond its 32-bit sum or outside the range it judges correctly,
    more digits than it keeps) written again in a form it reads without
    either, as a double: its value to 18 significant digits, infinity or zero
    beyond a double's range (JsonNumberRewriter says exactly what); integers
    within 64 bits stay as they are. Returns false for a text that cannot be valid JSON and would be
    misread: a minus sign followed by anything but a digit, a number followed
    straight away by a sign, a point, an exponent mark or a character beyond
    ASCII, or a number that needs rewriting but is not written as JSON writes
    numbers. Looks only outside
    strings; runs in linear time. */
bool makeNumbersSafeToParse (const juce::String& jsonText, juce::String& safeText);
