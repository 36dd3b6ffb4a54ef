#pragma once

#include "AccountStore.h"
#include "EnvelopeReader.h"

#include <nlohmann/json.hpp>

#include <string>

//==============================================================================
/** One JSON reply and the HTTP status it goes out with (the same as its
    "status_code"). */
struct ServiceReply
{
    int statusCode = 200;
    nlohmann::ordered_json body;
};

//==============================================================================
/** The replies of the three service endpoints, worked out from a checked
    envelope and the account store.

    Accounts are keyed by the envelope's "device_id". The QR-code request
    carries no "device_info", so its code is bound to the device that made
    the latest status check (the program always checks the profile just
    before it asks for a code); a "device_info" in the request, when present,
    wins.
*/
class ServiceReplies
{
public:
    /** publicBaseAddress: the origin the addresses in replies start with. */
    ServiceReplies (AccountStore& storeToUse, std::string publicBaseAddress);

    ServiceReply statusCheck (const Envelope& envelope);
    ServiceReply pull (const Envelope& envelope);
    ServiceReply qrCode (const Envelope& envelope);

    /** A reply carrying only the header members. */
    static ServiceReply header (int statusCode, int returnCode, const std::string& message);
    static ServiceReply error (const ServiceError& error);

    std::string uploadPageAddress (const std::string& token) const;
    std::string qrPictureAddress (const std::string& token) const;
    std::string hrtfAddress (const std::string& hrtfId) const;
    std::string downloadAddress (const SoftwareRelease& release) const;

    /** Orders dotted version numbers part by part, numerically where both
        parts are numbers: negative, zero or positive like strcmp. */
    static int compareVersions (const std::string& a, const std::string& b);

private:
    nlohmann::ordered_json userHrtfInfo (const Account& account, const std::vector<DataSet>& dataSets) const;
    nlohmann::ordered_json softwareUpdateInfo (const std::string& clientVersion);
    nlohmann::ordered_json auralisUpdateInfo (const Envelope& envelope, const Account& account, const std::vector<DataSet>& dataSets) const;

    AccountStore& store;
    std::string baseAddress;
};
