#include "SoftwareCheckThread.h"

#include "ServiceClient.h"
#include "ServiceConstants.h"
#include "store/ServiceCodes.h"
#include "store/VarConversions.h"

SoftwareCheckThread::SoftwareCheckThread()
    : ServiceWorker ("SoftwareCheckThread")
{
}

void SoftwareCheckThread::job()
{
    RequestSections sections;
    sections.deviceInfo = true;
    sections.softwareUpdateCheck = true;

    const auto reply = sendServiceRequest (ServiceConstants::statusCheckPath, sections, getNetworkStop());

    ReplyHeader header;
    int updateStatusCode = -1, updateReturnCode = -1;
    juce::String updateMessage, downloadUrl, releaseNotes, latestReleaseVersion;
    bool forceUpdate = false;

    // The section is taken whenever the reply as a whole succeeded, whatever
    // its own status; the caller decides on the section's codes.
    if (auto* object = readReplyHeader (reply, header))
    {
        const auto update = object->getProperty ("software_update_info");

        if (update.isObject() && header.statusCode == ServiceCodes::statusOk)
        {
            updateMessage = update["message"].toString();
            updateStatusCode = VarConversions::toInt (update["status_code"]);
            updateReturnCode = VarConversions::toInt (update["return_code"]);
            downloadUrl = update["download_url"].toString();
            releaseNotes = update["release_notes"].toString();
            latestReleaseVersion = update["latest_release_version"].toString();
            forceUpdate = VarConversions::toInt (update["force_update"]) == 1;
        }
    }

    deliver (header.execId,
             header.statusCode,
             header.returnCode,
             updateStatusCode,
             updateReturnCode,
             header.message,
             updateMessage,
             downloadUrl,
             releaseNotes,
             latestReleaseVersion,
             forceUpdate);
}
