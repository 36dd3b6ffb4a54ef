#pragma once

#include "ServerOptions.h"
#include "StandinServer.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <string>

//==============================================================================
/** A stand-in started in the test process on a free loopback port with a
    temporary state folder of its own, and an HTTPS client that trusts only
    the stand-in's CA and sends the program's headers. */
class StandinTestServer
{
public:
    StandinTestServer();
    ~StandinTestServer();

    /** Starts (again) on the same state folder; fails the test on error.
        restart() keeps the port. */
    void start();
    void stop();
    void restart();

    ServerOptions options;

    StandinServer& server() { return *running; }
    const std::filesystem::path& stateFolder() const { return options.stateFolder; }
    std::string origin() const { return running->publicBaseAddress(); }

    /** A client for the running server (by address, or by host name). */
    std::unique_ptr<httplib::SSLClient> client (const std::string& host = "127.0.0.1") const;

    httplib::Result post (const std::string& pathAndQuery, const std::string& body) const;
    httplib::Result get (const std::string& path) const;

    /** Path part of one of the stand-in's absolute addresses. */
    std::string pathOf (const std::string& address) const;

    //==============================================================================
    /** The request envelope as the program writes it, sections in its order. */
    struct Sections
    {
        std::string deviceId;
        bool updateInfo = false;
        bool auralisUpdateCheck = false;
        bool softwareUpdateCheck = false;
        bool userHrtfInfoFetch = false;
        std::string imgId, auralisId, hrtfId;
        std::string version = "0.0.10";
    };

    static std::string envelope (const Sections& sections);

    /** POSTs to an endpoint path ("/status-check/v1.0") with the client name,
        and returns the parsed reply; fails the test unless it is an object
        whose "status_code" equals the HTTP status. */
    nlohmann::json call (const std::string& endpoint, const std::string& body) const;

    /** The program's status check for a profile (all sections it sends). */
    nlohmann::json statusCheck (const std::string& deviceId, const std::string& imgId = {}, const std::string& auralisId = {}, const std::string& hrtfId = {}) const;
    nlohmann::json pull (const std::string& deviceId) const;
    nlohmann::json qrCode() const;

    /** Runs an operator command against the state folder; returns its
        standard output and fails the test unless it exits with 0. */
    std::string operate (std::vector<std::string> arguments) const;

private:
    std::unique_ptr<StandinServer> running;
};
