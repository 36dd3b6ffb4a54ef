#include "support/StandinTestServer.h"
#include "support/TestFiles.h"

#include "StandinConstants.h"

#include <gtest/gtest.h>

using nlohmann::json;

namespace
{
bool endsWith (const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare (text.size() - end.size(), end.size(), end) == 0;
}

bool isPlainFileName (const std::string& name)
{
    return ! name.empty() && name.find_first_not_of ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-") == std::string::npos;
}
}

//==============================================================================
TEST (StatusCheck, NewDeviceGetsDefaultQuotasNoHrtfDataAndAnUpToDateProgram)
{
    StandinTestServer standin;

    const auto reply = standin.statusCheck ("device-A");
    EXPECT_EQ (reply["status_code"], 200);
    EXPECT_FALSE (reply["exec_id"].get<std::string>().empty());
    EXPECT_TRUE (reply["timestamp"].is_string());

    const auto& hrtf = reply["user_hrtf_info"];
    EXPECT_EQ (hrtf["hrtf_allowed"], StandinConstants::defaultHrtfAllowed);
    EXPECT_EQ (hrtf["hrtf_requested"], 0);
    EXPECT_EQ (hrtf["pull_allowed"], StandinConstants::defaultPullAllowed);
    EXPECT_EQ (hrtf["pull_requested"], 0);
    EXPECT_EQ (hrtf["status_code"], 401);
    EXPECT_EQ (hrtf["return_code"], 1);

    const auto& software = reply["software_update_info"];
    EXPECT_EQ (software["status_code"], 200);
    EXPECT_NE (software["return_code"], 1);
    EXPECT_EQ (software["latest_release_version"], "0.0.10");
    EXPECT_EQ (software["force_update"], 0);

    // Without an image id the program sends no "auralis_update_check".
    EXPECT_FALSE (reply.contains ("auralis_update_info"));

    // The first-run software check asks for nothing else.
    StandinTestServer::Sections softwareOnly;
    softwareOnly.deviceId = "device-A";
    softwareOnly.softwareUpdateCheck = true;
    const auto softwareReply = standin.call (StandinConstants::statusCheckPath, StandinTestServer::envelope (softwareOnly));
    EXPECT_EQ (softwareReply["status_code"], 200);
    EXPECT_TRUE (softwareReply.contains ("software_update_info"));
    EXPECT_FALSE (softwareReply.contains ("user_hrtf_info"));
}

TEST (QrCode, IsBoundToTheLatestCheckedDeviceAndLeadsToItsUploadPage)
{
    StandinTestServer standin;

    // Nobody has checked in yet: there is no account to bind a code to.
    const auto refused = standin.qrCode();
    EXPECT_NE (refused["status_code"], 200);
    EXPECT_FALSE (refused["message"].get<std::string>().empty());
    EXPECT_FALSE (refused.contains ("qr_image_url"));

    standin.statusCheck ("device-A");
    standin.statusCheck ("device-B");

    const auto reply = standin.qrCode();
    ASSERT_EQ (reply["status_code"], 200);

    const auto picture = standin.get (standin.pathOf (reply["qr_image_url"]));
    ASSERT_TRUE (picture);
    EXPECT_EQ (picture->status, 200);
    EXPECT_EQ (picture->get_header_value ("Content-Type"), "image/png");
    EXPECT_EQ (picture->get_header_value ("Content-Length"), std::to_string (picture->body.size()));

    const auto uploadAddress = TestFiles::decodeQrCode (picture->body);
    ASSERT_FALSE (uploadAddress.empty()) << "the picture is not a readable QR code";
    const auto uploadPath = standin.pathOf (uploadAddress);
    EXPECT_EQ (uploadPath.rfind (StandinConstants::uploadPagePrefix, 0), 0u) << uploadAddress;

    const auto page = standin.get (uploadPath);
    ASSERT_TRUE (page);
    EXPECT_EQ (page->status, 200);
    EXPECT_NE (page->body.find ("type=\"file\""), std::string::npos);

    const auto client = standin.client();
    const auto upload = TestFiles::uploadPhoto (*client, uploadPath, TestFiles::minimalJpeg (640, 480), "ear.jpg", "image/jpeg");
    ASSERT_TRUE (upload);
    EXPECT_EQ (upload->status, 200) << upload->body;

    EXPECT_EQ (standin.statusCheck ("device-B")["user_hrtf_info"]["hrtf_requested"], 1);
    EXPECT_EQ (standin.statusCheck ("device-A")["user_hrtf_info"]["hrtf_requested"], 0);
}

TEST (Pull, HandsOutDataSetsNewestLastWithServedDataAndCountsAgainstTheQuota)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");

    const auto nothingYet = standin.pull ("device-A");
    EXPECT_NE (nothingYet["status_code"], 200);
    EXPECT_FALSE (nothingYet["message"].get<std::string>().empty());

    standin.operate ({ "upload", "device-A" });
    standin.operate ({ "upload", "device-A" });
    standin.operate ({ "quota", "device-A", "--pull-allowed", "2" });

    const auto first = standin.pull ("device-A");
    ASSERT_EQ (first["status_code"], 200);
    ASSERT_EQ (first["urls"].size(), 2u);

    const auto& newest = first["urls"].back();
    EXPECT_TRUE (endsWith (newest["img_id"], "_2")) << newest;
    EXPECT_TRUE (endsWith (first["urls"][0]["img_id"], "_1")) << first["urls"][0];
    EXPECT_TRUE (isPlainFileName (newest["hrtf_id"])) << newest;
    EXPECT_NE (newest["hrtf_id"], first["urls"][0]["hrtf_id"]);
    EXPECT_FALSE (newest["auralis_id"].get<std::string>().empty());

    const auto data = standin.get (standin.pathOf (newest["hrtf_url"]));
    ASSERT_TRUE (data);
    EXPECT_EQ (data->status, 200);
    EXPECT_EQ (data->get_header_value ("Content-Length"), std::to_string (data->body.size()));
    EXPECT_EQ (data->body, TestFiles::read (AURALIS_STANDIN_SOFA_FILE));

    const auto second = standin.pull ("device-A");
    EXPECT_EQ (second["status_code"], 200);
    EXPECT_EQ (standin.statusCheck ("device-A")["user_hrtf_info"]["pull_requested"], 2);

    const auto beyond = standin.pull ("device-A");
    EXPECT_EQ (beyond["status_code"], 403);
    EXPECT_EQ (beyond["return_code"], 3);
    EXPECT_FALSE (beyond.contains ("urls"));
    EXPECT_EQ (standin.statusCheck ("device-A")["user_hrtf_info"]["pull_requested"], 2);

    const auto unknown = standin.get ("/hrtf/hrtf_0000000000000000");
    ASSERT_TRUE (unknown);
    EXPECT_EQ (unknown->status, 404);
}

TEST (AuralisUpdate, AnnouncedWhileADataSetNewerThanTheLastPullWaits)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");
    standin.operate ({ "upload", "device-A" });

    // A profile registered on this machine, holding no HRTF yet.
    const auto waiting = standin.statusCheck ("device-A", "img_x_0", "auralis_x", "hrtf_x");
    EXPECT_EQ (waiting["auralis_update_info"]["status_code"], 200);
    EXPECT_NE (waiting["auralis_update_info"]["return_code"], 4);
    EXPECT_EQ (waiting["user_hrtf_info"]["status_code"], 200);

    const auto pulled = standin.pull ("device-A")["urls"].back();
    const auto upToDate = standin.statusCheck ("device-A", pulled["img_id"], pulled["auralis_id"], pulled["hrtf_id"]);
    EXPECT_EQ (upToDate["auralis_update_info"]["status_code"], 200);
    EXPECT_EQ (upToDate["auralis_update_info"]["return_code"], 4);

    standin.operate ({ "upload", "device-A" });
    const auto newer = standin.statusCheck ("device-A", pulled["img_id"], pulled["auralis_id"], pulled["hrtf_id"]);
    EXPECT_EQ (newer["auralis_update_info"]["status_code"], 200);
    EXPECT_NE (newer["auralis_update_info"]["return_code"], 4);
    EXPECT_EQ (newer["user_hrtf_info"]["hrtf_requested"], 2);

    standin.operate ({ "hold-updates", "device-A", "on" });
    const auto held = standin.statusCheck ("device-A", pulled["img_id"], pulled["auralis_id"], pulled["hrtf_id"]);
    EXPECT_EQ (held["auralis_update_info"]["status_code"], 200);
    EXPECT_NE (held["auralis_update_info"]["return_code"], 4);
    EXPECT_EQ (held["auralis_update_info"]["message"], "Auralis update unavailable!");
}

TEST (SoftwareUpdate, FollowsTheOperatorsOptionalForcedAndUnsupportedReleases)
{
    StandinTestServer standin;

    standin.operate ({ "software-update", "--latest", "0.0.11", "--notes", "Faster downloads.", "--url", "https://127.0.0.1/get" });
    auto info = standin.statusCheck ("device-A")["software_update_info"];
    EXPECT_EQ (info["status_code"], 200);
    EXPECT_EQ (info["return_code"], 1);
    EXPECT_EQ (info["latest_release_version"], "0.0.11");
    EXPECT_EQ (info["release_notes"], "Faster downloads.");
    EXPECT_EQ (info["download_url"], "https://127.0.0.1/get");
    EXPECT_EQ (info["force_update"], 0);

    standin.operate ({ "software-update", "--forced" });
    EXPECT_EQ (standin.statusCheck ("device-A")["software_update_info"]["force_update"], 1);

    standin.operate ({ "software-update", "--optional", "--unsupported-below", "0.0.11" });
    info = standin.statusCheck ("device-A")["software_update_info"];
    EXPECT_EQ (info["status_code"], 403);
    EXPECT_EQ (info["return_code"], 1);
    EXPECT_FALSE (info["download_url"].get<std::string>().empty());

    // Versions compare part by part as numbers: 0.0.9 < 0.0.10 < 0.0.11 < 0.0.12.
    auto infoFor = [&standin] (const std::string& version)
    {
        StandinTestServer::Sections sections;
        sections.deviceId = "device-A";
        sections.softwareUpdateCheck = true;
        sections.version = version;
        return standin.call (StandinConstants::statusCheckPath, StandinTestServer::envelope (sections))["software_update_info"];
    };

    EXPECT_EQ (infoFor ("0.0.9")["status_code"], 403);

    info = infoFor ("0.0.12");
    EXPECT_EQ (info["status_code"], 200);
    EXPECT_NE (info["return_code"], 1);
    EXPECT_EQ (info["force_update"], 0);

    standin.operate ({ "software-update", "--none" });
    info = standin.statusCheck ("device-A")["software_update_info"];
    EXPECT_EQ (info["status_code"], 200);
    EXPECT_NE (info["return_code"], 1);

    const auto page = standin.get (standin.pathOf (info["download_url"]));
    ASSERT_TRUE (page);
    EXPECT_EQ (page->status, 200);
}

TEST (Downloads, PluginScreenshotIsServedWholeWithItsLength)
{
    StandinTestServer standin;

    const auto picture = standin.get (StandinConstants::screenshotPath);
    ASSERT_TRUE (picture);
    EXPECT_EQ (picture->status, 200);
    EXPECT_EQ (picture->get_header_value ("Content-Length"), std::to_string (picture->body.size()));
    EXPECT_EQ (TestFiles::pngSize (picture->body), std::make_pair (554, 563));
}

TEST (Operator, RefusalAndResetReachTheRunningService)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");
    standin.operate ({ "upload", "latest" });

    standin.operate ({ "refuse", "device-A", "Account suspended." });
    const auto refused = standin.statusCheck ("device-A");
    EXPECT_EQ (refused["status_code"], 403);
    EXPECT_EQ (refused["message"], "Account suspended.");
    EXPECT_NE (standin.pull ("device-A")["status_code"], 200);
    EXPECT_NE (standin.qrCode()["status_code"], 200);

    standin.operate ({ "refuse", "device-A", "--clear" });
    EXPECT_EQ (standin.statusCheck ("device-A")["status_code"], 200);

    standin.operate ({ "reset", "device-A" });
    const auto reset = standin.statusCheck ("device-A")["user_hrtf_info"];
    EXPECT_EQ (reset["hrtf_requested"], 0);
    EXPECT_EQ (reset["status_code"], 401);
    EXPECT_EQ (reset["return_code"], 1);
}
