#include "BackgroundStatusCheckThread.h"

#include "StatusCheckThread.h"
#include "store/PresetStore.h"

BackgroundStatusCheckThread::BackgroundStatusCheckThread()
    : juce::Thread ("BackgroundStatusCheck")
{
}

BackgroundStatusCheckThread::~BackgroundStatusCheckThread()
{
    stopThread (-1);
}

void BackgroundStatusCheckThread::run()
{
    delivery.beginRun();

    const auto name = profileName;
    auto* const presetStore = store;

    // Starts from what is saved; a name the bank does not hold leaves the
    // record empty, so no update check is asked for.
    const auto record = StatusCheckThread::profileAsSaved (presetStore, name, *this);

    const auto sections = StatusCheckThread::sectionsFor (record.img_id, record.auralis_id, record.hrtf_id);
    const auto header = StatusCheckThread::checkAndMerge (presetStore, name, sections, &networkStop);

    delivery.post (onResult, header.execId, header.statusCode, header.returnCode, header.message);
}
