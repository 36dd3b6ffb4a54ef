#include "CommandLine.h"

#include "AccountStore.h"
#include "CertificateAuthority.h"
#include "StandinServer.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <iostream>
#include <set>

namespace
{
const std::set<std::string> flagNames { "forced", "optional", "all-supported", "none", "clear", "quiet", "redirect-over-http" };

const std::set<std::string> valueNames { "state", "address", "port", "public-url", "sofa", "screenshot", "max-upload-bytes", "hrtf-allowed", "hrtf-requested", "pull-allowed", "pull-requested", "latest", "url", "notes", "unsupported-below" };

bool readCount (const std::string& text, long long maximum, long long& value)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of ("0123456789") != std::string::npos)
        return false;

    value = std::stoll (text);
    return value <= maximum;
}

void printAccount (std::ostream& out, const Account& account, size_t dataSetCount)
{
    out << account.deviceId << "\n"
        << "  images " << account.hrtfRequested << " of " << account.hrtfAllowed
        << ", pulls " << account.pullRequested << " of " << account.pullAllowed
        << ", data sets " << dataSetCount
        << ", last check " << (account.lastCheckedAt.empty() ? std::string ("never") : account.lastCheckedAt) << "\n";

    if (! account.refusalMessage.empty())
        out << "  refused with \"" << account.refusalMessage << "\"\n";

    if (account.updatesHeld)
        out << "  newer data sets announced as unavailable\n";
}

void printRelease (std::ostream& out, const SoftwareRelease& release)
{
    out << "latest version " << release.latestVersion << (release.forced ? " (forced)" : " (optional)") << "\n"
        << "download address " << (release.downloadUrl.empty() ? std::string ("the stand-in's own /download page") : release.downloadUrl) << "\n"
        << "release notes " << (release.releaseNotes.empty() ? std::string ("none") : "\"" + release.releaseNotes + "\"") << "\n"
        << "supported versions " << (release.oldestSupportedVersion.empty() ? std::string ("all") : release.oldestSupportedVersion + " and newer") << "\n";
}

sigset_t stopSignals()
{
    sigset_t signals;
    sigemptyset (&signals);
    sigaddset (&signals, SIGINT);
    sigaddset (&signals, SIGTERM);
    sigaddset (&signals, SIGHUP);
    return signals;
}
}

//==============================================================================
bool CommandLine::Parsed::has (const std::string& flag) const
{
    return std::find (flags.begin(), flags.end(), flag) != flags.end();
}

std::filesystem::path CommandLine::defaultStateFolder()
{
    if (const char* stateHome = std::getenv ("XDG_STATE_HOME"); stateHome != nullptr && *stateHome != 0)
        return std::filesystem::path (stateHome) / "auralis-standin";

    if (const char* home = std::getenv ("HOME"); home != nullptr && *home != 0)
        return std::filesystem::path (home) / ".local" / "state" / "auralis-standin";

    return "auralis-standin-state";
}

std::string CommandLine::usage()
{
    return "usage: auralis-standin COMMAND [OPTIONS]\n"
           "\n"
           "Every command takes --state DIR, the state folder (default: "
           + defaultStateFolder().string() + ").\n"
                                             "DEVICE is a full device id, a prefix only one device id starts with, or \"latest\"\n"
                                             "for the device that made the latest status check.\n"
                                             "\n"
                                             "  serve [--address ADDR] [--port N] [--public-url URL] [--sofa FILE]\n"
                                             "        [--screenshot FILE] [--max-upload-bytes N] [--quiet] [--redirect-over-http]\n"
                                             "      Serve HTTPS (default 127.0.0.1:8443; port 0 picks a free one) until\n"
                                             "      interrupted. --public-url sets the origin used in QR codes and data\n"
                                             "      addresses, e.g. https://192.168.1.20:8443 for a phone on the network.\n"
                                             "      --redirect-over-http first answers each of the program's requests with\n"
                                             "      a redirect to the same address over http:// (a client that keeps\n"
                                             "      every hop on HTTPS comes back over TLS).\n"
                                             "  ca-path\n"
                                             "      Create the CA and server certificate if needed; print the CA file.\n"
                                             "  accounts\n"
                                             "      List the accounts with their counters.\n"
                                             "  show DEVICE\n"
                                             "      One account with its data sets.\n"
                                             "  quota DEVICE [--hrtf-allowed N] [--hrtf-requested N] [--pull-allowed N] [--pull-requested N]\n"
                                             "      Change an account's quotas and counters.\n"
                                             "  default-quota [--hrtf-allowed N] [--pull-allowed N]\n"
                                             "      Show or change the quotas new accounts get.\n"
                                             "  software-update [--latest VERSION] [--url URL] [--notes TEXT] [--forced | --optional]\n"
                                             "                  [--unsupported-below VERSION | --all-supported] [--none]\n"
                                             "      Show or change the announced program release; --none announces nothing.\n"
                                             "  upload DEVICE\n"
                                             "      Add a processed ear-photo upload for the account, as if from a phone.\n"
                                             "  refuse DEVICE MESSAGE | refuse DEVICE --clear\n"
                                             "      Refuse every request of the device with status 403 and MESSAGE.\n"
                                             "  hold-updates DEVICE on|off\n"
                                             "      Announce newer data sets as \"Auralis update unavailable!\".\n"
                                             "  reset DEVICE\n"
                                             "      Forget the account's data sets, QR codes and counters; keep its quotas.\n"
                                             "  delete DEVICE\n"
                                             "      Remove the account.\n";
}

bool CommandLine::parse (const std::vector<std::string>& arguments, Parsed& parsed, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (argument.size() < 3 || argument.compare (0, 2, "--") != 0)
        {
            parsed.positional.push_back (argument);
            continue;
        }

        auto name = argument.substr (2);
        std::optional<std::string> value;

        if (const auto equals = name.find ('='); equals != std::string::npos)
        {
            value = name.substr (equals + 1);
            name = name.substr (0, equals);
        }

        if (flagNames.count (name) != 0 && ! value)
        {
            parsed.flags.push_back (name);
            continue;
        }

        if (valueNames.count (name) == 0)
        {
            error = "unknown option --" + name;
            return false;
        }

        if (! value)
        {
            if (i + 1 >= arguments.size())
            {
                error = "--" + name + " needs a value";
                return false;
            }

            value = arguments[++i];
        }

        parsed.values[name] = *value;
    }

    return true;
}

int CommandLine::run (const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty() || arguments[0] == "help" || arguments[0] == "--help" || arguments[0] == "-h")
    {
        (arguments.empty() ? err : out) << usage();
        return arguments.empty() ? 2 : 0;
    }

    const auto command = arguments[0];
    Parsed parsed;
    std::string error;

    if (! parse ({ arguments.begin() + 1, arguments.end() }, parsed, error))
    {
        err << "auralis-standin: " << error << "\n\n"
            << usage();
        return 2;
    }

    if (command == "serve")
        return serve (parsed, out, err);

    const auto state = parsed.values.count ("state") != 0 ? std::filesystem::path (parsed.values.at ("state")) : defaultStateFolder();

    if (command == "ca-path")
    {
        CertificateAuthority certificates (state / StandinConstants::tlsFolderName);

        if (! certificates.prepare ({}, error))
        {
            err << "auralis-standin: " << error << "\n";
            return 1;
        }

        out << certificates.caCertificateFile().string() << "\n";
        return 0;
    }

    AccountStore store (state / StandinConstants::databaseFileName);

    if (! store.open (error))
    {
        err << "auralis-standin: " << error << "\n";
        return 1;
    }

    try
    {
        return operate (command, parsed, store, out, err);
    }
    catch (const std::exception& e)
    {
        err << "auralis-standin: " << e.what() << "\n";
        return 1;
    }
}

//==============================================================================
int CommandLine::serve (const Parsed& parsed, std::ostream& out, std::ostream& err)
{
    ServerOptions options;
    options.stateFolder = parsed.values.count ("state") != 0 ? std::filesystem::path (parsed.values.at ("state")) : defaultStateFolder();
    options.sofaFile = AURALIS_STANDIN_SOFA_FILE;
    options.screenshotFile = AURALIS_STANDIN_SCREENSHOT_FILE;
    options.logRequests = ! parsed.has ("quiet");
    options.redirectOverHttp = parsed.has ("redirect-over-http");

    long long number = 0;

    for (const auto& [name, value] : parsed.values)
    {
        if (name == "address")
            options.address = value;
        else if (name == "public-url")
            options.publicUrl = value;
        else if (name == "sofa")
            options.sofaFile = value;
        else if (name == "screenshot")
            options.screenshotFile = value;
        else if (name == "port" && readCount (value, 65535, number))
            options.port = (int) number;
        else if (name == "max-upload-bytes" && readCount (value, 1LL << 30, number) && number > 0)
            options.maxUploadBytes = (size_t) number;
        else if (name != "state")
        {
            err << "auralis-standin: --" << name << " " << value << " is not usable here\n";
            return 2;
        }
    }

    // The stop signals are waited for, not handled; the server's threads
    // inherit the blocked mask.
    const auto signals = stopSignals();
    pthread_sigmask (SIG_BLOCK, &signals, nullptr);

    StandinServer server (options);
    std::string error;

    if (! server.start (error))
    {
        err << "auralis-standin: " << error << std::endl;
        return 1;
    }

    out << "auralis-standin: serving " << server.publicBaseAddress() << " on " << options.address << " port " << server.port() << "\n"
        << "auralis-standin: CA certificate " << server.caCertificateFile().string() << "\n"
        << "auralis-standin: state folder " << options.stateFolder.string() << std::endl;

    int received = 0;
    sigwait (&signals, &received);

    server.stop();
    out << "auralis-standin: stopped" << std::endl;
    return 0;
}

int CommandLine::operate (const std::string& command, const Parsed& parsed, AccountStore& store, std::ostream& out, std::ostream& err)
{
    const auto& positional = parsed.positional;

    auto count = [&] (const char* name, std::optional<int>& target) -> bool
    {
        const auto found = parsed.values.find (name);

        if (found == parsed.values.end())
            return true;

        long long value = 0;

        if (! readCount (found->second, 1000000, value))
        {
            err << "auralis-standin: --" << name << " needs a whole number from 0 to 1000000\n";
            return false;
        }

        target = (int) value;
        return true;
    };

    if (command == "accounts")
    {
        const auto accounts = store.allAccounts();

        if (accounts.empty())
            out << "no accounts yet\n";

        for (const auto& account : accounts)
            printAccount (out, account, store.dataSetsOf (account.deviceId).size());

        return 0;
    }

    if (command == "default-quota")
    {
        std::optional<int> hrtfAllowed, pullAllowed;

        if (! count ("hrtf-allowed", hrtfAllowed) || ! count ("pull-allowed", pullAllowed))
            return 2;

        auto quotas = store.defaultQuotas();

        if (hrtfAllowed || pullAllowed)
        {
            quotas.hrtfAllowed = hrtfAllowed.value_or (quotas.hrtfAllowed);
            quotas.pullAllowed = pullAllowed.value_or (quotas.pullAllowed);
            store.setDefaultQuotas (quotas);
        }

        out << "new accounts get " << quotas.hrtfAllowed << " image submissions and " << quotas.pullAllowed << " pulls\n";
        return 0;
    }

    if (command == "software-update")
    {
        auto release = store.softwareRelease();
        const auto& values = parsed.values;

        if (parsed.has ("forced") && parsed.has ("optional"))
        {
            err << "auralis-standin: --forced and --optional exclude each other\n";
            return 2;
        }

        if (parsed.has ("none"))
            release = SoftwareRelease { StandinConstants::currentProgramVersion, {}, {}, false, {} };

        if (values.count ("latest") != 0)
            release.latestVersion = values.at ("latest");

        if (values.count ("url") != 0)
            release.downloadUrl = values.at ("url");

        if (values.count ("notes") != 0)
            release.releaseNotes = values.at ("notes");

        if (values.count ("unsupported-below") != 0)
            release.oldestSupportedVersion = values.at ("unsupported-below");

        if (parsed.has ("all-supported"))
            release.oldestSupportedVersion.clear();

        if (parsed.has ("forced") || parsed.has ("optional"))
            release.forced = parsed.has ("forced");

        if (release.latestVersion.empty())
        {
            err << "auralis-standin: the latest version cannot be empty\n";
            return 2;
        }

        store.setSoftwareRelease (release);
        printRelease (out, release);
        return 0;
    }

    // The remaining commands name one device.
    static const std::set<std::string> deviceCommands { "show", "quota", "upload", "refuse", "hold-updates", "reset", "delete" };

    if (deviceCommands.count (command) == 0)
    {
        err << "auralis-standin: unknown command \"" << command << "\"\n\n"
            << usage();
        return 2;
    }

    if (positional.empty())
    {
        err << "auralis-standin: " << command << " needs a DEVICE\n";
        return 2;
    }

    const auto device = store.resolveDevice (positional[0]);

    if (! device)
    {
        err << "auralis-standin: no account matches \"" << positional[0] << "\" (give a full device id, a unique prefix of one, or \"latest\")\n";
        return 1;
    }

    auto showAccount = [&]
    {
        if (const auto account = store.findAccount (*device))
            printAccount (out, *account, store.dataSetsOf (*device).size());
    };

    if (command == "show")
    {
        showAccount();

        for (const auto& dataSet : store.dataSetsOf (*device))
            out << "  data set " << dataSet.submission << ": img_id " << dataSet.imgId << ", hrtf_id " << dataSet.hrtfId
                << ", auralis_id " << dataSet.auralisId << ", made " << dataSet.createdAt << "\n";

        return 0;
    }

    if (command == "quota")
    {
        AccountStore::QuotaChange change;

        if (! count ("hrtf-allowed", change.hrtfAllowed) || ! count ("hrtf-requested", change.hrtfRequested)
            || ! count ("pull-allowed", change.pullAllowed) || ! count ("pull-requested", change.pullRequested))
            return 2;

        store.changeQuotas (*device, change);
        showAccount();
        return 0;
    }

    if (command == "upload")
    {
        const auto result = store.submitForDevice (*device);
        out << "processed upload " << result.dataSet.submission << ": img_id " << result.dataSet.imgId << ", hrtf_id " << result.dataSet.hrtfId << "\n";
        showAccount();
        return 0;
    }

    if (command == "refuse")
    {
        if (parsed.has ("clear") == (positional.size() > 1) || (positional.size() > 1 && positional[1].empty()))
        {
            err << "auralis-standin: refuse needs either a MESSAGE or --clear\n";
            return 2;
        }

        store.setRefusal (*device, parsed.has ("clear") ? std::string() : positional[1]);
        showAccount();
        return 0;
    }

    if (command == "hold-updates")
    {
        if (positional.size() != 2 || (positional[1] != "on" && positional[1] != "off"))
        {
            err << "auralis-standin: hold-updates needs on or off\n";
            return 2;
        }

        store.setUpdatesHeld (*device, positional[1] == "on");
        showAccount();
        return 0;
    }

    if (command == "reset")
    {
        store.resetAccount (*device);
        showAccount();
        return 0;
    }

    store.deleteAccount (*device);
    out << "deleted " << *device << "\n";
    return 0;
}
