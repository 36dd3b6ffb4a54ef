#include "ExpectedEnvelope.h"
#include "ServiceTestFixture.h"

#include "service/DownloadImageThread.h"
#include "service/QrCodeGeneratorThread.h"

namespace
{
juce::MemoryBlock pictureBytes (size_t size)
{
    juce::MemoryBlock block (size);

    for (size_t i = 0; i < size; ++i)
        block[i] = (char) (i * 31 + 5);

    return block;
}

struct QrResult
{
    juce::String execId, message;
    int status = 0, code = 0;
    juce::MemoryBlock image;
};
}

//==============================================================================
using ImageWorkers = ServiceTestFixture;

TEST_F (ImageWorkers, QrPictureIsFetchedOverTlsWhateverTheReplyStatus)
{
    const auto picture = pictureBytes (5000);
    server.serve ("GET", "/qr/1.png", TestHttpResponse::bytes (picture, "image/png"));
    startServer();

    // A plain-http address, on the TLS server's port.
    serveReply (Endpoints::qrCode, R"({"exec_id": "q1", "status_code": 403, "return_code": 2, "message": "limit", "qr_image_url": "http://127.0.0.1:)" + juce::String (server.getPort()) + "/qr/1.png\"}");

    QrCodeGeneratorThread worker;
    QrResult result;
    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message, const juce::MemoryBlock& image)
    {
        result = { execId, message, status, code, image };
        ++deliveries;
    };

    worker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries));

    EXPECT_EQ (result.execId, "q1");
    EXPECT_EQ (result.status, 403);
    EXPECT_EQ (result.code, 2);
    EXPECT_EQ (result.message, "limit");
    EXPECT_EQ (result.image, picture);
    EXPECT_TRUE (server.lastRequestFor ("/qr/1.png").overTls);
    EXPECT_EQ (server.countRequests ("/qr/1.png"), 1);

    const auto request = server.lastRequestFor ("/" + Endpoints::qrCode);
    EXPECT_EQ (request.query, "client_name=korvane_eval_qr_code");
    EXPECT_EQ (request.getBodyText(), ExpectedEnvelope::with ({}));
}

TEST_F (ImageWorkers, PicturesAreTriedUntilOneArrivesWholeAtMostFiveTimes)
{
    server.serve ("GET", "/short.png", TestHttpResponse::bytes (pictureBytes (600), "image/png").withAnnouncedLength (1000));
    server.serve ("GET", "/unsized.png", TestHttpResponse::bytes (pictureBytes (3000), "image/png").withChunkedBody());
    server.serve ("GET", "/whole.png", TestHttpResponse::bytes (pictureBytes (40000), "image/png"));
    startServer();
    serveReply (Endpoints::qrCode, R"({"status_code": 200, "qr_image_url": ")" + server.urlFor ("/short.png") + "\"}");

    QrCodeGeneratorThread qrWorker;
    QrResult qr;
    std::atomic<int> deliveries { 0 };
    qrWorker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message, const juce::MemoryBlock& image)
    {
        qr = { execId, message, status, code, image };
        ++deliveries;
    };

    qrWorker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries));
    EXPECT_EQ (qr.status, 200);
    EXPECT_LE (qr.image.getSize(), 600u);
    EXPECT_EQ (server.countRequests ("/short.png"), 5);

    // Without a length no attempt is complete: five attempts of five
    // connections each, and the bytes of the last.
    DownloadImageThread imageWorker;
    imageWorker.url = server.urlFor ("/unsized.png");
    bool success = true;
    juce::MemoryBlock bytes;
    imageWorker.onResult = [&] (bool ok, const juce::MemoryBlock& data)
    {
        success = ok;
        bytes = data;
        ++deliveries;
    };

    imageWorker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries, 2));
    EXPECT_FALSE (success);
    EXPECT_EQ (bytes, pictureBytes (3000));
    EXPECT_EQ (server.countRequests ("/unsized.png"), 25);

    // A whole picture ends the attempts at once.
    imageWorker.url = server.urlFor ("/whole.png");
    imageWorker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries, 3));
    EXPECT_TRUE (success);
    EXPECT_EQ (bytes, pictureBytes (40000));
    EXPECT_EQ (server.countRequests ("/whole.png"), 1);
}

TEST_F (ImageWorkers, QrReplyWithoutAWebAddressFetchesNothing)
{
    server.serve ("GET", "/qr.png", TestHttpResponse::bytes (pictureBytes (10), "image/png"));
    startServer();
    serveReplies (Endpoints::qrCode,
                  { R"({"status_code": 200, "message": "no picture"})",
                    R"({"status_code": 200, "qr_image_url": "ftp://127.0.0.1/qr.png"})",
                    "[1]" });

    QrCodeGeneratorThread worker;
    std::vector<QrResult> results;
    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message, const juce::MemoryBlock& image)
    {
        results.push_back ({ execId, message, status, code, image });
        ++deliveries;
    };

    for (int run = 1; run <= 3; ++run)
    {
        worker.startThread();
        ASSERT_TRUE (waitForDeliveries (deliveries, run));
    }

    EXPECT_EQ (results[0].status, 200);
    EXPECT_EQ (results[0].message, "no picture");
    EXPECT_TRUE (results[0].image.isEmpty());
    EXPECT_TRUE (results[1].image.isEmpty());
    EXPECT_EQ (results[2].status, -1);
    EXPECT_EQ (results[2].code, -1);
    EXPECT_EQ (server.countRequests ("/qr.png"), 0);
}
