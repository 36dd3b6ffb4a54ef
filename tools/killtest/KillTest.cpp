#include "service/PullClientThread.h"
#include "service/ServiceConstants.h"
#include "store/PresetStore.h"
#include "store/SafeFileWriter.h"
#include "support/TestHttpsServer.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <map>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Kills a program that writes the shared data folder at random moments, many
// times, and checks the folder after every kill:
//   - "Presets" (once it has been written) and its backup always load;
//   - every HRTF file that the bank names holds a complete download;
//   - the next load removes the temporary files the kill left for the bank
//     and for the HRTF files it names.
//
// The killed program is this one, started with --driver: on the product's
// store and HRTF pull worker it merges status replies (each merge saves the
// bank), pulls HRTF data from a loopback HTTPS server (download, atomic
// write, profile update and save, backup copy), saves the selection and
// reloads the bank, round and round until it is killed. It reports what it is
// doing through a pipe. Each kill aims at one kind of step in turn: once the
// driver reports that it has begun such a step, the kill follows after a
// random part of the time that step last took, so kills land all over every
// step (and sometimes just after it). Every kill is counted against the step
// it really interrupted.
//
//   auralis_killtest [--kills N] [--seed S] [--folder DIR]
//
// Run inside tests/support/with-test-ca.sh (tools/killtest/run-killtest.sh).

namespace
{
constexpr int numHrtfIds = 5;
constexpr int maxProfiles = 1000;
constexpr int phaseDescriptor = 3;
constexpr int phaseWaitMs = 20000;

enum Phase : char
{
    idle = '-',
    startingUp = 'l',
    merging = 'm',
    pulling = 'p',
    savingSelection = 's',
    reloading = 'r'
};

const std::map<char, const char*> phaseNames {
    { idle, "between steps" },
    { startingUp, "start-up load" },
    { merging, "status merge and bank save" },
    { pulling, "HRTF pull (request, download, write, save, backup)" },
    { savingSelection, "selection save" },
    { reloading, "bank reload (mirror, clean-up)" },
};

juce::String hrtfIdFor (int index) { return "hrtf-" + juce::String (index) + "-6f1c2a9e"; }

/** The data set of an HRTF id: a few megabytes, different for every id. */
juce::MemoryBlock hrtfBytesFor (int index)
{
    juce::MemoryBlock block ((size_t) (2 * 1024 * 1024 + index * 512 * 1024 + index), false);
    juce::Random (1000 + index).fillBitsRandomly (block.getData(), block.getSize());
    return block;
}

juce::String statusReply (int step)
{
    return R"({ "exec_id": "k", "status_code": 200, "return_code": 0, "message": "ok", "timestamp": ")" + juce::String (step) + R"(",
                "user_hrtf_info": { "hrtf_allowed": 3, "hrtf_requested": 1, "pull_allowed": 99, "pull_requested": 1,
                                    "status_code": 200, "return_code": 0, "message": "Your personalised HRTF is ready." },
                "software_update_info": { "status_code": 200, "return_code": 0, "message": "Up to date.", "force_update": 0,
                                          "download_url": "https://127.0.0.1/download", "release_notes": "Notes",
                                          "latest_release_version": "0.0.10" } })";
}

//==============================================================================
[[noreturn]] void runDriver (const juce::File& folder, const juce::String& origin, juce::int64 seed)
{
    const auto mark = [] (Phase phase)
    {
        const char byte = phase;
        [[maybe_unused]] const auto written = ::write (phaseDescriptor, &byte, 1);
    };

    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    ServiceConstants::setServiceBaseAddressForTesting (origin);
    juce::Random random (seed);

    mark (startingUp);
    PresetStore store (folder.getChildFile (PresetStore::presetsFileName));
    mark (idle);

    PullClientThread pull;

    for (int step = 1;; ++step)
    {
        const auto name = "Listener " + juce::String (random.nextInt (maxProfiles));

        mark (merging);
        store.mergeStatusReply (name, juce::JSON::parse (statusReply (step)));
        mark (idle);

        if (step % 2 == 0)
        {
            mark (pulling);
            pull.profileName = name;
            pull.store = &store;
            pull.startThread();
            pull.waitForThreadToExit (-1);
            mark (idle);
        }

        if (step % 5 == 0)
        {
            mark (savingSelection);
            store.setLastSelectedPreset (random.nextInt (juce::jmax (1, store.numProfiles())));
            store.save();
            mark (idle);
        }

        if (step % 7 == 0)
        {
            mark (reloading);
            store.load();
            mark (idle);
        }
    }
}

//==============================================================================
struct Figures
{
    int kills = 0, driverDied = 0;
    int bankMissingBeforeFirstSave = 0, bankLoads = 0, bankFailures = 0;
    int backupLoads = 0, backupFailures = 0, backupBehind = 0;
    int hrtfNamed = 0, hrtfComplete = 0, hrtfIncomplete = 0;
    int killsLeavingTemporaryFiles = 0, temporaryFilesLeft = 0, temporaryFilesOfNamedFilesAfterLoad = 0;
    int temporaryFilesOfOtherIdsAfterLoad = 0;
    int loadsWithoutProfiles = 0;
    std::map<char, int> byPhase;
    juce::StringArray failures;
};

juce::StringArray temporaryFileNames (const juce::File& folder)
{
    juce::StringArray names;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, ".*.tmp", juce::File::FollowSymlinks::no))
        names.add (file.getFileName());

    return names;
}

juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}

bool isBank (const juce::MemoryBlock& block)
{
    return PresetStore::readBank (block.getData(), block.getSize()).isValid();
}

/** Checks the folder as the kill left it, then loads it as the next start
    would and checks again. */
void checkAfterKill (const juce::File& folder, const std::vector<juce::MemoryBlock>& downloads, bool& everSaved, Figures& figures, int kill)
{
    const auto presets = folder.getChildFile (PresetStore::presetsFileName);
    const auto backup = folder.getChildFile (juce::String (PresetStore::presetsFileName) + PresetStore::backupSuffix);
    const auto fail = [&] (const juce::String& what)
    { figures.failures.add ("kill " + juce::String (kill) + ": " + what); };

    const auto leftBehind = temporaryFileNames (folder);
    figures.temporaryFilesLeft += leftBehind.size();
    figures.killsLeavingTemporaryFiles += leftBehind.isEmpty() ? 0 : 1;

    //==============================================================================
    // The folder as the kill left it, before a load repairs anything.
    if (! presets.exists() && ! everSaved)
    {
        ++figures.bankMissingBeforeFirstSave;
        return;
    }

    everSaved = true;
    const auto presetsBytes = bytesOf (presets);
    const auto backupBytes = bytesOf (backup);

    if (isBank (presetsBytes))
        ++figures.bankLoads;
    else
    {
        ++figures.bankFailures;
        fail ("\"Presets\" does not load");
    }

    if (isBank (backupBytes))
        ++figures.backupLoads;
    else if (backup.exists())
    {
        ++figures.backupFailures;
        fail ("\"Presets_\" does not load");
    }

    if (backup.exists() && backupBytes != presetsBytes)
        ++figures.backupBehind;

    // Every HRTF file the bank names holds a complete download.
    juce::StringArray namedIds;

    for (const auto& preset : PresetStore::readBank (presetsBytes.getData(), presetsBytes.getSize()))
        namedIds.addIfNotAlreadyThere (preset["hrtf_id"].toString());

    namedIds.removeEmptyStrings();

    const auto expectedBytes = [&downloads] (const juce::String& id) -> const juce::MemoryBlock*
    {
        for (int index = 0; index < numHrtfIds; ++index)
            if (hrtfIdFor (index) == id)
                return &downloads[(size_t) index];

        return nullptr;
    };

    for (const auto& id : namedIds)
    {
        ++figures.hrtfNamed;
        const auto* expected = expectedBytes (id);

        if (expected != nullptr && bytesOf (folder.getChildFile (id)) == *expected)
            ++figures.hrtfComplete;
        else
        {
            ++figures.hrtfIncomplete;
            fail ("the HRTF file " + id + " does not hold its complete download");
        }
    }

    //==============================================================================
    // The next start's load: it finds the profiles, restores and copies the
    // HRTF files, and removes the temporary files of the files it names.
    {
        const PresetStore store (presets);

        if (store.numProfiles() == 0)
        {
            ++figures.loadsWithoutProfiles;
            fail ("the next load finds no profile");
        }
    }

    juce::StringArray namedFiles { presets.getFileName(), backup.getFileName() };

    for (const auto& id : namedIds)
    {
        namedFiles.addArray ({ id, id + PresetStore::backupSuffix });

        const auto* expected = expectedBytes (id);

        if (expected == nullptr || bytesOf (folder.getChildFile (id + PresetStore::backupSuffix)) != *expected)
            fail ("after the load, the backup of " + id + " does not hold the download");
    }

    for (const auto& name : temporaryFileNames (folder))
    {
        bool ofNamedFile = false;

        for (const auto& target : namedFiles)
            ofNamedFile = ofNamedFile || SafeFileWriter::isTemporaryFileFor (name, target);

        if (ofNamedFile)
        {
            ++figures.temporaryFilesOfNamedFilesAfterLoad;
            fail ("the load left the temporary file " + name);
        }
        else
        {
            ++figures.temporaryFilesOfOtherIdsAfterLoad;
        }
    }
}

//==============================================================================
TestHttpResponse pullReply (const juce::String& origin, int index)
{
    // The service lists the profile's data sets oldest first; the newest is
    // the one downloaded.
    juce::String entries;

    for (auto i : { (index + numHrtfIds - 1) % numHrtfIds, index })
        entries << (entries.isEmpty() ? "" : ", ") << R"({ "hrtf_id": ")" << hrtfIdFor (i) << R"(", "hrtf_url": ")" << origin << "/hrtf/"
                << hrtfIdFor (i) << R"(", "img_id": "img-)" << i << R"(-2", "auralis_id": "aur-)" << i << R"(" })";

    return TestHttpResponse::json (R"({ "exec_id": "k", "status_code": 200, "return_code": 0, "message": "ok", "urls": [ )" + entries + " ] }");
}

void printFigures (const Figures& f, juce::int64 seed, double seconds)
{
    const auto line = [] (const juce::String& what, int value)
    { std::cout << "  " << what.paddedRight (' ', 62) << juce::String (value).paddedLeft (' ', 7) << std::endl; };

    std::cout << "\nKill test: " << f.kills << " kills in " << juce::roundToInt (seconds) << " s (seed " << seed << ")" << std::endl;
    std::cout << "Where the kills landed:" << std::endl;

    for (auto& [phase, count] : f.byPhase)
        line (phaseNames.count (phase) != 0 ? phaseNames.at (phase) : "unknown", count);

    std::cout << "After each kill:" << std::endl;
    line ("no bank yet (killed before the first save finished)", f.bankMissingBeforeFirstSave);
    line ("\"Presets\" loads", f.bankLoads);
    line ("\"Presets\" does not load", f.bankFailures);
    line ("\"Presets_\" loads", f.backupLoads);
    line ("\"Presets_\" does not load", f.backupFailures);
    line ("\"Presets_\" one save behind \"Presets\"", f.backupBehind);
    line ("HRTF files named by the bank (summed over kills)", f.hrtfNamed);
    line ("  holding their complete download", f.hrtfComplete);
    line ("  not holding it", f.hrtfIncomplete);
    line ("kills that left temporary files", f.killsLeavingTemporaryFiles);
    line ("temporary files left (summed over kills)", f.temporaryFilesLeft);
    line ("temporary files of named files left after the next load", f.temporaryFilesOfNamedFilesAfterLoad);
    line ("temporary files of ids not (yet) named, kept by the load", f.temporaryFilesOfOtherIdsAfterLoad);
    line ("next loads that found no profile", f.loadsWithoutProfiles);
    line ("driver runs that ended before their kill", f.driverDied);

    for (auto& failure : f.failures)
        std::cout << "FAILED: " << failure << std::endl;

    std::cout << (f.failures.isEmpty() ? "Kill test passed" : "Kill test FAILED") << std::endl;
}

int runKills (int kills, juce::int64 seed, juce::File folder, bool keepFolder)
{
    if (! TestHttpsServer::isAvailable())
    {
        std::cerr << TestHttpsServer::unavailableReason() << std::endl;
        return 2;
    }

    std::vector<juce::MemoryBlock> downloads;
    TestHttpsServer server;

    for (int index = 0; index < numHrtfIds; ++index)
    {
        downloads.push_back (hrtfBytesFor (index));
        server.serve ("GET", "/hrtf/" + hrtfIdFor (index), TestHttpResponse::shared (std::make_shared<const juce::MemoryBlock> (downloads.back())));
    }

    std::atomic<int> pulls { 0 };
    juce::String origin;

    server.on ("POST", "/" + ServiceConstants::pullClientPath.upToFirstOccurrenceOf ("?", false, false), [&] (const TestHttpRequest&)
               { return pullReply (origin, pulls++ % numHrtfIds); });

    if (! server.start())
    {
        std::cerr << "The loopback server did not start" << std::endl;
        return 2;
    }

    origin = server.getOrigin();

    if (folder == juce::File())
        folder = juce::File::createTempFile ("auralis-killtest");

    folder.deleteRecursively();
    folder.createDirectory();

    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName().toStdString();
    const auto folderPath = folder.getFullPathName().toStdString();
    const auto originText = origin.toStdString();

    juce::Random random (seed);
    Figures figures;
    bool everSaved = false;
    const auto started = juce::Time::getMillisecondCounterHiRes();

    // How long each kind of step last took, as the pipe showed it; the first
    // values are rough guesses.
    std::map<char, double> lastDurationMs { { startingUp, 60.0 }, { merging, 5.0 }, { pulling, 150.0 }, { savingSelection, 5.0 }, { reloading, 30.0 } };
    const char targets[] = { startingUp, merging, pulling, savingSelection, reloading };

    for (int kill = 1; kill <= kills; ++kill)
    {
        int phases[2];

        if (::pipe2 (phases, O_CLOEXEC) != 0)
            return 2;

        const auto driverSeed = std::to_string (seed + kill);
        const char* arguments[] = { self.c_str(), "--driver", folderPath.c_str(), originText.c_str(), driverSeed.c_str(), nullptr };
        const auto pid = ::fork();

        if (pid == 0)
        {
            const auto devNull = ::open ("/dev/null", O_WRONLY);
            ::dup2 (devNull, STDOUT_FILENO);
            ::dup2 (devNull, STDERR_FILENO);
            ::dup2 (phases[1], phaseDescriptor);
            ::execv (self.c_str(), const_cast<char* const*> (arguments));
            ::_exit (127);
        }

        ::close (phases[1]);

        // Follow the driver until it begins a step of the aimed-at kind,
        // timing the steps on the way.
        const auto target = targets[(kill - 1) % (int) sizeof (targets)];
        char current = idle;
        double currentSince = juce::Time::getMillisecondCounterHiRes();
        const auto waitUntil = currentSince + phaseWaitMs;
        bool reached = false, ended = false;

        while (! reached && ! ended && juce::Time::getMillisecondCounterHiRes() < waitUntil)
        {
            pollfd readable { phases[0], POLLIN, 0 };

            if (::poll (&readable, 1, 100) <= 0)
                continue;

            char byte;

            if (::read (phases[0], &byte, 1) != 1)
            {
                ended = true;
                break;
            }

            const auto now = juce::Time::getMillisecondCounterHiRes();

            if (byte == idle && current != idle)
                lastDurationMs[current] = now - currentSince;

            current = byte;
            currentSince = now;
            reached = byte == target;
        }

        if (reached)
            std::this_thread::sleep_for (std::chrono::microseconds ((juce::int64) (random.nextDouble() * lastDurationMs[target] * 1000.0)));

        int status = 0;

        if (::waitpid (pid, &status, WNOHANG) == pid)
        {
            ++figures.driverDied;
            figures.failures.add ("kill " + juce::String (kill) + ": the driver ended by itself (status " + juce::String (status) + ")");
        }
        else
        {
            ::kill (pid, SIGKILL);
            ::waitpid (pid, &status, 0);
        }

        char buffer[4096];

        for (ssize_t n; (n = ::read (phases[0], buffer, sizeof (buffer))) > 0;)
            current = buffer[n - 1];

        ::close (phases[0]);
        ++figures.kills;
        ++figures.byPhase[current];

        checkAfterKill (folder, downloads, everSaved, figures, kill);

        if (kill % 50 == 0)
            std::cout << kill << " kills, " << figures.failures.size() << " failures" << std::endl;
    }

    printFigures (figures, seed, (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0);

    if (! keepFolder)
        folder.deleteRecursively();

    return figures.failures.isEmpty() ? 0 : 1;
}
}

//==============================================================================
int main (int argc, char** argv)
{
    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    if (args.size() == 4 && args[0] == "--driver")
        runDriver (juce::File (args[1]), args[2], args[3].getLargeIntValue());

    int kills = 500;
    juce::int64 seed = juce::Time::currentTimeMillis();
    juce::File folder;
    bool keepFolder = false;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& option = args[i];
        const auto value = i + 1 < args.size() ? args[i + 1] : juce::String();

        if (option == "--kills")
            kills = value.getIntValue(), ++i;
        else if (option == "--seed")
            seed = value.getLargeIntValue(), ++i;
        else if (option == "--folder")
            folder = juce::File::getCurrentWorkingDirectory().getChildFile (value), keepFolder = true, ++i;
        else
        {
            std::cerr << "usage: auralis_killtest [--kills N] [--seed S] [--folder DIR]" << std::endl;
            return 2;
        }
    }

    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return runKills (juce::jmax (1, kills), seed, folder, keepFolder);
}
