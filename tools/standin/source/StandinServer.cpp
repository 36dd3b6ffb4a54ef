#include "StandinServer.h"

#include "ImageValidator.h"
#include "QrPicture.h"
#include "UploadPages.h"

#include <httplib.h>

#include <sys/socket.h>

#include <csignal>

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

namespace
{
namespace Code = StandinConstants::Code;
namespace Text = StandinConstants::Text;

const std::string sofaSignature ("\x89HDF\r\n\x1a\n", 8);

bool readWholeFile (const std::filesystem::path& file, std::string& bytes)
{
    std::ifstream stream (file, std::ios::binary);

    if (! stream)
        return false;

    std::ostringstream contents;
    contents << stream.rdbuf();
    bytes = contents.str();
    return ! stream.bad();
}

bool writeFileAtomically (const std::filesystem::path& file, const std::string& bytes)
{
    auto temporary = file;
    temporary += ".tmp";

    {
        std::ofstream stream (temporary, std::ios::binary | std::ios::trunc);
        stream.write (bytes.data(), (std::streamsize) bytes.size());
        stream.flush();

        if (! stream)
        {
            std::filesystem::remove (temporary);
            return false;
        }
    }

    std::error_code error;
    std::filesystem::rename (temporary, file, error);
    return ! error;
}

/** A route pattern matching the path literally (httplib's patterns are
        regular expressions). */
std::string literal (const std::string& path)
{
    std::string pattern;

    for (char c : path)
    {
        if (c == '.')
            pattern += "\\";

        pattern += c;
    }

    return pattern;
}

bool startsWith (const std::string& text, const std::string& prefix)
{
    return text.compare (0, prefix.size(), prefix) == 0;
}

std::string originFor (const std::string& address, int port)
{
    std::string host = address;

    if (host.empty() || host == "0.0.0.0")
        host = "127.0.0.1";
    else if (host == "::")
        host = "[::1]";
    else if (host.find (':') != std::string::npos)
        host = "[" + host + "]";

    return "https://" + host + ":" + std::to_string (port);
}
}

//==============================================================================
StandinServer::StandinServer (ServerOptions optionsToUse)
    : options (std::move (optionsToUse))
    , certificates (options.stateFolder / StandinConstants::tlsFolderName)
    , store (options.stateFolder / StandinConstants::databaseFileName)
{
}

StandinServer::~StandinServer()
{
    stop();
}

std::string StandinServer::hostOf (const std::string& origin)
{
    const auto schemeEnd = origin.find ("://");

    if (schemeEnd == std::string::npos)
        return {};

    const auto rest = origin.substr (schemeEnd + 3);

    if (startsWith (rest, "["))
    {
        const auto close = rest.find (']');
        return close == std::string::npos ? std::string() : rest.substr (1, close - 1);
    }

    return rest.substr (0, rest.find_first_of (":/"));
}

bool StandinServer::start (std::string& error)
{
    if (server != nullptr)
        return true;

    // A client that hangs up mid-reply must cost one connection, not the
    // process: writes to closed sockets report an error instead of a signal.
    std::signal (SIGPIPE, SIG_IGN);

    std::error_code folderError;
    std::filesystem::create_directories (options.stateFolder / StandinConstants::uploadsFolderName, folderError);

    if (folderError)
    {
        error = "cannot create the state folder " + options.stateFolder.string() + ": " + folderError.message();
        return false;
    }

    if (! certificates.prepare ({ hostOf (options.publicUrl) }, error) || ! store.open (error))
        return false;

    if (! readWholeFile (options.sofaFile, sofaBytes) || sofaBytes.compare (0, sofaSignature.size(), sofaSignature) != 0)
    {
        error = "no SOFA file at " + options.sofaFile.string();
        return false;
    }

    if (! readWholeFile (options.screenshotFile, screenshotBytes) || ! ImageValidator::inspect (screenshotBytes))
    {
        error = "no plug-in picture at " + options.screenshotFile.string();
        return false;
    }

    server = std::make_unique<httplib::SSLServer> (certificates.serverCertificateFile().c_str(), certificates.serverKeyFile().c_str());

    if (! server->is_valid())
    {
        error = "cannot load the server certificate from " + certificates.serverCertificateFile().string();
        server.reset();
        return false;
    }

    SSL_CTX_set_min_proto_version (server->ssl_context(), TLS1_2_VERSION);

    // SO_REUSEADDR only: a second stand-in must not share the port silently.
    server->set_socket_options ([] (socket_t socket)
                                {
                                    int yes = 1;
                                    setsockopt (socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof (yes)); });

    server->set_payload_max_length (options.maxUploadBytes + StandinConstants::multipartOverheadBytes);
    server->set_read_timeout (10, 0);
    server->set_write_timeout (10, 0);

    boundPort = options.port == 0 ? server->bind_to_any_port (options.address)
                                  : (server->bind_to_port (options.address, options.port) ? options.port : -1);

    if (boundPort <= 0)
    {
        error = "cannot listen on " + options.address + " port " + std::to_string (options.port);
        server.reset();
        return false;
    }

    baseAddress = options.publicUrl.empty() ? originFor (options.address, boundPort) : options.publicUrl;

    while (! baseAddress.empty() && baseAddress.back() == '/')
        baseAddress.pop_back();

    replies = std::make_unique<ServiceReplies> (store, baseAddress);
    addRoutes();

    servingThread = std::thread ([this]
                                 { server->listen_after_bind(); });

    // stop() only takes effect once the accepting loop runs, so a server
    // stopped right after starting must not miss it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (10);

    while (! server->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (1));

    return true;
}

void StandinServer::stop()
{
    if (server != nullptr)
        server->stop();

    if (servingThread.joinable())
        servingThread.join();

    server.reset();
}

//==============================================================================
void StandinServer::addRoutes()
{
    using namespace StandinConstants;
    using Needs = EnvelopeReader::Needs;
    using httplib::Request;
    using httplib::Response;

    // In redirect mode each route first sends the client round by plain
    // http:// (see ServerOptions::redirectOverHttp), with its own status.
    const auto route = [this] (int redirectStatus, auto handler)
    {
        return [this, redirectStatus, handler] (const Request& q, Response& r)
        {
            if (! redirectedOverHttp (q, r, redirectStatus))
                handler (q, r);
        };
    };

    server->Post (literal (statusCheckPath), route (307, [this] (const Request& q, Response& r)
                                                    { serviceEndpoint (q, r, Needs::deviceInfo, &ServiceReplies::statusCheck); }));
    server->Post (literal (pullClientPath), route (308, [this] (const Request& q, Response& r)
                                                   { serviceEndpoint (q, r, Needs::deviceAndUpdateInfo, &ServiceReplies::pull); }));
    server->Post (literal (qrCodeGeneratorPath), route (307, [this] (const Request& q, Response& r)
                                                        { serviceEndpoint (q, r, Needs::nothingMore, &ServiceReplies::qrCode); }));

    const std::string token = "([0-9a-f]{32})";
    server->Get (literal (qrPicturePrefix) + token + literal (qrPictureSuffix), route (302, [this] (const Request& q, Response& r)
                                                                                       { qrPicture (q, r); }));
    server->Get (literal (uploadPagePrefix) + token, [this] (const Request& q, Response& r)
                 { uploadPage (q, r); });
    server->Post (literal (uploadPagePrefix) + token, [this] (const Request& q, Response& r)
                  { receiveUpload (q, r); });
    server->Get (literal (hrtfDataPrefix) + "([A-Za-z0-9_]{1,64})", route (303, [this] (const Request& q, Response& r)
                                                                           { hrtfData (q, r); }));
    server->Get (literal (downloadPagePath), [this] (const Request& q, Response& r)
                 { downloadPage (q, r); });
    server->Get (literal (screenshotPath), route (301, [this] (const Request&, Response& r)
                                                  { r.set_content (screenshotBytes, "image/png"); }));

    server->set_error_handler (httplib::Server::HandlerWithResponse ([this] (const Request& q, Response& r)
                                                                     { return answerError (q, r) ? httplib::Server::HandlerResponse::Handled
                                                                                                 : httplib::Server::HandlerResponse::Unhandled; }));
    server->set_exception_handler ([this] (const Request& q, Response& r, std::exception_ptr failure)
                                   { answerFailure (q, r, failure); });

    if (options.logRequests)
        server->set_logger ([this] (const Request& q, const Response& r)
                            { log (q.method + " " + q.path + " " + std::to_string (r.status)); });
}

bool StandinServer::answerError (const httplib::Request& request, httplib::Response& response)
{
    // Replies the handlers wrote stay as they are.
    if (! response.body.empty())
        return false;

    answerRefusal (request, response);
    return true;
}

void StandinServer::answerFailure (const httplib::Request& request, httplib::Response& response, std::exception_ptr failure)
{
    std::string reason = "unknown failure";

    try
    {
        std::rethrow_exception (failure);
    }
    catch (const std::exception& e)
    {
        reason = e.what();
    }
    catch (...)
    {
    }

    log ("auralis-standin: " + request.method + " " + request.path + " failed: " + reason);

    response.status = 500;
    response.body.clear();
    answerRefusal (request, response);
}

bool StandinServer::redirectedOverHttp (const httplib::Request& request, httplib::Response& response, int status)
{
    static const std::string hopMark = "hop";

    if (! options.redirectOverHttp || request.has_param (hopMark))
        return false;

    auto params = request.params;
    params.emplace (hopMark, "1");

    const auto schemeEnd = baseAddress.find ("://");
    const auto location = "http://" + (schemeEnd == std::string::npos ? baseAddress : baseAddress.substr (schemeEnd + 3))
                          + request.path + "?" + httplib::detail::params_to_query_str (params);

    response.status = status;
    response.set_header ("Location", location);
    log ("redirected " + request.method + " " + request.path + " " + std::to_string (status) + " to " + location);
    return true;
}

void StandinServer::log (const std::string& line)
{
    const std::lock_guard<std::mutex> guard (logLock);
    std::cerr << line << std::endl;
}

void StandinServer::answerRefusal (const httplib::Request& request, httplib::Response& response)
{
    if (response.status < 400)
        response.status = 500;

    if (startsWith (request.path, StandinConstants::uploadPagePrefix))
    {
        const bool tooLarge = response.status == 413;
        sendPage (response,
                  response.status,
                  UploadPages::outcome (tooLarge ? "too-large" : "failed",
                                        tooLarge ? "Photo too large" : "Upload failed",
                                        tooLarge ? "The photo is too large. Please take a smaller one." : "The photo could not be received. Please try again."));
        return;
    }

    ServiceError error { response.status, Code::internalError, Text::internalError };

    if (response.status == 404 || response.status == 405)
        error = { 404, Code::unknownAddress, Text::unknownAddress };
    else if (response.status == 413)
        error = { 413, Code::tooLarge, Text::tooLarge };
    else if (response.status < 500)
        error = { response.status, Code::badRequest, Text::badRequest };

    sendJson (response, ServiceReplies::error (error));
}

void StandinServer::sendJson (httplib::Response& response, const ServiceReply& reply)
{
    response.status = reply.statusCode;

    // The exact type "application/json" would let the HTTP library compress
    // the reply for clients that accept gzip; the program reads replies as
    // sent, so they always go out uncompressed.
    response.set_content (reply.body.dump (-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace), "application/json; charset=utf-8");
}

void StandinServer::sendPage (httplib::Response& response, int status, const std::string& html)
{
    response.status = status;
    response.set_content (html, "text/html; charset=utf-8");
}

//==============================================================================
void StandinServer::serviceEndpoint (const httplib::Request& request, httplib::Response& response, EnvelopeReader::Needs needs, ServiceReply (ServiceReplies::*answer) (const Envelope&))
{
    if (request.get_param_value (StandinConstants::clientNameParameter) != StandinConstants::clientName)
    {
        sendJson (response, ServiceReplies::error ({ 400, Code::wrongClientName, Text::wrongClientName }));
        return;
    }

    Envelope envelope;
    ServiceError error;

    if (! EnvelopeReader::read (request.body, needs, envelope, error))
    {
        sendJson (response, ServiceReplies::error (error));
        return;
    }

    sendJson (response, ((*replies).*answer) (envelope));
}

void StandinServer::qrPicture (const httplib::Request& request, httplib::Response& response)
{
    const std::string token = request.matches[1];

    if (! store.findUploadCode (token))
    {
        sendJson (response, ServiceReplies::error ({ 404, Code::unknownAddress, Text::unknownAddress }));
        return;
    }

    const auto png = QrPicture::pngFor (replies->uploadPageAddress (token));

    if (png.empty())
        throw std::runtime_error ("cannot render the QR code");

    response.set_content (png, "image/png");
}

void StandinServer::uploadPage (const httplib::Request& request, httplib::Response& response)
{
    const std::string token = request.matches[1];
    const auto code = store.findUploadCode (token);

    if (! code)
        sendPage (response, 404, UploadPages::outcome ("unknown", "Unknown QR code", "This QR code is not known. Please scan the code the Auralis app shows."));
    else if (code->used)
        sendPage (response, 410, UploadPages::outcome ("used", "QR code already used", "A photo was already uploaded with this QR code. To submit another photo, request a new QR code in the Auralis app."));
    else
        sendPage (response, 200, UploadPages::uploadForm (StandinConstants::uploadPagePrefix + token, options.maxUploadBytes));
}

void StandinServer::receiveUpload (const httplib::Request& request, httplib::Response& response)
{
    const std::string token = request.matches[1];
    const auto code = store.findUploadCode (token);

    if (! code)
    {
        uploadPage (request, response);
        return;
    }

    if (! request.has_file (StandinConstants::uploadFieldName))
    {
        sendPage (response, 400, UploadPages::outcome ("missing", "No photo received", "Please choose a photo of your right ear and upload it."));
        return;
    }

    const auto file = request.get_file_value (StandinConstants::uploadFieldName);

    if (file.content.size() > options.maxUploadBytes)
    {
        sendPage (response, 413, UploadPages::outcome ("too-large", "Photo too large", "The photo is too large. Please take a smaller one."));
        return;
    }

    const auto image = ImageValidator::inspect (file.content);

    if (! image)
    {
        sendPage (response, 415, UploadPages::outcome ("not-an-image", "Not a photo", "Only JPEG or PNG photos can be used. Please choose another file."));
        return;
    }

    const auto result = store.submitWithCode (token);

    switch (result.outcome)
    {
        case AccountStore::SubmissionOutcome::accepted:
            storeUploadedImage (result.dataSet.imgId, image->extension, file.content);
            sendPage (response, 200, UploadPages::outcome ("processed", "Thank you!", "Your ear photo has been processed. Go back to the Auralis app and press Next."));
            break;

        case AccountStore::SubmissionOutcome::codeUsed:
            uploadPage (request, response);
            break;

        case AccountStore::SubmissionOutcome::submissionsUsedUp:
            sendPage (response, 403, UploadPages::outcome ("used-up", "No submissions left", "This profile has used all its image submissions."));
            break;

        case AccountStore::SubmissionOutcome::unknownCode:
        case AccountStore::SubmissionOutcome::unknownAccount:
            sendPage (response, 404, UploadPages::outcome ("unknown", "Unknown QR code", "This QR code is no longer valid. Please request a new one in the Auralis app."));
            break;
    }
}

void StandinServer::storeUploadedImage (const std::string& imgId, const std::string& extension, const std::string& bytes)
{
    const auto file = options.stateFolder / StandinConstants::uploadsFolderName / (imgId + "." + extension);

    if (! writeFileAtomically (file, bytes))
        log ("auralis-standin: could not keep the uploaded photo as " + file.string());
}

void StandinServer::hrtfData (const httplib::Request& request, httplib::Response& response)
{
    const auto dataSet = store.findDataSet (request.matches[1]);

    if (! dataSet)
    {
        sendJson (response, ServiceReplies::error ({ 404, Code::unknownAddress, Text::unknownAddress }));
        return;
    }

    response.set_header ("Content-Disposition", "attachment; filename=\"" + dataSet->hrtfId + "\"");
    response.set_content (sofaBytes, "application/octet-stream");
}

void StandinServer::downloadPage (const httplib::Request&, httplib::Response& response)
{
    sendPage (response, 200, UploadPages::downloadPage (store.softwareRelease()));
}
