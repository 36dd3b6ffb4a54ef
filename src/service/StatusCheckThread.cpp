#include "StatusCheckThread.h"

#include "ServiceClient.h"
#include "ServiceConstants.h"
#include "store/PresetStore.h"

StatusCheckThread::StatusCheckThread()
    : ServiceWorker ("Status Check Thread")
{
}

void StatusCheckThread::job()
{
    const StatusCheckInputs inputs = *this;
    const auto header = check (inputs, getNetworkStop(), *this);

    deliver (header.execId, header.statusCode, header.returnCode, header.message);
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

ReplyHeader StatusCheckThread::check (const StatusCheckInputs& inputs, NetworkStop* stop, const juce::Thread& worker)
{
    AURALIS_ASSERT_WORKER_THREAD

    auto* const store = inputs.store;
    auto name = inputs.profileName;
    auto sections = sectionsFor (inputs.currentImgId, inputs.currentAuralisId, inputs.currentHrtfId);

    if (inputs.start != StatusCheckStart::fromInputs)
    {
        // Loading may repair files in the data folder, so nothing is read
        // after a stop; a name the saved bank does not hold leaves the record
        // empty, so no update check is asked for.
        ProfileRecord saved;

        if (store != nullptr && ! worker.threadShouldExit())
        {
            store->load();
            store->findProfile (name, saved);
        }

        if (inputs.start == StatusCheckStart::fromSavedBank)
            name = saved.profileName;

        sections = sectionsFor (saved.img_id, saved.auralis_id, saved.hrtf_id);
    }

    const auto reply = sendServiceRequest (ServiceConstants::statusCheckPath, sections, stop);

    ReplyHeader header;

    // A reply that arrived just before a stop is not merged either: a stopped
    // check leaves the bank as it was.
    const bool stopped = stop != nullptr && stop->isStopRequested();

    if (readReplyHeader (reply, header) != nullptr && store != nullptr && ! stopped)
        store->mergeStatusReply (name, reply);

    return header;
}
