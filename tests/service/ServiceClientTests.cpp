#include "ExpectedEnvelope.h"
#include "OnWorker.h"
#include "ServiceTestFixture.h"

#include "service/ServiceClient.h"
#include "store/DeviceIdentifier.h"
#include "support/AssertionWatch.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
juce::String crlfLines (std::initializer_list<const char*> lines)
{
    juce::StringArray all;

    for (auto* line : lines)
        all.add (line);

    return all.joinIntoString ("\r\n");
}

juce::String nested (int depth)
{
    return juce::String::repeatedString ("[", depth) + juce::String::repeatedString ("]", depth);
}

juce::MemoryBlock patternBytes (size_t size)
{
    juce::MemoryBlock block (size);

    for (size_t i = 0; i < size; ++i)
        block[i] = (char) ((i * 7 + i / 251) & 0xff);

    return block;
}
}

//==============================================================================
TEST (RequestEnvelope, WithoutSectionsIsKeyThenProductInfoInMultiLineForm)
{
    EXPECT_EQ (writeRequestEnvelope ({}),
               crlfLines ({ "{",
                            "  \"client_key\": \"7c1e5a90b2d34f6e8a0b9c3d2e1f4a5b\",",
                            "  \"product_info\": {",
                            "    \"product_name\": \"AuralisOnboardingApp\",",
                            "    \"product_version\": \"0.0.10\"",
                            "  }",
                            "}" }));
}

TEST (RequestEnvelope, AllSectionsAppearInOrderWithNumericFlags)
{
    RequestSections sections;
    sections.deviceInfo = sections.updateInfo = sections.auralisUpdateCheck = true;
    sections.softwareUpdateCheck = sections.userHrtfInfoFetch = true;
    sections.currentImgId = "img_3";
    sections.currentAuralisId = "aur \"7\"";
    sections.currentHrtfId = "h1";

    const auto expected = crlfLines ({ "{",
                                       "  \"client_key\": \"7c1e5a90b2d34f6e8a0b9c3d2e1f4a5b\",",
                                       "  \"product_info\": {",
                                       "    \"product_name\": \"AuralisOnboardingApp\",",
                                       "    \"product_version\": \"0.0.10\"",
                                       "  },",
                                       "  \"device_info\": {",
                                       "    \"device_id\": \"DEVICE\"",
                                       "  },",
                                       "  \"update_info\": {",
                                       "    \"update\": 0",
                                       "  },",
                                       "  \"auralis_update_check\": {",
                                       "    \"enable\": 1,",
                                       "    \"params\": {",
                                       "      \"current_img_id\": \"img_3\",",
                                       "      \"current_auralis_id\": \"aur \\\"7\\\"\",",
                                       "      \"current_hrtf_id\": \"h1\"",
                                       "    }",
                                       "  },",
                                       "  \"software_update_check\": {",
                                       "    \"enable\": 1",
                                       "  },",
                                       "  \"user_hrtf_info_fetch\": {",
                                       "    \"enable\": 1",
                                       "  }",
                                       "}" })
                              .replace ("DEVICE", localDeviceIdentifier());

    EXPECT_TRUE (localDeviceIdentifier().isNotEmpty());
    EXPECT_EQ (writeRequestEnvelope (sections), expected);
}

TEST (ReplyNesting, CountsOnlyBracketsOutsideStrings)
{
    EXPECT_FALSE (isNestedDeeperThan (nested (64), 64));
    EXPECT_TRUE (isNestedDeeperThan (nested (65), 64));
    EXPECT_TRUE (isNestedDeeperThan ("{\"a\":" + nested (65) + "}", 65));

    // Brackets inside either kind of string, or after an escaped quote, do not count.
    const auto deepText = juce::String::repeatedString ("[", 100);
    EXPECT_FALSE (isNestedDeeperThan ("{\"a\": \"" + deepText + "\"}", 8));
    EXPECT_FALSE (isNestedDeeperThan ("{\"a\": '" + deepText + "'}", 8));
    EXPECT_FALSE (isNestedDeeperThan ("[\"\\\"" + deepText + "\"]", 8));

    // An escaped backslash ends before the quote, which closes the string.
    EXPECT_TRUE (isNestedDeeperThan ("[\"\\\\\"" + deepText, 8));

    // Closing brackets never make the depth negative.
    EXPECT_TRUE (isNestedDeeperThan ("]]]]" + nested (9), 8));

    // An over-long UTF-8 "[" reaches the parser as a bracket.
    juce::MemoryOutputStream overlong;

    for (int i = 0; i < 100; ++i)
        overlong.write ("\xc1\x9b", 2);

    const auto disguised = juce::String::createStringFromData (overlong.getData(), (int) overlong.getDataSize());
    ASSERT_TRUE (juce::JSON::parse (disguised + juce::String::repeatedString ("]", 100)).isArray());
    EXPECT_TRUE (isNestedDeeperThan (disguised, 8));
}

TEST (ReplyNumbers, EveryNumberIsReadAsItsValueWithoutOverflow)
{
    const auto parse = [] (const char* bytes)
    { return parseReply (juce::MemoryBlock (bytes, std::strlen (bytes)), 200); };

    constexpr auto infinity = std::numeric_limits<double>::infinity();

    struct Case
    {
        juce::String number;
        juce::var expected;
    };

    const std::vector<Case> cases {
        // Integers within 64 bits come through as the parser reads them.
        { "1733740000123456789", (juce::int64) 1733740000123456789LL },
        { "9223372036854775807", std::numeric_limits<juce::int64>::max() },
        { "-9223372036854775807", -std::numeric_limits<juce::int64>::max() },
        { "000000000000000000000001", 1 },
        { "- 7", -7 },
        { "0.1234567890123456", 0.1234567890123456 },
        { "3e+0000000000000005", 3e5 },

        // Beyond 64 bits, or where the parser would misread the digits or
        // the exponent, the value as a double: to 18 significant digits,
        // infinity or zero (with its sign) beyond a double's range, even
        // where a subnormal could hold it.
        { "9223372036854775808", 9223372036854775808.0 },
        { "-9223372036854775808", -9223372036854775808.0 },
        { "18446744073709551615", 18446744073709551615.0 },
        { "-123456789012345678901234567890.5", -123456789012345678901234567890.5 },
        { "12345678901234567890e-10", 1234567890.123456789 },
        { "0.00000000000000000000000123", 1.23e-24 },
        { "0.001e310", 1e307 },
        { "100000e-310", 1e-305 },
        { "1e1440320949", infinity },
        { "-1.5E-1000000000", -0.0 },
        { "5e-310", 0.0 },
        { "0e99999999999", 0.0 },
        { "1" + juce::String::repeatedString ("0", 400), infinity },
        { "0." + juce::String::repeatedString ("0", 400) + "1e395", 1e-6 },
    };

    for (const auto& c : cases)
    {
        const auto text = R"({"a": [)" + c.number + R"(, "12345678901234567890"], "b": 99999999999999999999, "c": "-x"})";
        const auto reply = parse (text.toRawUTF8());
        const auto value = reply["a"][0];
        ASSERT_TRUE (reply.isObject()) << c.number;
        EXPECT_EQ (reply["a"][1].toString(), "12345678901234567890") << c.number;
        EXPECT_EQ (reply["c"].toString(), "-x") << c.number;
        EXPECT_DOUBLE_EQ ((double) reply["b"], 1e20) << c.number;

        EXPECT_EQ (value.isInt(), c.expected.isInt()) << c.number;
        EXPECT_EQ (value.isInt64(), c.expected.isInt64()) << c.number;
        EXPECT_EQ (value.isDouble(), c.expected.isDouble()) << c.number;

        if (c.expected.isDouble())
        {
            const auto expected = (double) c.expected, actual = (double) value;
            EXPECT_TRUE (actual == expected || std::abs (actual - expected) <= std::abs (expected) * 1e-15) << c.number << " read as " << actual;
            EXPECT_EQ (std::signbit (actual), std::signbit (expected)) << c.number;
        }
        else
        {
            EXPECT_EQ ((juce::int64) value, (juce::int64) c.expected) << c.number;
        }
    }

    // A digit written as an over-long UTF-8 sequence reaches the parser as
    // the digit, and is rewritten with the others.
    const auto wide = parse ("[\xc0\xb1"
                             "0000000000000000000]");
    ASSERT_TRUE (wide.isArray());
    EXPECT_DOUBLE_EQ ((double) wide[0], 1e19);

    // Refused: what is not JSON and would be misread. The parser reads "-x"
    // as -72; blanks after a minus sign and leading zeros are read as they
    // are but never rewritten; a sign, point or exponent mark straight after
    // a number would make a rewritten one read on.
    {
        // The framework's parser asserts on it, reading it all the same.
        const AssertionWatch::ScopedExpectedAssertion misread ("juce_JSON.cpp:194");
        ASSERT_EQ ((int) juce::JSON::parse ("[-x]")[0], -72);
    }

    for (auto* refused : { "[-x]", "[1, -]", "[- ", "[- 99999999999999999999]", "[012345678901234567890]", "[1.e99999999999]", "[5\xd9\xa0]", "[0.00000e-1000e-10000000000000]", "[1e999999999999.5]", "[1-2]" })
        EXPECT_TRUE (parse (refused).isVoid()) << refused;
}

TEST (ReplyParsing, RefusesWhatTheParserCannotReadSafely)
{
    const auto parse = [] (const char* text)
    { return parseReply (juce::MemoryBlock (text, std::strlen (text)), 200); };

    const auto reply = parse (R"({"return_code": 1, "urls": [{"hrtf_id": "h"}]})");
    EXPECT_EQ ((int) reply["status_code"], 200);
    EXPECT_EQ (reply["urls"][0]["hrtf_id"].toString(), "h");

    // Codes beyond the int range are limited to it.
    ReplyHeader header;
    ASSERT_NE (readReplyHeader (parse (R"({"status_code": 12345678901234567890, "return_code": 4294967496})"), header), nullptr);
    EXPECT_EQ (header.statusCode, std::numeric_limits<int>::max());
    EXPECT_EQ (header.returnCode, std::numeric_limits<int>::max());

    EXPECT_TRUE (parse (R"({"status_code": -x})").isVoid());
    EXPECT_TRUE (parse (("{\"a\":" + nested (65) + "}").toRawUTF8()).isVoid());
    EXPECT_TRUE (parse ("<html>502</html>").isVoid());

    // A byte-order mark alone is an empty body (read without going past it),
    // one before JSON is skipped.
    EXPECT_TRUE (parse ("\xef\xbb\xbf").isVoid());
    EXPECT_EQ ((int) parse ("\xef\xbb\xbf{\"status_code\": 5}")["status_code"], 5);
}

TEST (ReplyHeader, ReadsMissingMembersAsEmptyAndZeroAndLeavesNonObjectsAlone)
{
    ReplyHeader header;
    ASSERT_NE (readReplyHeader (juce::JSON::parse (R"({"exec_id": "e1", "status_code": 403})"), header), nullptr);
    EXPECT_EQ (header.execId, "e1");
    EXPECT_EQ (header.statusCode, 403);
    EXPECT_EQ (header.returnCode, 0);
    EXPECT_EQ (header.message, "");

    // Codes no int can hold are limited, not cast: the framework's cast of
    // such a double is undefined.
    ASSERT_NE (readReplyHeader (juce::JSON::parse (R"({"status_code": 1e308, "return_code": -1e300})"), header), nullptr);
    EXPECT_EQ (header.statusCode, std::numeric_limits<int>::max());
    EXPECT_EQ (header.returnCode, std::numeric_limits<int>::min());

    ReplyHeader untouched;
    EXPECT_EQ (readReplyHeader (juce::JSON::parse ("[1, 2]"), untouched), nullptr);
    EXPECT_EQ (readReplyHeader ({}, untouched), nullptr);
    EXPECT_EQ (untouched.statusCode, -1);
    EXPECT_EQ (untouched.returnCode, -1);
}

TEST (FetchUrlBytes, RefusesAddressesThatAreNotWebAddresses)
{
    juce::TemporaryFile local;
    ASSERT_TRUE (local.getFile().replaceWithText ("secret"));

    int length = -1;
    EXPECT_TRUE (OnWorker::fetchUrlBytes (juce::URL (local.getFile()).toString (false), length).isEmpty());
    EXPECT_EQ (length, -1);
}

//==============================================================================
using ServiceClient = ServiceTestFixture;

TEST_F (ServiceClient, PostCarriesEnvelopeHeadersAndClientNameOverTls)
{
    serveReply (Endpoints::statusCheck, R"({"status_code": 200})");
    startServer();

    RequestSections sections;
    sections.deviceInfo = sections.softwareUpdateCheck = true;
    const auto reply = OnWorker::sendServiceRequest (ServiceConstants::statusCheckPath, sections);
    EXPECT_EQ ((int) reply["status_code"], 200);

    ASSERT_EQ (server.getRequests().size(), 1u);
    const auto request = server.getRequests().front();
    EXPECT_EQ (request.method, "POST");
    EXPECT_EQ (request.path, "/status-check/v1.0");
    EXPECT_EQ (request.query, "client_name=korvane_eval_qr_code");
    EXPECT_TRUE (request.overTls);
    EXPECT_EQ (request.getHeader ("User-Agent"), "vantora_auralis");
    EXPECT_EQ (request.getHeader ("Content-Type"), "application/json");
    EXPECT_EQ (request.getHeader ("Accept-Encoding"), "gzip, deflate");
    EXPECT_EQ (request.getBodyText(), ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(), ExpectedEnvelope::softwareUpdateCheck }));
}

TEST_F (ServiceClient, StatusCodeComesFromHttpOnlyWhenTheReplyLacksIt)
{
    serveReply ("missing-404", R"({"exec_id": "a", "message": "m"})", 404);
    serveReply ("missing-200", R"({"exec_id": "a", "message": "m"})", 200);
    serveReply ("present-500", R"({"status_code": 200, "return_code": 7})", 500);
    startServer();

    const auto notFound = OnWorker::postJsonRequest ("missing-404", "{}");
    EXPECT_EQ ((int) notFound["status_code"], 404);
    EXPECT_EQ (notFound["exec_id"].toString(), "a");

    EXPECT_EQ ((int) OnWorker::postJsonRequest ("missing-200", "{}")["status_code"], 200);

    const auto kept = OnWorker::postJsonRequest ("present-500", "{}");
    EXPECT_EQ ((int) kept["status_code"], 200);
    EXPECT_EQ ((int) kept["return_code"], 7);
}

TEST_F (ServiceClient, BodiesThatAreNotJsonObjectsOrArraysGiveNoReply)
{
    serveReply ("empty", "");
    server.serve ("POST", "/html", TestHttpResponse::text ("<html><body>Bad Gateway</body></html>", "text/html", 502));
    serveReply ("garbage", "status: fine");
    serveReply ("scalar", "42");
    server.serve ("POST", "/gzip", TestHttpResponse::bytes (juce::MemoryBlock ("\x1f\x8b\x08\x00\x00\x00", 6), "application/json").withHeader ("Content-Encoding", "gzip"));
    serveReply ("array", R"([{"status_code": 200}, 2])");
    startServer();

    for (auto* path : { "empty", "html", "garbage", "scalar", "gzip" })
        EXPECT_TRUE (OnWorker::postJsonRequest (path, "{}").isVoid()) << path;

    // An array is handed back unchanged, without a status added.
    const auto array = OnWorker::postJsonRequest ("array", "{}");
    ASSERT_TRUE (array.isArray());
    EXPECT_EQ (array.size(), 2);
    ReplyHeader header;
    EXPECT_EQ (readReplyHeader (array, header), nullptr);
}

TEST_F (ServiceClient, OversizeRepliesAreNoReplyWithOrWithoutALength)
{
    const auto bigReply = R"({"status_code": 200, "pad": ")" + juce::String::repeatedString ("x", 5 * 1024 * 1024) + "\"}";
    serveReply ("big", bigReply);
    server.serve ("POST", "/big-chunked", TestHttpResponse::json (bigReply).withChunkedBody());

    const auto fitting = R"({"status_code": 200, "pad": ")" + juce::String::repeatedString ("x", 3 * 1024 * 1024) + "\"}";
    server.serve ("POST", "/fitting-chunked", TestHttpResponse::json (fitting).withChunkedBody());
    startServer();

    EXPECT_TRUE (OnWorker::postJsonRequest ("big", "{}").isVoid());
    EXPECT_TRUE (OnWorker::postJsonRequest ("big-chunked", "{}").isVoid());
    EXPECT_EQ (OnWorker::postJsonRequest ("fitting-chunked", "{}")["pad"].toString().length(), 3 * 1024 * 1024);
}

TEST_F (ServiceClient, DeeplyNestedRepliesAreRefusedBeforeParsing)
{
    // Enough nesting to overflow any thread's stack inside the parser.
    serveReply ("deep-arrays", nested (200000));
    serveReply ("deep-objects", juce::String::repeatedString ("{\"a\":", 100000) + "1" + juce::String::repeatedString ("}", 100000));
    serveReply ("shallow", R"({"status_code": 200, "a": [[[{"b": [1]}]]]})");
    startServer();

    EXPECT_TRUE (OnWorker::postJsonRequest ("deep-arrays", "{}").isVoid());
    EXPECT_TRUE (OnWorker::postJsonRequest ("deep-objects", "{}").isVoid());
    EXPECT_EQ ((int) OnWorker::postJsonRequest ("shallow", "{}")["status_code"], 200);
}

TEST_F (ServiceClient, UnreachableOrUntrustedServersGiveNoReply)
{
    TestHttpsServer untrusted (TestHttpsServer::Certificate::selfSigned);
    untrusted.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::json (R"({"status_code": 200})"));
    untrusted.serve ("GET", "/picture.png", TestHttpResponse::bytes (patternBytes (100)));
    ASSERT_TRUE (untrusted.start());

    ServiceConstants::setServiceBaseAddressForTesting (untrusted.getOrigin());
    EXPECT_TRUE (OnWorker::sendServiceRequest (ServiceConstants::statusCheckPath, {}).isVoid());

    int length = -1;
    EXPECT_TRUE (OnWorker::fetchUrlBytes (untrusted.urlFor ("/picture.png"), length).isEmpty());
    EXPECT_EQ (untrusted.countRequests ("/picture.png"), 0);

    // A port nobody listens on any more.
    const auto closedOrigin = untrusted.getOrigin();
    untrusted.stop();
    ServiceConstants::setServiceBaseAddressForTesting (closedOrigin);
    EXPECT_TRUE (OnWorker::sendServiceRequest (ServiceConstants::statusCheckPath, {}).isVoid());
}

//==============================================================================
TEST_F (ServiceClient, PlainHttpAddressesAreFetchedOverTls)
{
    const auto bytes = patternBytes (70000);
    server.serve ("GET", "/hrtf.bin", TestHttpResponse::bytes (bytes));
    startServer();

    const auto plainAddress = "http://127.0.0.1:" + juce::String (server.getPort()) + "/hrtf.bin";

    int length = -1;
    EXPECT_EQ (OnWorker::fetchUrlBytes (plainAddress, length), bytes);
    EXPECT_EQ (length, 70000);
    ASSERT_EQ (server.countRequests ("/hrtf.bin"), 1);
    EXPECT_TRUE (server.lastRequestFor ("/hrtf.bin").overTls);

    // The scheme in any letter case: "HTTP://" would travel in clear text
    // just the same.
    length = -1;
    EXPECT_EQ (OnWorker::fetchUrlBytes ("HTTP" + plainAddress.substring (4), length), bytes);
    ASSERT_EQ (server.countRequests ("/hrtf.bin"), 2);
    EXPECT_TRUE (server.lastRequestFor ("/hrtf.bin").overTls);
}

TEST_F (ServiceClient, WithoutALengthFiveConnectionsAreOpenedAndTheLastRead)
{
    const auto bytes = patternBytes (300000);
    server.serve ("GET", "/chunked", TestHttpResponse::bytes (bytes).withChunkedBody());
    startServer();

    int length = 1234;
    const auto received = OnWorker::fetchUrlBytes (server.urlFor ("/chunked"), length);
    EXPECT_EQ (length, -1);
    EXPECT_EQ (received, bytes);
    EXPECT_EQ (server.countRequests ("/chunked"), 5);
    EXPECT_FALSE (isCompleteDownload (received, length));
}

TEST_F (ServiceClient, ALengthLieIsIncompleteAfterOneConnection)
{
    server.serve ("GET", "/short", TestHttpResponse::bytes (patternBytes (600)).withAnnouncedLength (1000));
    server.serve ("GET", "/moved", TestHttpResponse::redirect ("/whole"));
    server.serve ("GET", "/whole", TestHttpResponse::bytes (patternBytes (1000)));
    startServer();

    // When the connection breaks before the first read, the framework hands
    // over no stream at all; later, the bytes that arrived.
    int length = -1;
    const auto received = OnWorker::fetchUrlBytes (server.urlFor ("/short"), length);
    EXPECT_LE (received.getSize(), 600u);
    EXPECT_FALSE (isCompleteDownload (received, length));
    EXPECT_EQ (server.countRequests ("/short"), 1);

    length = -1;
    const auto redirected = OnWorker::fetchUrlBytes (server.urlFor ("/moved"), length);
    EXPECT_EQ (length, 1000);
    EXPECT_TRUE (isCompleteDownload (redirected, length));
}

TEST_F (ServiceClient, AnErrorStatusGivesNoBytesWhateverItsBody)
{
    // Error pages that look like a whole resource: a body with a length.
    const auto page = patternBytes (1000);
    server.serve ("GET", "/missing", TestHttpResponse::bytes (page).withStatus (404));
    server.serve ("GET", "/failing", TestHttpResponse::bytes (page).withStatus (500));
    server.serve ("GET", "/moved", TestHttpResponse::redirect ("/missing", 301));
    startServer();

    for (const auto* path : { "/missing", "/failing", "/moved" })
    {
        int length = -1;
        EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor (path), length).isEmpty()) << path;
        EXPECT_EQ (server.countRequests (path), 1) << path;
    }
}

TEST_F (ServiceClient, DownloadsOverTheLimitFailWithoutExhaustingMemory)
{
    // Announced: refused before reading.
    server.serve ("GET", "/huge", TestHttpResponse::bytes (patternBytes (65536)).withBodyRepeatedTo (3LL * 1024 * 1024 * 1024));

    // Unannounced: reading stops one byte past the limit.
    auto oversize = std::make_shared<juce::MemoryBlock> ((size_t) ServiceConstants::maxDownloadBytes + 4096, true);
    server.serve ("GET", "/endless", TestHttpResponse::shared (oversize).withChunkedBody());
    startServer();

    int length = -1;
    EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor ("/huge"), length).isEmpty());
    EXPECT_GT (length, 0);

    length = -1;
    EXPECT_TRUE (OnWorker::fetchUrlBytes (server.urlFor ("/endless"), length).isEmpty());
    EXPECT_EQ (length, -1);
}

TEST_F (ServiceClient, AStalledDownloadFailsInsteadOfHangingItsWorker)
{
    // The server never answers until the client has given up; without a
    // stall time-out the download would wait for ever. The handler may still
    // be waking when the test ends, so it shares the event.
    auto clientGaveUp = std::make_shared<juce::WaitableEvent>();
    server.on ("GET", "/stalled", [clientGaveUp] (const TestHttpRequest&)
               {
                   clientGaveUp->wait (20000);
                   return TestHttpResponse::bytes (patternBytes (100)); });
    startServer();

    ServiceConstants::setDownloadStallTimeoutForTesting (1000);
    int length = -1;
    const auto received = OnWorker::fetchUrlBytes (server.urlFor ("/stalled"), length);
    clientGaveUp->signal();
    ServiceConstants::setDownloadStallTimeoutForTesting (ServiceConstants::downloadStallTimeoutMs);

    EXPECT_FALSE (isCompleteDownload (received, length));
}
