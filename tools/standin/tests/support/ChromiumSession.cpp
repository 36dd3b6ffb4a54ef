#include "ChromiumSession.h"

#include "TestFiles.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace
{
constexpr auto callTimeout = std::chrono::seconds (30);
}

//==============================================================================
ChromiumSession::~ChromiumSession()
{
    shutDown();
}

std::string ChromiumSession::spkiHashOf (const std::filesystem::path& certificateFile)
{
    auto* stream = std::fopen (certificateFile.c_str(), "rb");

    if (stream == nullptr)
        return {};

    X509* certificate = PEM_read_X509 (stream, nullptr, nullptr, nullptr);
    std::fclose (stream);

    if (certificate == nullptr)
        return {};

    unsigned char* der = nullptr;
    const int length = i2d_X509_PUBKEY (X509_get_X509_PUBKEY (certificate), &der);
    X509_free (certificate);

    if (length <= 0)
        return {};

    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256 (der, (size_t) length, digest);
    OPENSSL_free (der);

    unsigned char encoded[64];
    const int encodedLength = EVP_EncodeBlock (encoded, digest, SHA256_DIGEST_LENGTH);
    return std::string (reinterpret_cast<const char*> (encoded), (size_t) encodedLength);
}

bool ChromiumSession::launch (const std::string& spkiHash, std::string& error)
{
    if (access (executable, X_OK) != 0)
    {
        error = std::string (executable) + " is missing (scripts/setup.sh installs Debian's chromium)";
        return false;
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "auralis-standin-chromium-XXXXXX").string();

    if (mkdtemp (pattern.data()) == nullptr)
    {
        error = "cannot create a profile folder";
        return false;
    }

    profileFolder = pattern;
    const auto logFile = (profileFolder / "browser.log").string();

    const std::vector<std::string> arguments {
        executable,
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-background-networking",
        "--no-first-run",
        "--disable-component-update",
        "--disable-sync",
        "--disable-quic",
        "--disable-dev-shm-usage",
        "--disable-extensions",
        "--no-default-browser-check",
        "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1",
        "--user-data-dir=" + (profileFolder / "profile").string(),
        "--ignore-certificate-errors-spki-list=" + spkiHash,
        "--remote-debugging-pipe",
        "about:blank"
    };

    std::vector<char*> argv;

    for (const auto& argument : arguments)
        argv.push_back (const_cast<char*> (argument.c_str()));

    argv.push_back (nullptr);

    int commands[2], replies[2];

    if (pipe2 (commands, O_CLOEXEC) != 0 || pipe2 (replies, O_CLOEXEC) != 0)
    {
        error = "cannot create pipes";
        return false;
    }

    browser = fork();

    if (browser == 0)
    {
        // Only async-signal-safe calls between fork and exec. The browser
        // reads commands on descriptor 3 and writes replies on 4.
        const int commandEnd = fcntl (commands[0], F_DUPFD, 10);
        const int replyEnd = fcntl (replies[1], F_DUPFD, 10);
        const int logDescriptor = ::open (logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

        if (commandEnd < 0 || replyEnd < 0 || logDescriptor < 0
            || dup2 (commandEnd, 3) < 0 || dup2 (replyEnd, 4) < 0
            || dup2 (logDescriptor, 1) < 0 || dup2 (logDescriptor, 2) < 0)
            _exit (127);

        const int nullInput = ::open ("/dev/null", O_RDONLY);

        if (nullInput >= 0)
            dup2 (nullInput, 0);

        execv (executable, argv.data());
        _exit (127);
    }

    ::close (commands[0]);
    ::close (replies[1]);
    toBrowser = commands[1];
    fromBrowser = replies[0];

    if (browser < 0)
    {
        error = "cannot start the browser";
        return false;
    }

    // The first answer proves the browser is up and listening on the pipe.
    return call ("Browser.getVersion", nlohmann::json::object(), error, false).has_value();
}

void ChromiumSession::shutDown()
{
    if (browser > 0)
    {
        if (toBrowser >= 0)
            send ({ { "id", nextId++ }, { "method", "Browser.close" } });

        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (5);
        int status = 0;

        while (waitpid (browser, &status, WNOHANG) == 0)
        {
            if (std::chrono::steady_clock::now() > deadline)
            {
                kill (browser, SIGKILL);
                waitpid (browser, &status, 0);
                break;
            }

            std::this_thread::sleep_for (std::chrono::milliseconds (50));
        }

        browser = -1;
    }

    if (toBrowser >= 0)
        ::close (toBrowser);

    if (fromBrowser >= 0)
        ::close (fromBrowser);

    toBrowser = fromBrowser = -1;

    if (! profileFolder.empty())
    {
        std::error_code ignored;
        std::filesystem::remove_all (profileFolder, ignored);
        profileFolder.clear();
    }
}

std::string ChromiumSession::log() const
{
    return profileFolder.empty() ? std::string() : TestFiles::read (profileFolder / "browser.log");
}

//==============================================================================
bool ChromiumSession::send (const nlohmann::json& message)
{
    const auto text = message.dump() + '\0';
    size_t written = 0;

    while (written < text.size())
    {
        const auto count = ::write (toBrowser, text.data() + written, text.size() - written);

        if (count <= 0)
            return false;

        written += (size_t) count;
    }

    return true;
}

std::optional<nlohmann::json> ChromiumSession::receive (std::chrono::steady_clock::time_point deadline)
{
    for (;;)
    {
        if (const auto end = received.find ('\0'); end != std::string::npos)
        {
            auto message = nlohmann::json::parse (received.substr (0, end), nullptr, false);
            received.erase (0, end + 1);
            return message;
        }

        const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (deadline - std::chrono::steady_clock::now()).count();

        if (left <= 0)
            return std::nullopt;

        pollfd waiting { fromBrowser, POLLIN, 0 };

        if (poll (&waiting, 1, (int) left) <= 0)
            continue;

        char buffer[65536];
        const auto count = ::read (fromBrowser, buffer, sizeof (buffer));

        if (count <= 0)
            return std::nullopt;

        received.append (buffer, (size_t) count);
    }
}

std::optional<nlohmann::json> ChromiumSession::call (const std::string& method, nlohmann::json params, std::string& error, bool inPage)
{
    const int id = nextId++;
    nlohmann::json message { { "id", id }, { "method", method }, { "params", std::move (params) } };

    if (inPage)
        message["sessionId"] = pageSession;

    if (toBrowser < 0 || ! send (message))
    {
        error = method + ": cannot write to the browser";
        return std::nullopt;
    }

    const auto deadline = std::chrono::steady_clock::now() + callTimeout;

    while (auto reply = receive (deadline))
    {
        if (! reply->is_object() || reply->value ("id", -1) != id)
            continue; // an event, or the answer to an earlier call

        if (reply->contains ("error"))
        {
            error = method + ": " + (*reply)["error"].dump();
            return std::nullopt;
        }

        return reply->value ("result", nlohmann::json::object());
    }

    error = method + ": no answer from the browser";
    return std::nullopt;
}

//==============================================================================
bool ChromiumSession::open (const std::string& url, std::string& error)
{
    const auto target = call ("Target.createTarget", { { "url", url } }, error, false);

    if (! target)
        return false;

    const auto attached = call ("Target.attachToTarget", { { "targetId", (*target)["targetId"] }, { "flatten", true } }, error, false);

    if (! attached)
        return false;

    pageSession = (*attached)["sessionId"].get<std::string>();
    return true;
}

std::optional<nlohmann::json> ChromiumSession::evaluate (const std::string& expression, std::string& error)
{
    const auto result = call ("Runtime.evaluate", { { "expression", expression }, { "returnByValue", true } }, error);

    if (! result)
        return std::nullopt;

    if (result->contains ("exceptionDetails"))
    {
        error = "script failed: " + (*result)["exceptionDetails"].dump();
        return std::nullopt;
    }

    return (*result)["result"].value ("value", nlohmann::json());
}

std::optional<nlohmann::json> ChromiumSession::waitFor (const std::string& expression, std::chrono::seconds timeout, std::string& error)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;

    while (std::chrono::steady_clock::now() < deadline)
    {
        // Evaluating during a navigation may fail; the next round retries.
        if (const auto value = evaluate (expression, error))
            if ((value->is_string() && ! value->get<std::string>().empty()) || (value->is_boolean() && value->get<bool>()))
                return value;

        std::this_thread::sleep_for (std::chrono::milliseconds (100));
    }

    error = "timed out waiting for " + expression + (error.empty() ? std::string() : " (" + error + ")");
    return std::nullopt;
}

bool ChromiumSession::setFileInput (const std::string& selector, const std::filesystem::path& file, std::string& error)
{
    const auto document = call ("DOM.getDocument", { { "depth", 0 } }, error);

    if (! document)
        return false;

    const auto node = call ("DOM.querySelector", { { "nodeId", (*document)["root"]["nodeId"] }, { "selector", selector } }, error);

    if (! node || node->value ("nodeId", 0) == 0)
    {
        if (error.empty())
            error = "no element matches " + selector;

        return false;
    }

    return call ("DOM.setFileInputFiles", { { "files", { file.string() } }, { "nodeId", (*node)["nodeId"] } }, error).has_value();
}
