#include "ServiceClient.h"

#include "JsonNumberRewriter.h"
#include "ServiceConstants.h"
#include "common/ThreadContracts.h"
#include "store/DeviceIdentifier.h"
#include "store/VarConversions.h"

#include <limits>

namespace
{
//==============================================================================
/** Reads a stream to its end into `out`, refusing more than `limit` bytes.
    Returns false, with `out` emptied, when the stream announces or delivers
    more. Reads straight into the block, which is sized once when the length
    is announced. */
bool readWithLimit (juce::InputStream& in, juce::int64 limit, juce::MemoryBlock& out)
{
    out.reset();

    const auto announced = in.getTotalLength();

    if (announced > limit)
        return false;

    // One byte of room beyond the announced length lets the last read
    // confirm the end without growing the block. Each read asks for all the
    // room there is: the framework's stream then hands over its whole buffer
    // at once instead of shifting what is left down after every small read.
    constexpr juce::int64 firstBlockWithoutLength = 64 * 1024;
    constexpr juce::int64 largestRead = std::numeric_limits<int>::max();

    auto capacity = juce::jmin (limit + 1, announced > 0 ? announced + 1 : firstBlockWithoutLength);
    out.setSize ((size_t) capacity);
    juce::int64 used = 0;

    for (;;)
    {
        if (used == capacity)
        {
            if (capacity > limit)
                break;

            capacity = juce::jmin (limit + 1, capacity * 2);
            out.setSize ((size_t) capacity);
        }

        const auto wanted = (int) juce::jmin (largestRead, capacity - used);
        const auto numRead = in.read (static_cast<char*> (out.getData()) + used, wanted);

        if (numRead <= 0)
            break;

        used += numRead;
    }

    if (used > limit)
    {
        out.reset();
        return false;
    }

    out.setSize ((size_t) used);
    return true;
}

/** The extra headers of a request with the connection header added, where
    there is one. */
juce::String withConnectionHeader (const juce::String& headers)
{
    if (ServiceConstants::connectionHeader.isEmpty() || headers.isEmpty())
        return headers + ServiceConstants::connectionHeader;

    return headers + "\n" + ServiceConstants::connectionHeader;
}

//==============================================================================
/** A connected web stream, registered with a worker's stop for as long as it
    lives, so that another thread can cancel its connect and its reads. */
class StoppableStream
{
public:
    StoppableStream (const juce::URL& url, bool post, NetworkStop* stop)
        : stream (url, post)
        , registration (stop, stream)
    {
    }

    juce::WebInputStream stream;

private:
    // Declared after the stream: the registration ends before the stream goes.
    NetworkStop::ScopedStream registration;
};

/** Opens one connection as juce::URL::createInputStream does, but built here
    so that a stop can cancel it while it connects, and without letting the
    framework follow redirects. Returns nullptr when no connection opens (or
    a stop came). */
std::unique_ptr<StoppableStream> openOneHop (const juce::URL& url,
                                             bool post,
                                             const juce::String& headers,
                                             int timeoutMs,
                                             NetworkStop* stop,
                                             int& statusCode)
{
    auto opened = std::make_unique<StoppableStream> (url, post, stop);
    auto& stream = opened->stream;

    if (headers.isNotEmpty())
        stream.withExtraHeaders (headers);

    stream.withConnectionTimeout (timeoutMs);
    stream.withNumRedirectsToFollow (0);

    const auto connected = stream.connect (nullptr);
    statusCode = stream.getStatusCode();

    if (! connected || stream.isError() || (stop != nullptr && stop->isStopRequested()))
        return {};

    return opened;
}

bool isRedirectStatus (int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303 || statusCode == 307 || statusCode == 308;
}

bool isSuccessStatus (int statusCode)
{
    return statusCode >= 200 && statusCode <= 299;
}

/** Opens a stream on the address, following up to ServiceConstants::maxRedirects
    redirects hop by hop, every one of them over https (see nextHopAddress).
    A POST keeps its method and body through 307 and 308 and becomes a GET
    after 301, 302 and 303, as HTTP clients do. A redirect beyond the last
    one allowed, or one whose address cannot be used, opens nothing. */
std::unique_ptr<StoppableStream> openStream (const juce::String& address,
                                             const juce::MemoryBlock* postBody,
                                             const juce::String& headers,
                                             int timeoutMs,
                                             NetworkStop* stop,
                                             int* statusCode = nullptr)
{
    auto hopAddress = address;
    auto post = postBody != nullptr;

    for (int redirects = 0;; ++redirects)
    {
        auto url = juce::URL::createWithoutParsing (hopAddress);

        if (post)
            url = url.withPOSTData (*postBody);

        int status = 0;
        auto opened = openOneHop (url, post, headers, timeoutMs, stop, status);

        if (statusCode != nullptr)
            *statusCode = status;

        if (opened == nullptr || ! isRedirectStatus (status))
            return opened;

        if (redirects == ServiceConstants::maxRedirects)
            return {};

        hopAddress = nextHopAddress (hopAddress, opened->stream.getResponseHeaders()["Location"]);

        if (hopAddress.isEmpty())
            return {};

        if (status == 301 || status == 302 || status == 303)
            post = false;
    }
}

bool isStopped (const NetworkStop* stop)
{
    return stop != nullptr && stop->isStopRequested();
}

juce::var makeObject (std::initializer_list<std::pair<const char*, juce::var>> members)
{
    auto* object = new juce::DynamicObject();

    for (auto& member : members)
        object->setProperty (member.first, member.second);

    return juce::var (object);
}
}

//==============================================================================
juce::String writeRequestEnvelope (const RequestSections& sections)
{
    // Members are written in insertion order, which the service relies on.
    auto* envelope = new juce::DynamicObject();
    const juce::var envelopeVar (envelope);

    envelope->setProperty ("client_key", ServiceConstants::clientKey);
    envelope->setProperty ("product_info", makeObject ({ { "product_name", ServiceConstants::productName }, { "product_version", ServiceConstants::productVersion } }));

    if (sections.deviceInfo)
        envelope->setProperty ("device_info", makeObject ({ { "device_id", localDeviceIdentifier() } }));

    if (sections.updateInfo)
        envelope->setProperty ("update_info", makeObject ({ { "update", 0 } }));

    if (sections.auralisUpdateCheck)
    {
        const auto params = makeObject ({ { "current_img_id", sections.currentImgId },
                                          { "current_auralis_id", sections.currentAuralisId },
                                          { "current_hrtf_id", sections.currentHrtfId } });
        envelope->setProperty ("auralis_update_check", makeObject ({ { "enable", 1 }, { "params", params } }));
    }

    if (sections.softwareUpdateCheck)
        envelope->setProperty ("software_update_check", makeObject ({ { "enable", 1 } }));

    if (sections.userHrtfInfoFetch)
        envelope->setProperty ("user_hrtf_info_fetch", makeObject ({ { "enable", 1 } }));

    return juce::JSON::toString (envelopeVar, false, 15);
}

//==============================================================================
namespace
{
using TextPosition = juce::String::CharPointerType;

/** Calls `visit (c, at, after)` with every character of a JSON text that
    lies outside its strings, where it starts and where the next one starts,
    as the framework's parser reads them: character by character as it
    decodes them (an over-long UTF-8 sequence decodes to a bracket or a quote
    just as the plain byte does), a string opens with either quote and ends
    with the same one, and a backslash escapes the next character. A string's
    closing quote is visited as its whole string. Stops and returns true as
    soon as `visit` returns true. */
template <typename Visitor>
bool anyCharacterOutsideStrings (const juce::String& jsonText, Visitor&& visit)
{
    juce::juce_wchar quote = 0;

    for (auto t = jsonText.getCharPointer(); ! t.isEmpty();)
    {
        const auto at = t;
        const auto c = t.getAndAdvance();

        if (quote == 0)
        {
            if (c == '"' || c == '\'')
                quote = c;
            else if (visit (c, at, t))
                return true;
        }
        else if (c == '\\')
        {
            if (t.isEmpty())
                break;

            t.getAndAdvance();
        }
        else if (c == quote)
        {
            quote = 0;

            if (visit (c, at, t))
                return true;
        }
    }

    return false;
}
} // namespace

bool isNestedDeeperThan (const juce::String& jsonText, int maxDepth)
{
    // The parser stops at the first error, so scanning on past one is harmless.
    int depth = 0;

    const auto opensTooDeep = [&] (juce::juce_wchar c, TextPosition, TextPosition)
    {
        if (c == '[' || c == '{')
            return ++depth > maxDepth;

        if ((c == ']' || c == '}') && depth > 0)
            --depth;

        return false;
    };

    return anyCharacterOutsideStrings (jsonText, opensTooDeep);
}

bool makeNumbersSafeToParse (const juce::String& jsonText, juce::String& safeText)
{
    JsonNumberRewriter rewriter (jsonText);

    const auto unusable = [&rewriter] (juce::juce_wchar c, TextPosition at, TextPosition after)
    { return rewriter.visit (c, at, after); };

    if (anyCharacterOutsideStrings (jsonText, unusable) || rewriter.finish())
        return false;

    safeText = rewriter.getResult();
    return true;
}

juce::var postJsonRequest (const juce::String& path, const juce::String& body, NetworkStop* stop)
{
    AURALIS_ASSERT_WORKER_THREAD

    // The query travels inside the path: given as a parameter, the framework
    // would move it into the POST body.
    const auto address = juce::URL (ServiceConstants::serviceBaseAddress())
                             .withNewSubPath (path)
                             .toString (false);
    const juce::MemoryBlock postBody (body.toRawUTF8(), body.getNumBytesAsUTF8());

    int httpStatus = 0;

    const auto opened = openStream (address,
                                    &postBody,
                                    withConnectionHeader (ServiceConstants::requestHeaders),
                                    ServiceConstants::postTimeoutMs,
                                    stop,
                                    &httpStatus);

    if (opened == nullptr)
        return {};

    juce::MemoryBlock bytes;

    // A reply cut short by a stop might still parse: it is no reply.
    if (! readWithLimit (opened->stream, ServiceConstants::maxReplyBytes, bytes) || isStopped (stop))
        return {};

    return parseReply (bytes, httpStatus);
}

juce::var parseReply (const juce::MemoryBlock& bytes, int httpStatus)
{
    if (bytes.getSize() > (size_t) ServiceConstants::maxReplyBytes)
        return {};

    // A body of nothing but a UTF-8 byte-order mark is empty: the framework's
    // conversion would read the byte after it, beyond the block.
    if (bytes.getSize() == 3 && juce::CharPointer_UTF8::isByteOrderMark (bytes.getData()))
        return {};

    const auto text = juce::String::createStringFromData (bytes.getData(), (int) bytes.getSize());
    juce::String safeText;

    if (isNestedDeeperThan (text, ServiceConstants::maxReplyNestingDepth) || ! makeNumbersSafeToParse (text, safeText))
        return {};

    auto reply = juce::JSON::parse (safeText);

    if (auto* object = reply.getDynamicObject())
        if (! object->hasProperty ("status_code"))
            object->setProperty ("status_code", httpStatus);

    return reply;
}

juce::var sendServiceRequest (const juce::String& endpointPath, const RequestSections& sections, NetworkStop* stop)
{
    AURALIS_ASSERT_WORKER_THREAD
    return postJsonRequest (endpointPath + ServiceConstants::clientName, writeRequestEnvelope (sections), stop);
}

juce::DynamicObject* readReplyHeader (const juce::var& reply, ReplyHeader& out)
{
    auto* object = reply.getDynamicObject();

    if (object == nullptr)
        return nullptr;

    out.execId = object->getProperty ("exec_id").toString();
    // A hostile reply may carry 1e308 or NaN: the framework's own cast of such
    // a double to int is undefined.
    out.statusCode = VarConversions::toInt (object->getProperty ("status_code"));
    out.returnCode = VarConversions::toInt (object->getProperty ("return_code"));
    out.message = object->getProperty ("message").toString();
    return object;
}

//==============================================================================
juce::String withSecureScheme (const juce::String& address)
{
    // Any letter case: schemes are case-insensitive, and "HTTP://" would
    // travel in clear text just the same.
    if (address.startsWithIgnoreCase ("http://"))
        return "https" + address.substring (4);

    if (address.startsWithIgnoreCase ("https://"))
        return address;

    return {};
}

juce::String nextHopAddress (const juce::String& currentAddress, const juce::String& location)
{
    const auto target = location.trim();

    if (target.isEmpty() || target.containsAnyOf (" \t\r\n"))
        return {};

    // An address of its own (with a scheme) must be a web address.
    const auto schemeEnd = target.indexOfChar (':');
    const auto firstSeparator = target.indexOfAnyOf ("/?#");

    if (schemeEnd > 0 && (firstSeparator < 0 || schemeEnd < firstSeparator))
        return withSecureScheme (target);

    const auto current = withSecureScheme (currentAddress);

    if (current.isEmpty())
        return {};

    // "https://host[:port]" of the current address.
    const auto hostStart = current.indexOf ("://") + 3;
    const auto pathStart = current.indexOfAnyOf ("/?#", hostStart);
    const auto origin = pathStart < 0 ? current : current.substring (0, pathStart);

    if (target.startsWith ("//"))
        return "https:" + target;

    if (target.startsWithChar ('/'))
        return origin + target;

    // Relative to the current address's folder, without its query.
    const auto currentPath = pathStart < 0 ? juce::String ("/") : current.substring (pathStart).upToFirstOccurrenceOf ("?", false, false).upToFirstOccurrenceOf ("#", false, false);

    if (target.startsWithChar ('?'))
        return origin + currentPath + target;

    const auto folder = currentPath.upToLastOccurrenceOf ("/", true, false);
    return origin + (folder.isEmpty() ? juce::String ("/") : folder) + target;
}

//==============================================================================
juce::MemoryBlock fetchUrlBytes (juce::String url, int& contentLength, NetworkStop* stop, juce::int64 maxBytes)
{
    AURALIS_ASSERT_WORKER_THREAD

    // Only web addresses, and those over https: the framework would read a
    // "file:" address from the local disk, and the address comes from the
    // service. The address is otherwise used exactly as the service gave it:
    // parsing it into parameters would re-encode its query.
    const auto address = withSecureScheme (url);

    if (address.isEmpty())
        return {};

    const auto headers = withConnectionHeader ({});
    const auto timeoutMs = ServiceConstants::currentDownloadStallTimeoutMs();

    std::unique_ptr<StoppableStream> opened;

    for (int connection = 0; connection < ServiceConstants::maxConnectionsPerDownload; ++connection)
    {
        // The previous connection is closed before the next one opens.
        opened.reset();
        int status = 0;
        opened = openStream (address, nullptr, headers, timeoutMs, stop, &status);

        // An error page (a 404 or 500 with its own body and length) is not
        // the resource: written as an HRTF file, the plug-in would read it.
        if (opened == nullptr || ! isSuccessStatus (status))
            return {};

        const auto announced = opened->stream.getTotalLength();
        contentLength = (int) juce::jmin (announced, (juce::int64) std::numeric_limits<int>::max());

        if (announced > 0)
            break;
    }

    juce::MemoryBlock bytes;
    readWithLimit (opened->stream, juce::jmin (maxBytes, ServiceConstants::maxDownloadBytes), bytes);

    // What a stop cut short is not handed on, not even in part.
    if (isStopped (stop))
        return {};

    return bytes;
}

bool isCompleteDownload (const juce::MemoryBlock& bytes, int announcedLength)
{
    return announcedLength > 0 && ! bytes.isEmpty() && bytes.getSize() == (size_t) announcedLength;
}

bool fetchWithAttempts (const juce::String& url, int maxAttempts, juce::MemoryBlock& bytes, NetworkStop* stop, juce::int64 maxBytes)
{
    AURALIS_ASSERT_WORKER_THREAD

    bytes.reset();

    for (int attempt = 0; attempt < maxAttempts && ! isStopped (stop); ++attempt)
    {
        int length = -1;
        bytes = fetchUrlBytes (url, length, stop, maxBytes);

        if (isCompleteDownload (bytes, length))
            return true;
    }

    return false;
}
