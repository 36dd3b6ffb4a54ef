#include "ServiceReplies.h"

#include "Identifiers.h"
#include "StandinConstants.h"

#include <algorithm>

namespace
{
namespace Key = StandinConstants::Reply;
namespace Code = StandinConstants::Code;
namespace Text = StandinConstants::Text;
using Json = nlohmann::ordered_json;

Json section (int statusCode, int returnCode, const std::string& message)
{
    return Json { { Key::statusCode, statusCode }, { Key::returnCode, returnCode }, { Key::message, message } };
}

std::vector<std::string> splitVersion (const std::string& version)
{
    std::vector<std::string> parts;
    std::string part;

    for (char c : version)
    {
        if (c == '.')
        {
            parts.push_back (part);
            part.clear();
        }
        else
        {
            part += c;
        }
    }

    parts.push_back (part);
    return parts;
}

bool allDigits (const std::string& text)
{
    return ! text.empty() && std::all_of (text.begin(), text.end(), [] (char c)
                                          { return c >= '0' && c <= '9'; });
}

std::string withoutLeadingZeros (const std::string& digits)
{
    const auto first = digits.find_first_not_of ('0');
    return first == std::string::npos ? std::string ("0") : digits.substr (first);
}
}

//==============================================================================
ServiceReplies::ServiceReplies (AccountStore& storeToUse, std::string publicBaseAddress)
    : store (storeToUse)
    , baseAddress (std::move (publicBaseAddress))
{
}

ServiceReply ServiceReplies::header (int statusCode, int returnCode, const std::string& message)
{
    ServiceReply reply;
    reply.statusCode = statusCode;
    reply.body = Json { { Key::execId, "exec_" + Identifiers::randomHex (8) },
                        { Key::statusCode, statusCode },
                        { Key::returnCode, returnCode },
                        { Key::message, message } };
    return reply;
}

ServiceReply ServiceReplies::error (const ServiceError& error)
{
    return header (error.statusCode, error.returnCode, error.message);
}

std::string ServiceReplies::uploadPageAddress (const std::string& token) const
{
    return baseAddress + StandinConstants::uploadPagePrefix + token;
}

std::string ServiceReplies::qrPictureAddress (const std::string& token) const
{
    return baseAddress + StandinConstants::qrPicturePrefix + token + StandinConstants::qrPictureSuffix;
}

std::string ServiceReplies::hrtfAddress (const std::string& hrtfId) const
{
    return baseAddress + StandinConstants::hrtfDataPrefix + hrtfId;
}

std::string ServiceReplies::downloadAddress (const SoftwareRelease& release) const
{
    return release.downloadUrl.empty() ? baseAddress + StandinConstants::downloadPagePath : release.downloadUrl;
}

int ServiceReplies::compareVersions (const std::string& a, const std::string& b)
{
    const auto partsA = splitVersion (a);
    const auto partsB = splitVersion (b);

    for (size_t i = 0; i < std::max (partsA.size(), partsB.size()); ++i)
    {
        const auto partA = i < partsA.size() ? partsA[i] : std::string ("0");
        const auto partB = i < partsB.size() ? partsB[i] : std::string ("0");

        int order = 0;

        if (allDigits (partA) && allDigits (partB))
        {
            const auto numberA = withoutLeadingZeros (partA);
            const auto numberB = withoutLeadingZeros (partB);
            order = numberA.size() != numberB.size() ? (numberA.size() < numberB.size() ? -1 : 1)
                                                     : numberA.compare (numberB);
        }
        else
        {
            order = partA.compare (partB);
        }

        if (order != 0)
            return order < 0 ? -1 : 1;
    }

    return 0;
}

//==============================================================================
Json ServiceReplies::userHrtfInfo (const Account& account, const std::vector<DataSet>& dataSets) const
{
    auto info = dataSets.empty() ? section (401, Code::noHrtfData, Text::noHrtfData)
                                 : section (200, Code::done, Text::hrtfFound);

    Json counters { { Key::hrtfAllowed, account.hrtfAllowed },
                    { Key::hrtfRequested, account.hrtfRequested },
                    { Key::pullAllowed, account.pullAllowed },
                    { Key::pullRequested, account.pullRequested } };
    counters.update (info);
    return counters;
}

Json ServiceReplies::softwareUpdateInfo (const std::string& clientVersion)
{
    const auto release = store.softwareRelease();

    const bool unsupported = ! release.oldestSupportedVersion.empty()
                             && compareVersions (clientVersion, release.oldestSupportedVersion) < 0;
    const bool newer = compareVersions (clientVersion, release.latestVersion) < 0;

    auto info = unsupported ? section (403, Code::softwareUpdateAvailable, Text::softwareUnsupported)
                : newer     ? section (200, Code::softwareUpdateAvailable, Text::softwareUpdateAvailable)
                            : section (200, Code::done, Text::softwareUpToDate);

    info[Key::downloadUrl] = downloadAddress (release);
    info[Key::releaseNotes] = (unsupported || newer) ? release.releaseNotes : std::string();
    info[Key::latestReleaseVersion] = release.latestVersion;
    info[Key::forceUpdate] = (unsupported || newer) && release.forced ? 1 : 0;
    return info;
}

Json ServiceReplies::auralisUpdateInfo (const Envelope& envelope, const Account& account, const std::vector<DataSet>& dataSets) const
{
    if (dataSets.empty())
        return section (200, Code::auralisUpToDate, Text::auralisUpToDate);

    // A data set waits when it is newer than the device's last pull, or when
    // the profile asking holds another one than the newest.
    const auto& newest = dataSets.back();
    const bool waiting = newest.sequence > account.lastPulledSequence
                         || (! envelope.currentHrtfId.empty() && envelope.currentHrtfId != newest.hrtfId);

    if (! waiting)
        return section (200, Code::auralisUpToDate, Text::auralisUpToDate);

    if (account.updatesHeld)
        return section (200, Code::auralisUpdateHeld, Text::auralisUpdateHeld);

    return section (200, Code::auralisUpdateWaiting, Text::auralisUpdateWaiting);
}

//==============================================================================
ServiceReply ServiceReplies::statusCheck (const Envelope& envelope)
{
    const auto account = store.checkIn (envelope.deviceId);

    if (! account.refusalMessage.empty())
        return header (403, Code::refusedByOperator, account.refusalMessage);

    const auto dataSets = store.dataSetsOf (envelope.deviceId);

    auto reply = header (200, Code::done, Text::done);
    reply.body[Key::timestamp] = Identifiers::utcNow();

    if (envelope.userHrtfInfoFetch)
        reply.body[Key::userHrtfInfo] = userHrtfInfo (account, dataSets);

    if (envelope.softwareUpdateCheck)
        reply.body[Key::softwareUpdateInfo] = softwareUpdateInfo (envelope.productVersion);

    if (envelope.auralisUpdateCheck)
        reply.body[Key::auralisUpdateInfo] = auralisUpdateInfo (envelope, account, dataSets);

    return reply;
}

ServiceReply ServiceReplies::pull (const Envelope& envelope)
{
    if (const auto account = store.findAccount (envelope.deviceId); account && ! account->refusalMessage.empty())
        return header (403, Code::refusedByOperator, account->refusalMessage);

    const auto result = store.pull (envelope.deviceId);

    switch (result.outcome)
    {
        case AccountStore::PullOutcome::nothingToPull:
            return header (404, Code::nothingToPull, Text::nothingToPull);

        case AccountStore::PullOutcome::pullsUsedUp:
            return header (403, Code::pullsUsedUp, Text::pullsUsedUp);

        case AccountStore::PullOutcome::pulled:
            break;
    }

    auto reply = header (200, Code::done, Text::done);
    auto urls = Json::array();

    for (const auto& dataSet : result.dataSets)
        urls.push_back (Json { { Key::hrtfId, dataSet.hrtfId },
                               { Key::hrtfUrl, hrtfAddress (dataSet.hrtfId) },
                               { Key::imgId, dataSet.imgId },
                               { Key::auralisId, dataSet.auralisId } });

    reply.body[Key::urls] = std::move (urls);
    return reply;
}

ServiceReply ServiceReplies::qrCode (const Envelope& envelope)
{
    const auto account = envelope.deviceId.empty() ? store.mostRecentlyCheckedAccount()
                                                   : std::optional<Account> (store.checkIn (envelope.deviceId));

    if (! account)
        return header (409, Code::noAccountForQrCode, Text::noAccountForQrCode);

    if (! account->refusalMessage.empty())
        return header (403, Code::refusedByOperator, account->refusalMessage);

    if (account->hrtfRequested >= account->hrtfAllowed)
        return header (403, Code::submissionsUsedUp, Text::submissionsUsedUp);

    const auto token = store.createUploadCode (account->deviceId);

    auto reply = header (200, Code::done, Text::qrCodeCreated);
    reply.body[Key::qrImageUrl] = qrPictureAddress (token);
    return reply;
}
