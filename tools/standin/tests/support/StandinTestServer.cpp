#include "StandinTestServer.h"

#include "CommandLine.h"
#include "StandinConstants.h"

#include <gtest/gtest.h>

#include <sstream>

//==============================================================================
StandinTestServer::StandinTestServer()
{
    auto folder = std::filesystem::temp_directory_path() / "auralis-standin-test-XXXXXX";
    std::string pattern = folder.string();

    if (mkdtemp (pattern.data()) == nullptr)
        throw std::runtime_error ("cannot create a temporary folder");

    options.stateFolder = pattern;
    options.address = "127.0.0.1";
    options.port = 0;
    options.sofaFile = AURALIS_STANDIN_SOFA_FILE;
    options.screenshotFile = AURALIS_STANDIN_SCREENSHOT_FILE;
    start();
}

StandinTestServer::~StandinTestServer()
{
    stop();
    std::error_code ignored;
    std::filesystem::remove_all (options.stateFolder, ignored);
}

void StandinTestServer::start()
{
    running = std::make_unique<StandinServer> (options);
    std::string error;
    ASSERT_TRUE (running->start (error)) << error;
}

void StandinTestServer::stop()
{
    if (running != nullptr)
        running->stop();
}

void StandinTestServer::restart()
{
    // Addresses handed out before the restart stay valid on the same port.
    options.port = running->port();
    stop();
    running.reset();
    start();
}

std::unique_ptr<httplib::SSLClient> StandinTestServer::client (const std::string& host) const
{
    auto connection = std::make_unique<httplib::SSLClient> (host, running->port());
    connection->set_ca_cert_path (running->caCertificateFile().c_str());
    connection->enable_server_certificate_verification (true);
    connection->set_connection_timeout (10, 0);
    connection->set_read_timeout (20, 0);
    connection->set_default_headers ({ { "User-Agent", "vantora_auralis" }, { "Accept-Encoding", "gzip, deflate" } });
    return connection;
}

httplib::Result StandinTestServer::post (const std::string& pathAndQuery, const std::string& body) const
{
    return client()->Post (pathAndQuery.c_str(), body, "application/json");
}

httplib::Result StandinTestServer::get (const std::string& path) const
{
    return client()->Get (path.c_str());
}

std::string StandinTestServer::pathOf (const std::string& address) const
{
    const auto base = origin();
    EXPECT_EQ (address.compare (0, base.size(), base), 0) << address << " does not start with " << base;
    return address.substr (std::min (base.size(), address.size()));
}

//==============================================================================
std::string StandinTestServer::envelope (const Sections& sections)
{
    nlohmann::ordered_json body;
    body["client_key"] = StandinConstants::clientKey;
    body["product_info"] = { { "product_name", "AuralisOnboardingApp" }, { "product_version", sections.version } };

    if (! sections.deviceId.empty())
        body["device_info"] = { { "device_id", sections.deviceId } };

    if (sections.updateInfo)
        body["update_info"] = { { "update", 0 } };

    if (sections.auralisUpdateCheck)
        body["auralis_update_check"] = { { "enable", 1 },
                                         { "params", { { "current_img_id", sections.imgId }, { "current_auralis_id", sections.auralisId }, { "current_hrtf_id", sections.hrtfId } } } };

    if (sections.softwareUpdateCheck)
        body["software_update_check"] = { { "enable", 1 } };

    if (sections.userHrtfInfoFetch)
        body["user_hrtf_info_fetch"] = { { "enable", 1 } };

    return body.dump (2);
}

nlohmann::json StandinTestServer::call (const std::string& endpoint, const std::string& body) const
{
    const auto result = post (endpoint + "?client_name=" + StandinConstants::clientName, body);

    if (! result)
    {
        ADD_FAILURE() << "no reply from " << endpoint << ": " << httplib::to_string (result.error());
        return {};
    }

    EXPECT_FALSE (result->has_header ("Content-Encoding")) << "replies must not be compressed";

    const auto reply = nlohmann::json::parse (result->body, nullptr, false);
    EXPECT_TRUE (reply.is_object()) << result->body;

    if (! reply.is_object())
        return {};

    EXPECT_EQ (reply.value ("status_code", -1), result->status) << result->body;
    return reply;
}

nlohmann::json StandinTestServer::statusCheck (const std::string& deviceId, const std::string& imgId, const std::string& auralisId, const std::string& hrtfId) const
{
    Sections sections;
    sections.deviceId = deviceId;
    sections.auralisUpdateCheck = ! imgId.empty();
    sections.softwareUpdateCheck = true;
    sections.userHrtfInfoFetch = true;
    sections.imgId = imgId;
    sections.auralisId = auralisId;
    sections.hrtfId = hrtfId;
    return call (StandinConstants::statusCheckPath, envelope (sections));
}

nlohmann::json StandinTestServer::pull (const std::string& deviceId) const
{
    Sections sections;
    sections.deviceId = deviceId;
    sections.updateInfo = true;
    return call (StandinConstants::pullClientPath, envelope (sections));
}

nlohmann::json StandinTestServer::qrCode() const
{
    return call (StandinConstants::qrCodeGeneratorPath, envelope ({}));
}

std::string StandinTestServer::operate (std::vector<std::string> arguments) const
{
    arguments.push_back ("--state");
    arguments.push_back (options.stateFolder.string());

    std::ostringstream out, err;
    const int exitCode = CommandLine::run (arguments, out, err);
    EXPECT_EQ (exitCode, 0) << arguments[0] << ": " << err.str();
    return out.str();
}
