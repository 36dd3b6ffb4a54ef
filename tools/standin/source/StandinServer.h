#pragma once

#include "AccountStore.h"
#include "CertificateAuthority.h"
#include "ServerOptions.h"
#include "ServiceReplies.h"

#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib
{
class SSLServer;
struct Request;
struct Response;
}

//==============================================================================
/** The stand-in remote service: HTTPS on one address and port, serving the
    three service endpoints, the QR pictures, the upload pages, the HRTF data
    and the plug-in picture, with its state in one folder.

    Every refused request gets a JSON reply (or, on the upload pages, an HTML
    page) with a status other than 200 and a message; a failing request never
    stops the service.
*/
class StandinServer
{
public:
    explicit StandinServer (ServerOptions optionsToUse);
    ~StandinServer();

    StandinServer (const StandinServer&) = delete;
    StandinServer& operator= (const StandinServer&) = delete;

    /** Prepares the state folder and certificates, binds the port and starts
        serving on a thread of its own; false with a reason on failure. */
    bool start (std::string& error);

    /** Stops serving and waits for the serving thread. */
    void stop();

    int port() const { return boundPort; }
    const std::string& publicBaseAddress() const { return baseAddress; }
    std::filesystem::path caCertificateFile() const { return certificates.caCertificateFile(); }

    /** The host part of an https origin, without brackets; empty if none. */
    static std::string hostOf (const std::string& origin);

private:
    //==============================================================================
    void addRoutes();
    void serviceEndpoint (const httplib::Request& request, httplib::Response& response, EnvelopeReader::Needs needs, ServiceReply (ServiceReplies::*answer) (const Envelope&));
    void qrPicture (const httplib::Request& request, httplib::Response& response);
    void uploadPage (const httplib::Request& request, httplib::Response& response);
    void receiveUpload (const httplib::Request& request, httplib::Response& response);
    void hrtfData (const httplib::Request& request, httplib::Response& response);
    void downloadPage (const httplib::Request& request, httplib::Response& response);
    bool answerError (const httplib::Request& request, httplib::Response& response);
    void answerFailure (const httplib::Request& request, httplib::Response& response, std::exception_ptr failure);
    void answerRefusal (const httplib::Request& request, httplib::Response& response);
    void log (const std::string& line);
    bool redirectedOverHttp (const httplib::Request& request, httplib::Response& response, int status);
    void storeUploadedImage (const std::string& imgId, const std::string& extension, const std::string& bytes);

    static void sendJson (httplib::Response& response, const ServiceReply& reply);
    static void sendPage (httplib::Response& response, int status, const std::string& html);

    ServerOptions options;
    CertificateAuthority certificates;
    AccountStore store;
    std::unique_ptr<ServiceReplies> replies;
    std::unique_ptr<httplib::SSLServer> server;
    std::thread servingThread;
    std::mutex logLock;
    std::string sofaBytes, screenshotBytes;
    std::string baseAddress;
    int boundPort = 0;
};
