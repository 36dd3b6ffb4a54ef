#pragma once

#include <nlohmann/json.hpp>

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

//==============================================================================
/** Headless Chromium from Debian, driven over the DevTools protocol through
    the --remote-debugging-pipe descriptors (no extra network port). It runs
    with a fresh profile, without background networking, resolving no host
    names, and accepts only the one server key it is given besides the
    public roots. */
class ChromiumSession
{
public:
    static constexpr const char* executable = "/usr/bin/chromium";

    ChromiumSession() = default;
    ~ChromiumSession();

    ChromiumSession (const ChromiumSession&) = delete;
    ChromiumSession& operator= (const ChromiumSession&) = delete;

    /** spkiHash: base64 SHA-256 of the server's public key, whose
        certificate errors are ignored. */
    bool launch (const std::string& spkiHash, std::string& error);

    /** Opens a page target at the address; false on failure. */
    bool open (const std::string& url, std::string& error);

    /** Evaluates JavaScript in the page and returns its value. */
    std::optional<nlohmann::json> evaluate (const std::string& expression, std::string& error);

    /** Evaluates until the expression yields a non-empty string or true. */
    std::optional<nlohmann::json> waitFor (const std::string& expression, std::chrono::seconds timeout, std::string& error);

    /** Sets the files of the first element matching the selector. */
    bool setFileInput (const std::string& selector, const std::filesystem::path& file, std::string& error);

    /** What the browser wrote to its standard streams, for failure reports. */
    std::string log() const;

    /** Base64 SHA-256 of the public key in a PEM certificate file. */
    static std::string spkiHashOf (const std::filesystem::path& certificateFile);

private:
    std::optional<nlohmann::json> call (const std::string& method, nlohmann::json params, std::string& error, bool inPage = true);
    bool send (const nlohmann::json& message);
    std::optional<nlohmann::json> receive (std::chrono::steady_clock::time_point deadline);
    void shutDown();

    pid_t browser = -1;
    int toBrowser = -1;
    int fromBrowser = -1;
    int nextId = 1;
    std::string received;
    std::string pageSession;
    std::filesystem::path profileFolder;
};
