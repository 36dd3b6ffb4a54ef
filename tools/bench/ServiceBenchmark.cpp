#include "service/DownloadImageThread.h"
#include "service/PictureDecoder.h"
#include "service/ServiceClient.h"
#include "service/ServiceConstants.h"
#include "service/StatusCheckThread.h"
#include "store/PresetStore.h"
#include "support/MessageLoop.h"
#include "support/TestHttpsServer.h"
#include "support/TestPictures.h"

#include <juce_events/juce_events.h>

#include <algorithm>
#include <iostream>

#include <sys/resource.h>

// Measures the service client against the curl command line on the same
// loopback HTTPS resources in the same run, and prints the ratios:
//   - fetchUrlBytes throughput on a 100 MB resource (goal: at least 0.9x curl)
//   - the status-check round trip (goal: at most 1.5x curl)
//   - the peak memory the tests' table of hostile pictures takes through the
//     picture worker, over the idle process's (goal: at most +64 MB)
// Nothing is asserted: speed depends on the machine and its load.
//
// Other modes, for profiling one side alone:
//   --fetch N     N downloads of the 100 MB resource with fetchUrlBytes
//   --post N      N status-check requests with sendServiceRequest
//   --serve S     serve the resources for S seconds and print their address

namespace
{
constexpr size_t resourceBytes = 100 * 1000 * 1000;
constexpr int throughputRuns = 5;
constexpr int roundTripRuns = 15;

double nowMs() { return juce::Time::getMillisecondCounterHiRes(); }

struct Timings
{
    std::vector<double> ms;

    void add (double value) { ms.push_back (value); }
    double best() const { return *std::min_element (ms.begin(), ms.end()); }

    double median() const
    {
        auto sorted = ms;
        std::sort (sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

/** Runs curl with the arguments; returns the wall time in ms, or -1. */
double timeCurl (const juce::StringArray& arguments)
{
    juce::StringArray command { "curl", "--silent", "--show-error", "--fail", "--output", "/dev/null" };
    command.addArray (arguments);

    juce::ChildProcess curl;
    const auto start = nowMs();

    if (! curl.start (command) || ! curl.waitForProcessToFinish (120000) || curl.getExitCode() != 0)
        return -1.0;

    return nowMs() - start;
}

juce::String column (double value, int width = 9) { return juce::String (value, 1).paddedLeft (' ', width); }

void printRow (const juce::String& what, const Timings& ours, const Timings& curl, bool asThroughput, const juce::String& goal)
{
    const auto megabytes = (double) resourceBytes / 1.0e6;
    const auto show = [&] (double ms)
    { return asThroughput ? megabytes / (ms / 1000.0) : ms; };

    const auto ratioOf = [&] (double oursMs, double curlMs)
    { return asThroughput ? curlMs / oursMs : oursMs / curlMs; };

    std::cout << what.paddedRight (' ', 36)
              << column (show (ours.best())) << column (show (ours.median()))
              << column (show (curl.best())) << column (show (curl.median()))
              << "   " << juce::String (ratioOf (ours.best(), curl.best()), 2) << "x / "
              << juce::String (ratioOf (ours.median(), curl.median()), 2) << "x  " << goal << std::endl;
}

juce::String statusReply()
{
    return R"({"exec_id": "b1", "status_code": 200, "return_code": 0, "message": "ok", "timestamp": "t",
            "user_hrtf_info": {"hrtf_allowed": 3, "hrtf_requested": 1, "pull_allowed": 5, "pull_requested": 0, "status_code": 200, "return_code": 0, "message": "m"},
            "software_update_info": {"status_code": 404, "return_code": 0, "message": "current"}})";
}

/** The process's peak resident memory so far, in megabytes. */
double peakResidentMegabytes()
{
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    return (double) usage.ru_maxrss / 1024.0;
}

/** Every hostile picture of the tests' table through the picture worker, as
    the profile-loaded page fetches its picture: the growth of the peak
    resident memory over the idle process's, in megabytes. */
double hostilePictureGrowth()
{
    TestHttpsServer pictures;
    const auto table = TestPictures::hostileTable (PictureDecoder::largestSizeFor ({ 169, 254, 202, 201 }));

    for (size_t i = 0; i < table.size(); ++i)
        pictures.serve ("GET", "/hostile/" + juce::String ((int) i), TestHttpResponse::bytes (table[i].bytes, "image/png"));

    if (! pictures.start())
        return -1.0;

    const auto idle = peakResidentMegabytes();

    DownloadImageThread worker;
    worker.largestPicture = PictureDecoder::largestSizeFor ({ 169, 254, 202, 201 });
    int deliveries = 0;
    worker.onResult = [&] (bool, const juce::Image&)
    { ++deliveries; };

    for (size_t i = 0; i < table.size(); ++i)
    {
        worker.url = pictures.urlFor ("/hostile/" + juce::String ((int) i));
        worker.startThread();
        runMessageLoopUntil ([&]
                             { return deliveries > (int) i; },
                             60000);
    }

    return peakResidentMegabytes() - idle;
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    if (! TestHttpsServer::isAvailable())
    {
        std::cerr << TestHttpsServer::unavailableReason() << std::endl;
        return 1;
    }

    // First, while the process is idle and holds nothing large.
    const auto hostileGrowth = argc > 2 ? 0.0 : hostilePictureGrowth();

    auto resource = std::make_shared<juce::MemoryBlock> (resourceBytes);
    juce::Random (42).fillBitsRandomly (resource->getData(), resource->getSize());

    TestHttpsServer server;
    server.serve ("GET", "/bench/resource.bin", TestHttpResponse::shared (resource));
    server.serve ("GET", "/bench/one-byte.bin", TestHttpResponse::bytes (juce::MemoryBlock (1, true)));
    server.serve ("POST", "/status-check/v1.0", TestHttpResponse::json (statusReply()));

    if (! server.start())
    {
        std::cerr << "The loopback server did not start" << std::endl;
        return 1;
    }

    ServiceConstants::setServiceBaseAddressForTesting (server.getOrigin());
    const auto resourceAddress = server.urlFor ("/bench/resource.bin");
    const auto mode = argc > 2 ? juce::String (argv[1]) : juce::String();
    const auto count = argc > 2 ? juce::String (argv[2]).getIntValue() : 0;

    if (mode == "--serve")
    {
        std::cout << resourceAddress << std::endl;
        juce::Thread::sleep (count * 1000);
        return 0;
    }

    if (mode == "--fetch" || mode == "--post")
    {
        for (int i = 0; i < count; ++i)
        {
            int length = -1;
            const auto start = nowMs();

            if (mode == "--fetch")
                fetchUrlBytes (resourceAddress, length);
            else
                sendServiceRequest (ServiceConstants::statusCheckPath, {});

            std::cout << mode.substring (2) << ": " << (nowMs() - start) << " ms" << std::endl;
        }

        return 0;
    }

    //==============================================================================
    // Throughput, alternating the two so that both see the same machine load.
    Timings fetchOurs, fetchCurl, oneByteOurs, oneByteCurl;
    const auto oneByteAddress = server.urlFor ("/bench/one-byte.bin");

    for (int run = 0; run < throughputRuns; ++run)
    {
        int length = -1;
        auto start = nowMs();
        const auto bytes = fetchUrlBytes (resourceAddress, length);
        fetchOurs.add (nowMs() - start);

        if (bytes.getSize() != resourceBytes)
        {
            std::cerr << "fetchUrlBytes returned " << bytes.getSize() << " bytes" << std::endl;
            return 1;
        }

        fetchCurl.add (timeCurl ({ resourceAddress }));

        start = nowMs();
        fetchUrlBytes (oneByteAddress, length);
        oneByteOurs.add (nowMs() - start);
        oneByteCurl.add (timeCurl ({ oneByteAddress }));
    }

    //==============================================================================
    // Round trip: the status check as a page sees it (start to delivery on the
    // message thread, store merge included), the bare request, and curl
    // posting the same envelope with the same headers.
    const auto dataFolder = juce::File::createTempFile ("auralis-bench");
    dataFolder.createDirectory();

    Timings workerRoundTrip, requestRoundTrip, curlRoundTrip;

    {
        PresetStore store (dataFolder.getChildFile ("Presets"));
        StatusCheckThread worker;
        worker.profileName = "Bench";
        worker.store = &store;

        int deliveries = 0;
        worker.onResult = [&] (const juce::String&, int, int, const juce::String&)
        { ++deliveries; };

        const auto sections = StatusCheckThread::sectionsFor ({}, {}, {});
        const auto envelopeFile = dataFolder.getChildFile ("envelope.json");
        envelopeFile.replaceWithText (writeRequestEnvelope (sections));

        juce::StringArray curlArguments { "--request", "POST", "--data-binary", "@" + envelopeFile.getFullPathName() };

        for (auto& header : juce::StringArray::fromLines (ServiceConstants::requestHeaders))
            curlArguments.addArray ({ "--header", header });

        curlArguments.add (server.urlFor ("/" + ServiceConstants::statusCheckPath + ServiceConstants::clientName));

        for (int run = 0; run < roundTripRuns; ++run)
        {
            const auto expected = deliveries + 1;
            auto start = nowMs();
            worker.startThread();
            runMessageLoopUntil ([&]
                                 { return deliveries >= expected; },
                                 120000);
            workerRoundTrip.add (nowMs() - start);

            start = nowMs();
            sendServiceRequest (ServiceConstants::statusCheckPath, sections);
            requestRoundTrip.add (nowMs() - start);

            curlRoundTrip.add (timeCurl (curlArguments));
        }
    }

    dataFolder.deleteRecursively();

    //==============================================================================
    std::cout << "Service client against the curl command line, loopback HTTPS; curl's times include starting its process." << std::endl
              << "Ratio: ours / curl, for throughput (higher is better) and for times (lower is better); best run / median run." << std::endl
              << std::endl
              << juce::String().paddedRight (' ', 36) << "     ours    (med)     curl    (med)   ratio" << std::endl;

    printRow ("fetchUrlBytes 100 MB [MB/s]", fetchOurs, fetchCurl, true, "(goal >= 0.9x)");
    printRow ("fetchUrlBytes 1 byte [ms]", oneByteOurs, oneByteCurl, false, "(per-connection cost)");

    // The 100 MB transfer without each side's fixed cost of one connection.
    const auto megabytes = (double) resourceBytes / 1.0e6;
    const auto ourDataRate = megabytes / ((fetchOurs.median() - oneByteOurs.median()) / 1000.0);
    const auto curlDataRate = megabytes / ((fetchCurl.median() - oneByteCurl.median()) / 1000.0);
    std::cout << juce::String ("  data phase only, medians [MB/s]").paddedRight (' ', 36) << column (ourDataRate) << juce::String().paddedRight (' ', 9)
              << column (curlDataRate) << juce::String().paddedRight (' ', 9) << "   " << juce::String (ourDataRate / curlDataRate, 2) << "x" << std::endl;

    printRow ("status check, start to delivery [ms]", workerRoundTrip, curlRoundTrip, false, "(goal <= 1.5x)");
    printRow ("status check, sendServiceRequest [ms]", requestRoundTrip, curlRoundTrip, false, "");

    std::cout << std::endl
              << juce::String ("hostile pictures, peak memory [MB]").paddedRight (' ', 36) << "   +" << juce::String (hostileGrowth, 1)
              << " over the idle process  (goal <= +64 MB)" << std::endl;
    return 0;
}
