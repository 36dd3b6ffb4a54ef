#include "ExpectedEnvelope.h"
#include "ServiceTestFixture.h"

#include "service/DownloadImageThread.h"
#include "service/PictureDecoder.h"
#include "service/QrCodeGeneratorThread.h"
#include "support/PeakMemory.h"
#include "support/TestPictures.h"

namespace
{
/** A picture of about `size` bytes: a PNG of noise. */
juce::MemoryBlock pictureBytes (size_t size)
{
    juce::Random random (42);
    const auto side = juce::jmax (4, (int) std::sqrt ((double) size / 3.0));
    juce::Image image (juce::Image::RGB, side, side, false);

    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixelAt (x, y, juce::Colour ((juce::uint32) random.nextInt() | 0xff000000));

    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

const juce::Point<int> qrLimit = PictureDecoder::largestSizeFor ({ 0, 0, 172, 172 });

juce::Point<int> sizeOf (const juce::Image& image)
{
    return { image.getWidth(), image.getHeight() };
}

juce::Point<int> sizeOf (const juce::MemoryBlock& picture)
{
    return sizeOf (juce::ImageFileFormat::loadFrom (picture.getData(), picture.getSize()));
}

struct QrResult
{
    juce::String execId, message;
    int status = 0, code = 0;
    juce::Image image;
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
    worker.largestPicture = qrLimit;
    QrResult result;
    std::atomic<int> deliveries { 0 };
    worker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message, const juce::Image& image)
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
    EXPECT_EQ (sizeOf (result.image), sizeOf (picture));
    EXPECT_TRUE (server.lastRequestFor ("/qr/1.png").overTls);
    EXPECT_EQ (server.countRequests ("/qr/1.png"), 1);

    const auto request = server.lastRequestFor ("/" + Endpoints::qrCode);
    EXPECT_EQ (request.query, "client_name=korvane_eval_qr_code");
    EXPECT_EQ (request.getBodyText(), ExpectedEnvelope::with ({}));
}

TEST_F (ImageWorkers, PicturesAreTriedUntilOneArrivesWholeAtMostFiveTimes)
{
    // The first 600 bytes of a longer picture, announced as 1000.
    server.serve ("GET", "/short.png", TestHttpResponse::bytes (TestPictures::truncated (pictureBytes (1200), 600), "image/png").withAnnouncedLength (1000));
    server.serve ("GET", "/unsized.png", TestHttpResponse::bytes (pictureBytes (3000), "image/png").withChunkedBody());
    server.serve ("GET", "/whole.png", TestHttpResponse::bytes (pictureBytes (40000), "image/png"));
    startServer();
    serveReply (Endpoints::qrCode, R"({"status_code": 200, "qr_image_url": ")" + server.urlFor ("/short.png") + "\"}");

    QrCodeGeneratorThread qrWorker;
    qrWorker.largestPicture = qrLimit;
    QrResult qr;
    std::atomic<int> deliveries { 0 };
    qrWorker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message, const juce::Image& image)
    {
        qr = { execId, message, status, code, image };
        ++deliveries;
    };

    qrWorker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries));
    EXPECT_EQ (qr.status, 200);
    EXPECT_FALSE (qr.image.isValid());
    EXPECT_EQ (server.countRequests ("/short.png"), 5);

    // Without a length no attempt is complete: five attempts of five
    // connections each, and the bytes of the last.
    DownloadImageThread imageWorker;
    imageWorker.url = server.urlFor ("/unsized.png");
    imageWorker.largestPicture = qrLimit;
    bool success = true;
    juce::Image picture;
    imageWorker.onResult = [&] (bool ok, const juce::Image& image)
    {
        success = ok;
        picture = image;
        ++deliveries;
    };

    imageWorker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries, 2));
    EXPECT_FALSE (success);
    EXPECT_FALSE (picture.isValid());
    EXPECT_EQ (server.countRequests ("/unsized.png"), 25);

    // A whole picture ends the attempts at once.
    imageWorker.url = server.urlFor ("/whole.png");
    imageWorker.startThread();
    ASSERT_TRUE (waitForDeliveries (deliveries, 3));
    EXPECT_TRUE (success);
    EXPECT_EQ (sizeOf (picture), sizeOf (pictureBytes (40000)));
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
    worker.onResult = [&] (const juce::String& execId, int status, int code, const juce::String& message, const juce::Image& image)
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
    EXPECT_FALSE (results[0].image.isValid());
    EXPECT_FALSE (results[1].image.isValid());
    EXPECT_EQ (results[2].status, -1);
    EXPECT_EQ (results[2].code, -1);
    EXPECT_EQ (server.countRequests ("/qr.png"), 0);
}

TEST_F (ImageWorkers, HostilePicturesAreRefusedWithinBoundedMemory)
{
    const auto table = TestPictures::hostileTable (qrLimit);

    for (size_t i = 0; i < table.size(); ++i)
        server.serve ("GET", "/hostile/" + juce::String ((int) i), TestHttpResponse::bytes (table[i].bytes, "image/png"));

    // Larger than any picture may be: refused by its announced length.
    server.serve ("GET", "/huge-download", TestHttpResponse::bytes (pictureBytes (3000)).withBodyRepeatedTo (PictureDecoder::maxPictureBytes + 1));
    startServer();

    const auto peakBefore = PeakMemory::residentMegabytes();

    QrCodeGeneratorThread qrWorker;
    qrWorker.largestPicture = qrLimit;
    DownloadImageThread imageWorker;
    imageWorker.largestPicture = qrLimit;

    std::atomic<int> deliveries { 0 };
    juce::Image qrImage, picture;
    bool success = true;
    qrWorker.onResult = [&] (const juce::String&, int, int, const juce::String&, const juce::Image& image)
    {
        qrImage = image;
        ++deliveries;
    };
    imageWorker.onResult = [&] (bool ok, const juce::Image& image)
    {
        success = ok;
        picture = image;
        ++deliveries;
    };

    const auto check = [&] (const juce::String& what, const juce::String& path)
    {
        SCOPED_TRACE (what);
        serveReply (Endpoints::qrCode, R"({"status_code": 200, "qr_image_url": ")" + server.urlFor (path) + "\"}");
        qrImage = juce::Image (juce::Image::RGB, 1, 1, false);
        picture = qrImage;

        const auto before = deliveries.load();
        qrWorker.startThread();
        ASSERT_TRUE (waitForDeliveries (deliveries, before + 1));
        imageWorker.url = server.urlFor (path);
        imageWorker.startThread();
        ASSERT_TRUE (waitForDeliveries (deliveries, before + 2));

        EXPECT_FALSE (qrImage.isValid());
        EXPECT_FALSE (picture.isValid());
        EXPECT_FALSE (success);
    };

    for (size_t i = 0; i < table.size(); ++i)
        check (table[i].what, "/hostile/" + juce::String ((int) i));

    check ("a download larger than any picture", "/huge-download");

    // The table's declared sizes would take gigabytes; a picture's cap, a few
    // megabytes.
    if (PeakMemory::tellsWhatTheCodeHolds())
    {
        EXPECT_LT (PeakMemory::residentMegabytes() - peakBefore, 64);
    }
}
