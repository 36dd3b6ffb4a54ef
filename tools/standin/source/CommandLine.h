#pragma once

#include <filesystem>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class AccountStore;

//==============================================================================
/** The auralis-standin command line: "serve" runs the service; the other
    commands let an operator inspect and change the state folder's accounts
    and settings, also while a server runs on the same folder.
*/
class CommandLine
{
public:
    /** Runs one command (arguments without the program name) and returns the
        process exit code: 0 done, 1 failed, 2 misused. */
    static int run (const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

    static std::string usage();

    /** The state folder used when --state is not given. */
    static std::filesystem::path defaultStateFolder();

private:
    //==============================================================================
    struct Parsed
    {
        std::vector<std::string> positional;
        std::map<std::string, std::string> values;
        std::vector<std::string> flags;

        bool has (const std::string& flag) const;
    };

    static bool parse (const std::vector<std::string>& arguments, Parsed& parsed, std::string& error);
    static int serve (const Parsed& parsed, std::ostream& out, std::ostream& err);
    static int operate (const std::string& command, const Parsed& parsed, AccountStore& store, std::ostream& out, std::ostream& err);
};
