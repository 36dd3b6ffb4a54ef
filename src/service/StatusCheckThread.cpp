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
    stopThread (-1);
}

void StatusCheckThread::run()
{
    delivery.beginRun();

    auto name = profileName;
    auto sections = sectionsFor (currentImgId, currentAuralisId, currentHrtfId);

    if (reloadStoreFirst)
    {
        const auto saved = profileAsSaved (store, name, *this);
        name = saved.profileName;
        sections = sectionsFor (saved.img_id, saved.auralis_id, saved.hrtf_id);
    }

    const auto header = checkAndMerge (store, name, sections, &networkStop);

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

ReplyHeader StatusCheckThread::checkAndMerge (PresetStore* store, const juce::String& profileName, const RequestSections& sections, NetworkStop* stop)
{
    const auto reply = sendServiceRequest (ServiceConstants::statusCheckPath, sections, stop);

    ReplyHeader header;

    // A reply that arrived just before a stop is not merged either: a stopped
    // check leaves the bank as it was.
    const bool stopped = stop != nullptr && stop->isStopRequested();

    if (readReplyHeader (reply, header) != nullptr && store != nullptr && ! stopped)
        store->mergeStatusReply (profileName, reply);

    return header;
}

ProfileRecord StatusCheckThread::profileAsSaved (PresetStore* store, const juce::String& profileName, const juce::Thread& worker)
{
    ProfileRecord record;

    if (store != nullptr && ! worker.threadShouldExit())
    {
        store->load();
        store->findProfile (profileName, record);
    }

    return record;
}
