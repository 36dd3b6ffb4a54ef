#include "StatusCheckThread.h"

#include "ServiceClient.h"
#include "ServiceConstants.h"
#include "store/PresetStore.h"

StatusCheckThread::StatusCheckThread()
    : juce::Thread ("Status Check Thread")
{
}

StatusCheckThread::~StatusCheckThread()
{
    waitForThreadToExit (-1);
}

void StatusCheckThread::run()
{
    delivery.beginRun();

    const auto name = profileName;
    const auto sections = sectionsFor (currentImgId, currentAuralisId, currentHrtfId);
    const auto header = checkAndMerge (store, name, sections);

    delivery.post (onResult, header.execId, header.statusCode, header.returnCode, header.message);
}

RequestSections StatusCheckThread::sectionsFor (const juce::String& imgId, const juce::String& auralisId, const juce::String& hrtfId)
{
    RequestSections sections;
    sections.deviceInfo = true;
    sections.softwareUpdateCheck = true;
    sections.userHrtfInfoFetch = true;
    sections.auralisUpdateCheck = imgId.isNotEmpty();
    sections.currentImgId = imgId;
    sections.currentAuralisId = auralisId;
    sections.currentHrtfId = hrtfId;
    return sections;
}

ReplyHeader StatusCheckThread::checkAndMerge (PresetStore* store, const juce::String& profileName, const RequestSections& sections)
{
    const auto reply = sendServiceRequest (ServiceConstants::statusCheckPath, sections);

    ReplyHeader header;

    if (readReplyHeader (reply, header) != nullptr && store != nullptr)
        store->mergeStatusReply (profileName, reply);

    return header;
}
