#include "support/StandinTestServer.h"
#include "support/TestFiles.h"

#include "StandinConstants.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

using nlohmann::json;

namespace
{
const std::string query = std::string ("?client_name=") + StandinConstants::clientName;

std::string validStatusCheck()
{
    StandinTestServer::Sections sections;
    sections.deviceId = "device-A";
    sections.userHrtfInfoFetch = true;
    return StandinTestServer::envelope (sections);
}

/** The envelope with one member replaced or removed (null). */
std::string statusCheckWith (const std::string& key, const json& value)
{
    auto body = json::parse (validStatusCheck());

    if (value.is_null())
        body.erase (key);
    else
        body[key] = value;

    return body.dump();
}

void expectRefusedWithJson (const httplib::Result& result, const std::string& what)
{
    ASSERT_TRUE (result) << what << ": no reply";
    EXPECT_NE (result->status, 200) << what;

    const auto reply = json::parse (result->body, nullptr, false);
    ASSERT_TRUE (reply.is_object()) << what << ": " << result->body;
    EXPECT_EQ (reply.value ("status_code", 200), result->status) << what;
    EXPECT_FALSE (reply.value ("message", std::string()).empty()) << what;
}

void sendRaw (int port, const std::string& bytes)
{
    const int connection = socket (AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons ((uint16_t) port);
    address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);

    if (connect (connection, reinterpret_cast<sockaddr*> (&address), sizeof (address)) == 0)
        (void) ::send (connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);

    ::close (connection);
}
}

//==============================================================================
TEST (HostileRequests, AreAnsweredWithJsonRefusalsAndTheServiceKeepsServing)
{
    StandinTestServer standin;
    const std::string status = StandinConstants::statusCheckPath + query;
    const std::string pull = StandinConstants::pullClientPath + query;

    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> posts {
        { "not JSON", { status, "hello" } },
        { "empty body", { status, "" } },
        { "a JSON array", { status, "[1, 2, 3]" } },
        { "deep nesting", { status, std::string (100000, '[') } },
        { "deep nesting in an object", { status, "{\"client_key\": " + std::string (5000, '[') + std::string (5000, ']') + "}" } },
        { "invalid UTF-8", { status, "{\"client_key\": \"\xff\xfe\"}" } },
        { "oversize body", { status, "{\"pad\": \"" + std::string (StandinConstants::maxJsonBodyBytes, 'x') + "\"}" } },
        { "wrong client key", { status, statusCheckWith ("client_key", "00000000000000000000000000000000") } },
        { "client key not a string", { status, statusCheckWith ("client_key", 7) } },
        { "no client key", { status, statusCheckWith ("client_key", nullptr) } },
        { "no product info", { status, statusCheckWith ("product_info", nullptr) } },
        { "product info not an object", { status, statusCheckWith ("product_info", "AuralisOnboardingApp") } },
        { "no device info", { status, statusCheckWith ("device_info", nullptr) } },
        { "device id a number", { status, statusCheckWith ("device_info", { { "device_id", 12 } }) } },
        { "device id empty", { status, statusCheckWith ("device_info", { { "device_id", "" } }) } },
        { "device id with terminal controls", { status, statusCheckWith ("device_info", { { "device_id", "a\x1b[2Jb" } }) } },
        { "device id too long", { status, statusCheckWith ("device_info", { { "device_id", std::string (10000, 'd') } }) } },
        { "section not an object", { status, statusCheckWith ("user_hrtf_info_fetch", 1) } },
        { "params not an object", { status, statusCheckWith ("auralis_update_check", { { "enable", 1 }, { "params", "x" } }) } },
        { "pull without update info", { pull, validStatusCheck() } },
        { "no client name", { StandinConstants::statusCheckPath, validStatusCheck() } },
        { "wrong client name", { std::string (StandinConstants::statusCheckPath) + "?client_name=someone_else", validStatusCheck() } },
        { "unknown path", { "/status-check/v9.9" + query, validStatusCheck() } },
    };

    for (const auto& [what, request] : posts)
        expectRefusedWithJson (standin.post (request.first, request.second), what);

    for (const std::string path : { "/", "/nothing", "/qr/../../etc/passwd", "/qr/0123.png", "/hrtf/..%2Fstandin.sqlite", StandinConstants::statusCheckPath })
        expectRefusedWithJson (standin.get (path), "GET " + path);

    // Bodies beyond any upload are cut off by the transport and still answered.
    standin.stop();
    standin.options.maxUploadBytes = 1024;
    standin.start();
    expectRefusedWithJson (standin.post (status, std::string (200 * 1024, ' ')), "body beyond the transport limit");

    // Connections that are not TLS, or that hang up half-way, cost nothing.
    sendRaw (standin.server().port(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    sendRaw (standin.server().port(), std::string ("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11));
    sendRaw (standin.server().port(), std::string (3000, '\0'));

    const auto reply = standin.call (StandinConstants::statusCheckPath, validStatusCheck());
    EXPECT_EQ (reply["status_code"], 200);
    EXPECT_EQ (reply["user_hrtf_info"]["hrtf_requested"], 0);
}

TEST (HostileUploads, AreRefusedWithoutCountingASubmission)
{
    StandinTestServer standin;
    standin.options.maxUploadBytes = 16 * 1024;
    standin.restart();

    standin.statusCheck ("device-A");
    const auto qrPicture = standin.get (standin.pathOf (standin.qrCode()["qr_image_url"]))->body;
    const auto uploadPath = standin.pathOf (TestFiles::decodeQrCode (qrPicture));
    ASSERT_FALSE (uploadPath.empty());

    const auto client = standin.client();
    const auto largePng = TestFiles::read (AURALIS_STANDIN_SCREENSHOT_FILE);
    ASSERT_GT (largePng.size(), standin.options.maxUploadBytes);

    auto corruptHeader = qrPicture;
    corruptHeader[20] ^= 0x40;

    const std::vector<std::pair<std::string, std::pair<std::string, int>>> uploads {
        { "text named as a JPEG", { "this is not a picture", 415 } },
        { "HTML page", { "<html><body>hello</body></html>", 415 } },
        { "truncated PNG", { qrPicture.substr (0, qrPicture.size() - 20), 415 } },
        { "PNG with a damaged header", { corruptHeader, 415 } },
        { "JPEG without image data", { TestFiles::minimalJpeg (10, 10).substr (0, 33), 415 } },
        { "JPEG of size zero", { TestFiles::minimalJpeg (0, 0), 415 } },
        { "picture above the size limit", { largePng, 413 } },
        { "empty file", { "", 415 } },
    };

    for (const auto& [what, upload] : uploads)
    {
        const auto result = TestFiles::uploadPhoto (*client, uploadPath, upload.first, "ear.jpg", "image/jpeg");
        ASSERT_TRUE (result) << what;
        EXPECT_EQ (result->status, upload.second) << what;
    }

    const auto noFile = client->Post (uploadPath.c_str(), "ear_photo=abc", "application/x-www-form-urlencoded");
    ASSERT_TRUE (noFile);
    EXPECT_EQ (noFile->status, 400);

    const auto unknownCode = TestFiles::uploadPhoto (*client, "/upload/00000000000000000000000000000000", TestFiles::minimalJpeg (8, 8), "ear.jpg", "image/jpeg");
    ASSERT_TRUE (unknownCode);
    EXPECT_EQ (unknownCode->status, 404);

    EXPECT_EQ (standin.statusCheck ("device-A")["user_hrtf_info"]["hrtf_requested"], 0);

    // One good upload counts once; the code is then used up.
    const auto good = TestFiles::uploadPhoto (*client, uploadPath, TestFiles::minimalJpeg (8, 8), "ear.jpg", "image/jpeg");
    ASSERT_TRUE (good);
    EXPECT_EQ (good->status, 200);

    const auto again = TestFiles::uploadPhoto (*client, uploadPath, TestFiles::minimalJpeg (8, 8), "ear.jpg", "image/jpeg");
    ASSERT_TRUE (again);
    EXPECT_EQ (again->status, 410);

    EXPECT_EQ (standin.statusCheck ("device-A")["user_hrtf_info"]["hrtf_requested"], 1);
}
