#pragma once

#include "StandinConstants.h"

#include <cstddef>
#include <filesystem>
#include <string>

//==============================================================================
/** How a stand-in server is started. */
struct ServerOptions
{
    std::filesystem::path stateFolder;
    std::string address = StandinConstants::defaultAddress;

    /** 0 picks a free port. */
    int port = StandinConstants::defaultPort;

    /** The origin the addresses in replies and QR codes start with; empty for
        https://ADDRESS:PORT. Its host is added to the server certificate. */
    std::string publicUrl;

    std::filesystem::path sofaFile;
    std::filesystem::path screenshotFile;
    std::size_t maxUploadBytes = StandinConstants::defaultMaxUploadBytes;

    /** Log one line per request to the standard error stream. */
    bool logRequests = false;
    /** Answer each first request of the program's with a redirect to the
        same address over plain http:// (307 and 308 for its posts, 301, 302
        and 303 for its downloads), so that a client which keeps every hop on
        HTTPS comes back here over TLS, and one that does not fails. Each
        redirect is logged, quiet or not. */
    bool redirectOverHttp = false;
};
