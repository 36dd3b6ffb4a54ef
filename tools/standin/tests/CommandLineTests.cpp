#include "support/StandinTestServer.h"
#include "support/TestFiles.h"

#include "CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
struct Outcome
{
    int exitCode = 0;
    std::string out, err;
};

Outcome runCommand (const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int exitCode = CommandLine::run (arguments, out, err);
    return { exitCode, out.str(), err.str() };
}
}

//==============================================================================
TEST (CommandLine, OperatorCommandsChangeAccountsWhileTheServiceRuns)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A-1234");
    standin.statusCheck ("device-B-5678");

    EXPECT_NE (standin.operate ({ "accounts" }).find ("device-A-1234"), std::string::npos);

    // Devices are named by id, unique prefix or "latest".
    standin.operate ({ "quota", "device-A", "--hrtf-allowed", "2", "--pull-allowed=0" });
    auto info = standin.statusCheck ("device-A-1234")["user_hrtf_info"];
    EXPECT_EQ (info["hrtf_allowed"], 2);
    EXPECT_EQ (info["pull_allowed"], 0);

    EXPECT_NE (standin.operate ({ "upload", "latest" }).find ("_1"), std::string::npos);
    EXPECT_EQ (standin.statusCheck ("device-A-1234")["user_hrtf_info"]["hrtf_requested"], 1);
    EXPECT_EQ (standin.pull ("device-A-1234")["return_code"], 3);

    standin.operate ({ "default-quota", "--hrtf-allowed", "1", "--pull-allowed", "1" });
    EXPECT_EQ (standin.statusCheck ("device-C")["user_hrtf_info"]["hrtf_allowed"], 1);

    EXPECT_NE (standin.operate ({ "show", "device-A" }).find ("data set 1"), std::string::npos);

    standin.operate ({ "delete", "device-B-5678" });
    EXPECT_EQ (standin.operate ({ "accounts" }).find ("device-B-5678"), std::string::npos);
}

TEST (CommandLine, MisuseIsReportedAndChangesNothing)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");
    standin.statusCheck ("device-B");

    const auto state = standin.stateFolder().string();

    const std::vector<std::pair<std::vector<std::string>, int>> misuses {
        { {}, 2 },
        { { "frobnicate", "--state", state }, 2 },
        { { "accounts", "--bogus", "--state", state }, 2 },
        { { "quota", "--state", state }, 2 },
        { { "quota", "device-A", "--hrtf-allowed", "-3", "--state", state }, 2 },
        { { "quota", "device-A", "--hrtf-allowed", "lots", "--state", state }, 2 },
        { { "quota", "device", "--hrtf-allowed", "3", "--state", state }, 1 }, // two devices match
        { { "upload", "nobody", "--state", state }, 1 },
        { { "refuse", "device-A", "--state", state }, 2 },
        { { "hold-updates", "device-A", "maybe", "--state", state }, 2 },
        { { "software-update", "--forced", "--optional", "--state", state }, 2 },
        { { "software-update", "--latest", "", "--state", state }, 2 },
    };

    for (const auto& [arguments, expected] : misuses)
    {
        const auto outcome = runCommand (arguments);
        EXPECT_EQ (outcome.exitCode, expected) << (arguments.empty() ? std::string ("(none)") : arguments[0]);
        EXPECT_FALSE (outcome.err.empty());
    }

    const auto reply = standin.statusCheck ("device-A");
    EXPECT_EQ (reply["status_code"], 200);
    EXPECT_EQ (reply["user_hrtf_info"]["hrtf_allowed"], StandinConstants::defaultHrtfAllowed);
    EXPECT_EQ (reply["user_hrtf_info"]["hrtf_requested"], 0);
    EXPECT_EQ (reply["software_update_info"]["return_code"], 0);
}

TEST (CommandLine, ExecutablePrintsTheCaPathAndListsAccounts)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");

    const auto program = TestFiles::shellQuoted (AURALIS_STANDIN_EXECUTABLE);
    const auto state = TestFiles::shellQuoted (standin.stateFolder().string());

    const auto [caExit, caPath] = TestFiles::runProgram (program + " ca-path --state " + state);
    EXPECT_EQ (caExit, 0);
    EXPECT_EQ (caPath, standin.server().caCertificateFile().string() + "\n");

    const auto [listExit, list] = TestFiles::runProgram (program + " accounts --state " + state);
    EXPECT_EQ (listExit, 0);
    EXPECT_NE (list.find ("device-A"), std::string::npos);

    const auto [helpExit, help] = TestFiles::runProgram (program + " help");
    EXPECT_EQ (helpExit, 0);
    EXPECT_NE (help.find ("serve"), std::string::npos);
}
