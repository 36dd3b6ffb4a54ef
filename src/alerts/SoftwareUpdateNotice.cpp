#include "SoftwareUpdateNotice.h"

#include "Alerts.h"
#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "store/ServiceCodes.h"

//==============================================================================
SoftwareUpdateNotice SoftwareUpdateNotice::decide (int statusCode,
                                                   int returnCode,
                                                   int updateStatusCode,
                                                   int updateReturnCode,
                                                   const juce::String& updateMessage,
                                                   const juce::String& downloadUrl,
                                                   const juce::String& releaseNotes,
                                                   bool forceUpdate)
{
    SoftwareUpdateNotice notice;

    if (ServiceCodes::isNoReply (statusCode, returnCode))
    {
        notice.kind = Kind::connectionError;
        notice.title = AppConstants::errorTitle;
        notice.message = AppConstants::connectionMessage;
    }
    else if (forceUpdate && downloadUrl.isNotEmpty())
    {
        notice.kind = Kind::forcedUpdate;
        notice.title = AppConstants::updateNowTitle;
        notice.message = AppConstants::outOfDateMessage;
        notice.downloadUrl = downloadUrl;
    }
    else if (updateStatusCode == ServiceCodes::statusOk)
    {
        if (updateReturnCode == ServiceCodes::softwareUpdateFound)
        {
            notice.kind = Kind::updateAvailable;
            notice.title = updateMessage;
            notice.message = releaseNotes;
            notice.downloadUrl = downloadUrl;
            notice.firstButtonText = AppConstants::remindMeLaterText;
            notice.secondButtonText = AppConstants::downloadNowText;
        }
    }
    else if (updateStatusCode == ServiceCodes::statusForbidden && updateReturnCode == ServiceCodes::versionUnsupported && downloadUrl.isNotEmpty())
    {
        notice.kind = Kind::unsupportedVersion;
        notice.title = AppConstants::updateNowTitle;
        notice.message = AppConstants::unsupportedVersionMessage;
        notice.downloadUrl = downloadUrl;
    }

    return notice;
}

int SoftwareUpdateNotice::show (juce::Component& page) const
{
    JUCE_ASSERT_MESSAGE_THREAD

    switch (kind)
    {
        case Kind::connectionError:
            return showAlert (page, title, message);

        case Kind::forcedUpdate:
        case Kind::unsupportedVersion:
            return showUpdateAlert (page, title, message, downloadUrl);

        case Kind::updateAvailable:
        {
            const auto result = showUpdateAvailable (page, title, message, firstButtonText, secondButtonText);

            if (result == 2)
                ExternalActions::openInBrowser (downloadUrl);

            return result;
        }

        case Kind::none:
            break;
    }

    return 0;
}

void SoftwareUpdateNotice::showForCheckResult (juce::Component& page,
                                               const juce::String&,
                                               int statusCode,
                                               int returnCode,
                                               int updateStatusCode,
                                               int updateReturnCode,
                                               const juce::String&,
                                               const juce::String& updateMessage,
                                               const juce::String& downloadUrl,
                                               const juce::String& releaseNotes,
                                               const juce::String&,
                                               bool forceUpdate)
{
    JUCE_ASSERT_MESSAGE_THREAD

    decide (statusCode, returnCode, updateStatusCode, updateReturnCode, updateMessage, downloadUrl, releaseNotes, forceUpdate)
        .show (page);
}
