#include "ExpectedEnvelope.h"
#include "ServiceTestFixture.h"

#include "service/BackgroundStatusCheckThread.h"
#include "service/SoftwareCheckThread.h"
#include "service/StatusCheckThread.h"

#include <limits>

namespace
{
struct StatusResult
{
    juce::String execId, message;
    int statusCode = 0, returnCode = 0;
    bool profileFoundInCallback = false;
    ProfileRecord record;
};

const juce::String statusReply { R"({"exec_id": "x1", "status_code": 200, "return_code": 0, "message": "ok", "timestamp": "t1",
        "user_hrtf_info": {"hrtf_allowed": 3, "hrtf_requested": 1, "pull_allowed": 5, "pull_requested": 0,
                           "status_code": 200, "return_code": 0, "message": "m"}})" };
}

//==============================================================================
using StatusCheck = ServiceTestFixture;

TEST_F (StatusCheck, NewNameIsCheckedWithoutUpdateCheckAndMergedBeforeDelivery)
{
    serveReply (Endpoints::statusCheck, statusReply);
    startServer();
    auto& presets = makeStore();

    StatusCheckThread worker;
    worker.profileName = "Ann";
    worker.store = &presets;

    StatusResult result;
    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message)
    {
        result.execId = execId;
        result.message = message;
        result.statusCode = status;
        result.returnCode = code;
        result.profileFoundInCallback = presets.findProfile ("Ann", result.record);
        ++deliveries;
    };

    worker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries));

    EXPECT_EQ (result.execId, "x1");
    EXPECT_EQ (result.statusCode, 200);
    EXPECT_EQ (result.returnCode, 0);
    EXPECT_EQ (result.message, "ok");
    ASSERT_TRUE (result.profileFoundInCallback);
    EXPECT_EQ (result.record.hrtf_allowed, 3);
    EXPECT_EQ (result.record.timestamp, "t1");

    const auto request = server.lastRequestFor ("/" + Endpoints::statusCheck);
    EXPECT_EQ (request.query, "client_name=korvane_eval_qr_code");
    EXPECT_EQ (request.getBodyText(),
               ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(), ExpectedEnvelope::softwareUpdateCheck, ExpectedEnvelope::userHrtfInfoFetch }));
}

TEST_F (StatusCheck, ProfileWithImageIdAsksForTheUpdateCheck)
{
    serveReply (Endpoints::statusCheck, statusReply);
    startServer();

    StatusCheckThread worker;
    worker.profileName = "Ann";
    worker.currentImgId = "img_2";
    worker.currentAuralisId = "aur_9";
    worker.currentHrtfId = "hrtf_5";

    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String&, int, int, const juce::String&)
    { ++deliveries; };
    worker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries));

    EXPECT_EQ (server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText(),
               ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(),
                                         ExpectedEnvelope::auralisUpdateCheck ("img_2", "aur_9", "hrtf_5"),
                                         ExpectedEnvelope::softwareUpdateCheck,
                                         ExpectedEnvelope::userHrtfInfoFetch }));
}

TEST_F (StatusCheck, NoUsableReplyDeliversMinusOneAndLeavesTheStoreAlone)
{
    server.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::text ("<html>maintenance</html>", "text/html", 503));
    startServer();
    auto& presets = makeStore();

    TestHttpsServer untrusted (TestHttpsServer::Certificate::selfSigned);
    untrusted.serve ("POST", "/" + Endpoints::statusCheck, TestHttpResponse::json (statusReply));
    ASSERT_TRUE (untrusted.start());

    StatusCheckThread worker;
    worker.profileName = "Ann";
    worker.store = &presets;

    StatusResult result;
    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message)
    {
        result.execId = execId;
        result.message = message;
        result.statusCode = status;
        result.returnCode = code;
        ++deliveries;
    };

    for (auto origin : { server.getOrigin(), untrusted.getOrigin() })
    {
        ServiceConstants::setServiceBaseAddressForTesting (origin);
        const auto expected = deliveries.load() + 1;
        worker.startThread();
        ASSERT_TRUE (waitForDeliveries (deliveries, expected));

        EXPECT_EQ (result.statusCode, -1) << origin;
        EXPECT_EQ (result.returnCode, -1);
        EXPECT_EQ (result.execId, "");
        EXPECT_EQ (result.message, "");
    }

    ProfileRecord record;
    EXPECT_FALSE (presets.findProfile ("Ann", record));
    EXPECT_FALSE (dataFolder.getChildFile ("Presets").exists());
    EXPECT_EQ (untrusted.getRequests().size(), 0u);
}

TEST_F (StatusCheck, BackgroundCheckReadsTheSavedProfileAndCreatesUnknownOnes)
{
    serveReply (Endpoints::statusCheck, statusReply);
    startServer();

    // The worker's store is loaded before another writes the profile to disk,
    // so only a fresh load finds its ids.
    auto& presets = makeStore();
    {
        PresetStore writer (dataFolder.getChildFile ("Presets"));
        writer.mergeStatusReply ("Bob", juce::JSON::parse (statusReply));
        writer.updateHrtfIds ("Bob", juce::JSON::parse (R"({"hrtf_id": "h_7", "hrtf_url": "u", "img_id": "img_4", "auralis_id": "a_7"})"));
    }

    BackgroundStatusCheckThread worker;
    worker.store = &presets;
    std::atomic<int> deliveries { 0 };
    int status = 0;
    worker.onResult = [&] (const juce::String&, int statusCode, int, const juce::String&)
    {
        status = statusCode;
        ++deliveries;
    };

    worker.profileName = "Bob";
    worker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries));
    EXPECT_EQ (status, 200);
    EXPECT_EQ (server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText(),
               ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(),
                                         ExpectedEnvelope::auralisUpdateCheck ("img_4", "a_7", "h_7"),
                                         ExpectedEnvelope::softwareUpdateCheck,
                                         ExpectedEnvelope::userHrtfInfoFetch }));

    worker.profileName = "Carol";
    worker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries, 2));
    EXPECT_EQ (server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText(),
               ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(), ExpectedEnvelope::softwareUpdateCheck, ExpectedEnvelope::userHrtfInfoFetch }));

    ProfileRecord carol;
    EXPECT_TRUE (presets.findProfile ("Carol", carol));
    EXPECT_EQ (carol.hrtf_allowed, 3);
}

//==============================================================================
namespace
{
struct SoftwareResult
{
    int status = 0, code = 0, updateStatus = 0, updateCode = 0;
    juce::String message, updateMessage, downloadUrl, releaseNotes, version;
    bool force = true;
};
}

TEST_F (StatusCheck, SoftwareCheckTakesTheSectionWheneverTheReplySucceeded)
{
    serveReplies (Endpoints::statusCheck,
                  { R"({"status_code": 200, "message": "ok", "software_update_info": {"status_code": 404, "return_code": 2, "message": "none",
                        "download_url": "https://dl.example/a", "release_notes": "notes", "latest_release_version": "0.1.0", "force_update": 2}})",
                    R"({"status_code": 200, "software_update_info": {"status_code": 200, "return_code": 1e308, "force_update": 1}})",
                    R"({"status_code": 403, "return_code": 5, "message": "refused", "software_update_info": {"status_code": 200, "return_code": 1,
                        "download_url": "https://dl.example/b", "force_update": 1}})" });
    startServer();

    SoftwareCheckThread worker;
    std::vector<SoftwareResult> results;
    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String&, int status, int code, int updateStatus, int updateCode, const juce::String& message, const juce::String& updateMessage, const juce::String& downloadUrl, const juce::String& notes, const juce::String& version, bool force)
    {
        results.push_back ({ status, code, updateStatus, updateCode, message, updateMessage, downloadUrl, notes, version, force });
        ++deliveries;
    };

    for (int run = 1; run <= 3; ++run)
    {
        worker.startThread();
        ASSERT_TRUE (waitForDeliveries (deliveries, run));
    }

    EXPECT_EQ (server.lastRequestFor ("/" + Endpoints::statusCheck).getBodyText(),
               ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(), ExpectedEnvelope::softwareUpdateCheck }));

    // The section's own status does not matter, and 2 is not compulsory.
    EXPECT_EQ (results[0].updateStatus, 404);
    EXPECT_EQ (results[0].updateCode, 2);
    EXPECT_EQ (results[0].updateMessage, "none");
    EXPECT_EQ (results[0].downloadUrl, "https://dl.example/a");
    EXPECT_EQ (results[0].releaseNotes, "notes");
    EXPECT_EQ (results[0].version, "0.1.0");
    EXPECT_FALSE (results[0].force);

    EXPECT_TRUE (results[1].force);
    EXPECT_EQ (results[1].updateCode, std::numeric_limits<int>::max()); // 1e308, not an undefined cast

    // A refused reply passes its own codes on and no section.
    EXPECT_EQ (results[2].status, 403);
    EXPECT_EQ (results[2].code, 5);
    EXPECT_EQ (results[2].message, "refused");
    EXPECT_EQ (results[2].updateStatus, -1);
    EXPECT_EQ (results[2].updateCode, -1);
    EXPECT_EQ (results[2].downloadUrl, "");
    EXPECT_FALSE (results[2].force);
}
