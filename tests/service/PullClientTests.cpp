#include "ExpectedEnvelope.h"
#include "ServiceTestFixture.h"

#include "service/PullClientThread.h"

namespace
{
juce::MemoryBlock hrtfBytes (size_t size, int seed)
{
    juce::MemoryBlock block (size);

    for (size_t i = 0; i < size; ++i)
        block[i] = (char) (i * 13 + (size_t) seed);

    return block;
}

juce::String entry (const juce::String& hrtfId, const juce::String& url, const juce::String& imgId)
{
    return "{\"hrtf_id\": \"" + hrtfId + "\", \"hrtf_url\": \"" + url + "\", \"img_id\": \"" + imgId + "\", \"auralis_id\": \"aur_" + hrtfId + "\"}";
}

juce::String pullReply (const juce::StringArray& entries)
{
    return R"({"exec_id": "p1", "status_code": 200, "return_code": 0, "message": "ready", "urls": [)" + entries.joinIntoString (", ") + "]}";
}

struct PullResult
{
    juce::String execId, message;
    int status = 0, code = 0;
    bool profileUpdated = true, fileWritten = true;
    ProfileRecord recordInCallback;
    juce::MemoryBlock fileInCallback;
};

juce::StringArray folderContents (const juce::File& folder)
{
    juce::StringArray names;

    for (const auto& file : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
        names.add (file.getFileName());

    names.sort (false);
    return names;
}
}

//==============================================================================
class PullClient : public ServiceTestFixture
{
protected:
    void SetUp() override
    {
        ServiceTestFixture::SetUp();

        if (IsSkipped())
            return;

        makeStore().mergeStatusReply ("Ann", juce::JSON::parse (R"({"status_code": 200, "timestamp": "t"})"));

        worker.profileName = "Ann";
        worker.store = store.get();
        worker.onResult = [this] (const juce::String& execId, int status, int code, const juce::String& message, bool profileUpdated, bool fileWritten)
        {
            PullResult result;
            result.execId = execId;
            result.message = message;
            result.status = status;
            result.code = code;
            result.profileUpdated = profileUpdated;
            result.fileWritten = fileWritten;
            store->findProfile ("Ann", result.recordInCallback);
            dataFolder.getChildFile (result.recordInCallback.hrtf_id).loadFileAsData (result.fileInCallback);
            results.push_back (result);
            ++deliveries;
        };
    }

    PullResult pull()
    {
        const auto expected = deliveries.load() + 1;
        worker.startThread();
        EXPECT_TRUE (waitForDeliveries (deliveries, expected));
        return results.empty() ? PullResult() : results.back();
    }

    juce::MemoryBlock fileBytes (const juce::String& name) const
    {
        juce::MemoryBlock block;
        dataFolder.getChildFile (name).loadFileAsData (block);
        return block;
    }

    PullClientThread worker;
    std::vector<PullResult> results;
    std::atomic<int> deliveries { 0 };
};

TEST_F (PullClient, DownloadsTheLastEntryAndRecordsItBeforeDelivery)
{
    const auto data = hrtfBytes (100000, 3);
    server.serve ("GET", "/hrtf/3", TestHttpResponse::bytes (data));
    startServer();

    // The newest entry's address is plain http on the TLS server's port.
    const auto plainOrigin = "http://127.0.0.1:" + juce::String (server.getPort());
    serveReply (Endpoints::pullClient,
                pullReply ({ entry ("h_1", server.urlFor ("/hrtf/1"), "img_1"),
                             entry ("h_2", server.urlFor ("/hrtf/2"), "img_2"),
                             entry ("h_3", plainOrigin + "/hrtf/3", "img_3") }));

    const auto result = pull();
    EXPECT_EQ (result.execId, "p1");
    EXPECT_EQ (result.status, 200);
    EXPECT_EQ (result.message, "ready");
    EXPECT_TRUE (result.fileWritten);
    EXPECT_TRUE (result.profileUpdated);

    EXPECT_EQ (result.recordInCallback.hrtf_id, "h_3");
    EXPECT_EQ (result.recordInCallback.hrtf_url, plainOrigin + "/hrtf/3");
    EXPECT_EQ (result.recordInCallback.img_id, "img_3");
    EXPECT_EQ (result.recordInCallback.auralis_id, "aur_h_3");
    EXPECT_EQ (result.fileInCallback, data);
    EXPECT_EQ (fileBytes ("h_3_"), data);

    EXPECT_EQ (server.countRequests ("/hrtf/3"), 1);
    EXPECT_TRUE (server.lastRequestFor ("/hrtf/3").overTls);
    EXPECT_EQ (server.countRequests ("/hrtf/1") + server.countRequests ("/hrtf/2"), 0);

    const auto request = server.lastRequestFor ("/" + Endpoints::pullClient);
    EXPECT_EQ (request.query, "client_name=korvane_eval_qr_code");
    EXPECT_EQ (request.getBodyText(), ExpectedEnvelope::with ({ ExpectedEnvelope::deviceInfo(), ExpectedEnvelope::updateInfo }));
}

TEST_F (PullClient, PullingTheRecordedHrtfAgainRewritesTheFileOnly)
{
    server.serve ("GET", "/hrtf/7", TestHttpResponse::bytes (hrtfBytes (5000, 1)));
    startServer();
    serveReply (Endpoints::pullClient, pullReply ({ entry ("h_7", server.urlFor ("/hrtf/7"), "img_1") }));

    ASSERT_TRUE (pull().profileUpdated);

    const auto newer = hrtfBytes (6000, 2);
    server.serve ("GET", "/hrtf/7", TestHttpResponse::bytes (newer));

    const auto again = pull();
    EXPECT_TRUE (again.fileWritten);
    EXPECT_FALSE (again.profileUpdated);
    EXPECT_EQ (fileBytes ("h_7"), newer);
    EXPECT_EQ (fileBytes ("h_7_"), newer);
}

TEST_F (PullClient, FailedDownloadsLeaveTheFolderAsItWas)
{
    // The plug-in may be reading an earlier download of the same id.
    const auto earlier = hrtfBytes (4000, 9);
    ASSERT_TRUE (dataFolder.getChildFile ("h_old").replaceWithData (earlier.getData(), earlier.getSize()));

    std::atomic<bool> fileVisibleDuringDownload { false };
    const auto newFile = dataFolder.getChildFile ("h_new");
    server.on ("GET", "/hrtf/new", [&] (const TestHttpRequest&)
               {
                   fileVisibleDuringDownload = fileVisibleDuringDownload || newFile.exists();
                   return TestHttpResponse::bytes (hrtfBytes (4000, 1)).withChunkedBody(); });
    server.serve ("GET", "/hrtf/short", TestHttpResponse::bytes (hrtfBytes (300000, 1)).withAnnouncedLength (400000));
    server.serve ("GET", "/hrtf/chunked", TestHttpResponse::bytes (hrtfBytes (4000, 1)).withChunkedBody());

    // An error page with a length of its own, as a misconfigured server sends.
    server.serve ("GET", "/hrtf/error", TestHttpResponse::bytes (hrtfBytes (4000, 1)).withStatus (404));
    startServer();

    serveReplies (Endpoints::pullClient,
                  { pullReply ({ entry ("h_old", server.urlFor ("/hrtf/short"), "img_1") }),
                    pullReply ({ entry ("h_old", server.urlFor ("/hrtf/chunked"), "img_1") }),
                    pullReply ({ entry ("h_old", server.urlFor ("/hrtf/missing"), "img_1") }),
                    pullReply ({ entry ("h_old", server.urlFor ("/hrtf/error"), "img_1") }),
                    pullReply ({ entry ("h_new", server.urlFor ("/hrtf/new"), "img_1") }) });

    const auto before = folderContents (dataFolder);

    for (int run = 0; run < 5; ++run)
    {
        const auto result = pull();
        EXPECT_EQ (result.status, 200);
        EXPECT_FALSE (result.fileWritten) << run;
        EXPECT_FALSE (result.profileUpdated) << run;
    }

    // A download without a length is never taken, even when it arrived whole.
    EXPECT_EQ (server.countRequests ("/hrtf/new"), 5);
    EXPECT_FALSE (fileVisibleDuringDownload);
    EXPECT_EQ (fileBytes ("h_old"), earlier);
    EXPECT_EQ (folderContents (dataFolder), before);

    ProfileRecord record;
    ASSERT_TRUE (store->findProfile ("Ann", record));
    EXPECT_EQ (record.hrtf_id, "");
}

TEST_F (PullClient, UnsafeIdsWriteNothingAnywhere)
{
    server.serve ("GET", "/hrtf/x", TestHttpResponse::bytes (hrtfBytes (1000, 4)));
    startServer();

    const auto outside = dataFolder.getParentDirectory().getChildFile ("evil-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt()));
    serveReplies (Endpoints::pullClient,
                  { pullReply ({ entry ("../" + outside.getFileName(), server.urlFor ("/hrtf/x"), "img_1") }),
                    pullReply ({ entry ("Presets", server.urlFor ("/hrtf/x"), "img_1") }),
                    pullReply ({ entry ("", server.urlFor ("/hrtf/x"), "img_1") }),
                    pullReply ({ entry (outside.getFullPathName(), server.urlFor ("/hrtf/x"), "img_1") }) });

    const auto before = folderContents (dataFolder);
    const auto bankBefore = fileBytes ("Presets");

    for (int run = 0; run < 4; ++run)
    {
        const auto result = pull();
        EXPECT_EQ (result.status, 200);
        EXPECT_FALSE (result.fileWritten) << run;
        EXPECT_FALSE (result.profileUpdated) << run;
    }

    EXPECT_EQ (server.countRequests ("/hrtf/x"), 0);
    EXPECT_FALSE (outside.exists());
    EXPECT_EQ (folderContents (dataFolder), before);
    EXPECT_EQ (fileBytes ("Presets"), bankBefore);
}

TEST_F (PullClient, RefusalsAndUnusableListsDownloadNothing)
{
    server.serve ("GET", "/hrtf/x", TestHttpResponse::bytes (hrtfBytes (1000, 4)));
    startServer();
    const auto anEntry = entry ("h_x", server.urlFor ("/hrtf/x"), "img_1");
    serveReplies (Endpoints::pullClient,
                  { R"({"status_code": 403, "return_code": 3, "message": "used up", "urls": [)" + anEntry + "]}",
                    pullReply ({}),
                    pullReply ({ anEntry, "\"h_y\"" }),
                    R"({"status_code": 200, "urls": )" + anEntry + "}" });

    const auto refused = pull();
    EXPECT_EQ (refused.status, 403);
    EXPECT_EQ (refused.code, 3);
    EXPECT_EQ (refused.message, "used up");

    for (int run = 0; run < 3; ++run)
        EXPECT_EQ (pull().status, 200);

    for (const auto& result : results)
    {
        EXPECT_FALSE (result.fileWritten);
        EXPECT_FALSE (result.profileUpdated);
    }

    EXPECT_EQ (server.countRequests ("/hrtf/x"), 0);

    // Without a store nothing is asked at all.
    const auto requestsBefore = server.getRequests().size();
    worker.store = nullptr;
    const auto withoutStore = pull();
    EXPECT_EQ (withoutStore.status, -1);
    EXPECT_EQ (withoutStore.code, -1);
    EXPECT_EQ (server.getRequests().size(), requestsBefore);
}
